#!/usr/bin/env python3
"""Documents one pathological project with `tarnwick generate`.

    pathological.py TARNWICK CASE [--memory-mb N]

Each case is a shape of input that once took minutes or gigabytes; CTest
runs every case as its own test under a timeout, so a pass that turns
quadratic again, or memory that grows with the input, fails the build. The
program must document the project (exit 0) and say what the case expects.
"""
import resource
import subprocess
import sys
import tempfile
from pathlib import Path

CRLF = "\r\n"


def module(name, code):
    return f'Attribute VB_Name = "{name}"{CRLF}{code}'


def routine(body):
    """A standard module M with one Sub whose body is body."""
    return {"M.bas": module("M", f"Public Sub Run(){CRLF}{body}{CRLF}End Sub{CRLF}")}


def commented(comment):
    """A module whose Sub carries comment as its description."""
    return {"M.bas": module("M", f"' {comment}{CRLF}Public Sub Run(){CRLF}End Sub{CRLF}")}


def dense(megabytes):
    """A module of megabytes of calls of its own Subs: a cross-reference every few bytes."""
    line = "A: B: A: B: A: B: A: B: A: B: A: B: A: B: A: B: A: B: A: B" + CRLF
    body = line * (megabytes * 2**20 // len(line))
    return {"M.bas": module("M", f"Public Sub A(){CRLF}End Sub{CRLF}Public Sub B(){CRLF}End Sub"
                                 f"{CRLF}Public Sub Run(){CRLF}{body}End Sub{CRLF}")}


# name: (files, project lines, settings lines, text stderr must hold)
CASES = {
    "deep-with": (routine(("With x" + CRLF) * 100_000 + ("End With" + CRLF) * 100_000), [], [], ""),
    "dot-chain": (routine("x = a" + ".b" * 1_000_000), [], [], ""),
    "one-name-members": ({"M.bas": module("M", (f"Public Sub Same(){CRLF}End Sub{CRLF}") * 10_000
                                       + f"Public Sub Run(){CRLF}Same{CRLF}End Sub{CRLF}")},
                         [], [], ""),
    "continued-lines": (routine("x = 1 _" + CRLF + ("  + 1 _" + CRLF) * 100_000 + "  + 1"),
                        [], [], ""),
    "open-bold": (commented("<pre>" + "<b>" * 350_000 + (CRLF + "' </i>x") * 20_000), [], [], ""),
    "open-attribute": (commented("<a b" * 40_000), [], [], ""),
    "brackets": (routine("x = " + "[" * (4 * 2**20)), [], [], ""),
    "keyword-line": (routine("If Not x Then Dim a As New Long: Else ReDim b(1 To 2) " * 300_000),
                     [], [], ""),
    "const-doubling": ({"M.bas": module("M", f'#Const S = "ab"{CRLF}'
                                        + f"#Const S = S & S{CRLF}" * 40
                                        + f'#If S = "" Then{CRLF}Public Sub Kept(){CRLF}End Sub'
                                        + f"{CRLF}#End If{CRLF}")},
                       [], [], "a text longer than 65536 bytes"),
    "const-lines": ({"M.bas": module("M", "".join(f"#Const C{i} = {i}{CRLF}"
                                                   for i in range(160_000)))}, [], [], ""),
    "defines": (routine("x = 1"),
                ['CondComp="' + " : ".join(f"P{i} = {i}" for i in range(100_000)) + '"'],
                ["define = " + ",".join(f"D{i}={i}" for i in range(100_000))], ""),
    "one-vb-name": ({f"m{i}.bas": module("Same", "") for i in range(8_000)}, [], [],
                    "page name Modules/Same.html"),
    "dense-references": (dense(4), [], [], "names members more than 1000000 times"),
}


def main():
    tarnwick, case = sys.argv[1], sys.argv[2]
    memory_mb = int(sys.argv[4]) if len(sys.argv) > 4 and sys.argv[3] == "--memory-mb" else 0
    with tempfile.TemporaryDirectory() as folder:
        return run(tarnwick, case, Path(folder), memory_mb)


def run(tarnwick, case, folder, memory_mb):
    files, project_lines, settings, expected = CASES[case]
    project = folder / "project"
    project.mkdir(parents=True, exist_ok=True)
    entries = [f"Module={Path(f).stem}; {f}" for f in files]
    for name, text in files.items():
        (project / name).write_bytes(text.encode("latin-1"))
    (project / "P.vbp").write_bytes(CRLF.join(["Type=Exe", *entries, *project_lines, ""]).encode())
    if settings:
        (project / "P.tarnwick").write_text("\n".join(["[generate]", *settings, ""]))

    def limit():
        if memory_mb:
            size = memory_mb * 2**20
            resource.setrlimit(resource.RLIMIT_AS, (size, size))

    result = subprocess.run([tarnwick, "generate", str(project / "P.vbp"), "-o",
                             str(folder / "out"), "--force"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, errors="replace", preexec_fn=limit)
    if result.returncode != 0 or expected not in result.stderr:
        print(f"{case}: exit {result.returncode}, expected {expected!r} in:\n"
              f"{result.stderr[-4000:]}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
