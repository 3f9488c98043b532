#!/usr/bin/env python3
"""Put deliberate one-line faults into a scratch copy of Tarnwick and report
which of them no test catches.

The faults live in scripts/mutations.txt, one block per fault:

    @ generator/pages/modVBtoHTML.cpp: keyword colouring forgets the last keyword
    - for (std::size_t i = 0; i < count; ++i)
    + for (std::size_t i = 0; i + 1 < count; ++i)

The "-" text must occur exactly once in the file; it is replaced by the "+"
text. The script copies the tracked files of this checkout into a scratch
folder (the checkout itself is never touched), builds the suite there once,
checks that it passes unmodified, then for each fault: applies it, rebuilds,
runs the suite until the first failing test, and restores the file.

    scripts/mutate.py                 every fault
    scripts/mutate.py --only 3,7      faults 3 and 7 (numbered from 1)
    scripts/mutate.py --folder shell  the faults in shell/, tried against the
                                      workbench tests only (label "workbench")
    scripts/mutate.py --list          show the faults and check they apply

Exit status: 0 when at most --max-uncaught (10 %) of the faults slip
through, 1 when more do, 2 when a fault does not apply or the unmodified
suite fails.
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


class Fault:
    def __init__(self, number, path, what, before, after, line):
        self.number = number
        self.path = path
        self.what = what
        self.before = before
        self.after = after
        self.line = line  # line of the "@" in mutations.txt

    @property
    def folder(self):
        return self.path.split("/", 1)[0]

    def __str__(self):
        return f"#{self.number} {self.path}: {self.what}"


def read_faults(path):
    faults, current = [], None
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.startswith("#"):
            continue
        if line.startswith("@ "):
            target, _, what = line[2:].partition(": ")
            current = Fault(len(faults) + 1, target.strip(), what.strip(), None, None, number)
            faults.append(current)
        elif line.startswith("- ") and current and current.before is None:
            current.before = line[2:]
        elif line.startswith("+ ") and current and current.after is None:
            current.after = line[2:]
        elif line == "+" and current and current.after is None:
            current.after = ""  # the fault drops the text
        else:
            sys.exit(f"{path}:{number}: expected '@ file: what', '- text' or '+ text'")
    for fault in faults:
        if fault.before is None or fault.after is None:
            sys.exit(f"{path}:{fault.line}: fault needs one '-' and one '+' line")
    return faults


def check_applies(fault, tree):
    """Returns an error text, or None when the fault applies to tree."""
    file = tree / fault.path
    if not file.is_file():
        return f"{fault.path} does not exist"
    count = file.read_text(encoding="utf-8").count(fault.before)
    if count != 1:
        return f"'{fault.before}' occurs {count} times in {fault.path}"
    return None


def copy_tracked(source, scratch):
    files = subprocess.run(["git", "ls-files", "-z"], cwd=source, check=True,
                           capture_output=True).stdout.decode().split("\0")
    scratch.mkdir(parents=True, exist_ok=True)
    for name in filter(None, files):
        src, dst = source / name, scratch / name
        if not src.is_file():
            continue  # deleted in the working tree
        dst.parent.mkdir(parents=True, exist_ok=True)
        if not dst.exists() or dst.read_bytes() != src.read_bytes():
            shutil.copyfile(src, dst)  # a fresh time, so the build sees the change
            shutil.copymode(src, dst)


def run(command, cwd, log, timeout=None, append=False):
    with open(log, "a" if append else "w") as out:
        try:
            return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode == 0
        except subprocess.TimeoutExpired:
            out.write(f"\ntimed out after {timeout} s\n")
            return False


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--faults", type=Path, default=ROOT / "scripts" / "mutations.txt")
    parser.add_argument("--scratch", type=Path, default=Path("/tmp/tarnwick-mutate"))
    parser.add_argument("--only", help="comma-separated fault numbers")
    parser.add_argument("--folder", help="only the faults in this top folder, e.g. shell")
    parser.add_argument("--label", help="run only the tests of this CTest label "
                        "(default for --folder shell: workbench)")
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--timeout", type=int, default=900, help="seconds per suite run")
    parser.add_argument("--max-uncaught", type=float, default=0.10)
    args = parser.parse_args()

    faults = read_faults(args.faults)
    if args.only:
        wanted = {int(n) for n in args.only.split(",")}
        faults = [f for f in faults if f.number in wanted]
    if args.folder:
        faults = [f for f in faults if f.folder == args.folder.strip("/")]
    label = args.label or ("workbench" if args.folder and args.folder.strip("/") == "shell" else None)

    broken = [(f, e) for f in faults if (e := check_applies(f, ROOT))]
    for fault, error in broken:
        print(f"does not apply: {fault}: {error}", file=sys.stderr)
    if args.list:
        for fault in faults:
            print(fault)
        return 2 if broken else 0
    if broken:
        return 2

    scratch = args.scratch.resolve()
    if scratch == ROOT or ROOT in scratch.parents:
        sys.exit("the scratch folder must lie outside the checkout")
    copy_tracked(ROOT, scratch)
    build = scratch / "build-mutate"
    env_cmake = ["cmake", "-S", ".", "-B", str(build), "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DTARNWICK_BENCH=OFF"]
    # CMake compiles through ccache by itself when it is installed
    # (TARNWICK_CCACHE), with the settings that let it cache the
    # precompiled-header compiles too.
    build_cmd = ["cmake", "--build", str(build), "-j", str(args.jobs)]
    # Browser checks need Chromium and add minutes per fault; every page
    # they read is also checked by the link and golden tests.
    test_cmd = ["ctest", "--test-dir", str(build), "-j", str(args.jobs),
                "--stop-on-failure", "-LE", "browser"]
    if label:
        # The workbench's faults are the workbench tests' to catch: only
        # those programs are built and run.
        test_cmd += ["-L", label]
        if label == "workbench":
            build_cmd += ["--target", "test_mainwindow", "test_run", "test_settings", "tarnwick"]
    logs = scratch / "mutate-logs"
    logs.mkdir(exist_ok=True)

    print(f"scratch copy: {scratch}")
    if not (run(env_cmake, scratch, logs / "configure.log")
            and run(build_cmd, scratch, logs / "build.log")):
        print(f"the unmodified tree does not build: see {logs}/build.log")
        return 2
    if not run(test_cmd, scratch, logs / "suite.log", args.timeout):
        print(f"the unmodified suite fails: see {logs}/suite.log")
        return 2

    caught, uncaught, unbuildable = [], [], []
    for fault in faults:
        file = scratch / fault.path
        original = file.read_text(encoding="utf-8")
        file.write_text(original.replace(fault.before, fault.after, 1), encoding="utf-8")
        started = time.monotonic()
        log = logs / f"fault-{fault.number}.log"
        try:
            if not run(build_cmd, scratch, log):
                unbuildable.append(fault)
                verdict = "does not build"
            elif run(test_cmd, scratch, log, args.timeout, append=True):
                uncaught.append(fault)
                verdict = "NOT CAUGHT"
            else:
                caught.append(fault)
                verdict = "caught"
        finally:
            file.write_text(original, encoding="utf-8")
        print(f"{verdict:>14}  {fault}  ({time.monotonic() - started:.0f} s)", flush=True)

    tried = len(caught) + len(uncaught)
    print(f"\n{len(caught)} of {tried} faults caught, {len(uncaught)} not caught"
          + (f", {len(unbuildable)} do not build (fix their text)" if unbuildable else ""))
    folders = sorted({f.folder for f in faults})
    for folder in folders:
        mine = [f for f in caught + uncaught if f.folder == folder]
        missed = [f for f in uncaught if f.folder == folder]
        print(f"  {folder:<10} {len(mine) - len(missed):>3} of {len(mine)} caught")
    for fault in uncaught:
        print(f"  not caught: {fault}")
    if unbuildable:
        return 2
    return 0 if tried and len(uncaught) <= args.max_uncaught * tried else 1


if __name__ == "__main__":
    sys.exit(main())
