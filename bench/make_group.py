#!/usr/bin/env python3
"""Writes a synthetic group of three projects for the group benchmark.

make_group.py FOLDER [CLASSES] [ROUTINES] [EVERY]

LibA and LibB are ActiveX DLLs of CLASSES public classes (default 150) with
ROUTINES documented functions each (default 40); App is an EXE that
references both by project reference, and whose classes' routines take
an argument of a LibA class and one of a LibB class and call a function of
each: every routine (EVERY 1, the default), or every EVERY-th, the others
the same lines on App's own values. FOLDER/Big.vbg names the three; each project can also be documented on
its own (FOLDER/LibA/LibA.vbp ...), which is what the group's run is
measured against (bench/group_cost.sh).
"""
import os
import sys


def write(path, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="\r\n", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")


def class_header(name):
    return [
        "VERSION 1.0 CLASS",
        "BEGIN",
        "  MultiUse = -1  'True",
        "END",
        f'Attribute VB_Name = "{name}"',
        "Attribute VB_GlobalNameSpace = False",
        "Attribute VB_Creatable = True",
        "Attribute VB_PredeclaredId = False",
        "Attribute VB_Exposed = True",
        f"' {name}: a synthetic class of the group benchmark.",
        "Option Explicit",
        "",
        "Private m_Total As Long",
        "",
    ]


def library_class(lib, c, routines):
    name = f"C{lib}{c:04d}"
    lines = class_header(name)
    for r in range(routines):
        lines += [
            f"' Adds Value to the total of {name} and returns it ({r}).",
            f"' @param Value the amount added",
            f"Public Function Step{r}(ByVal Value As Long) As Long",
            "    Dim i As Long",
            "    For i = 1 To Value",
            "        m_Total = m_Total + i",
            "    Next i",
            f"    Step{r} = m_Total",
            "End Function",
            "",
        ]
    return name, lines


def app_class(c, classes, routines, every):
    name = f"CApp{c:04d}"
    lines = class_header(name)
    for r in range(routines):
        a = f"CLibA{(c + r) % classes:04d}"
        b = f"CLibB{(c * 7 + r) % classes:04d}"
        if r % every:
            lines += [
                f"' Runs step {r} on two values of its own.",
                f"Public Function Run{r}(ByVal First As Long, ByVal Second As Long) As Long",
                "    Dim n As Long",
                f"    n = First * {r % routines} + Second * {(r + 1) % routines}",
                f"    Run{r} = n + First * {(r + 2) % routines}",
                "End Function",
                "",
            ]
            continue
        lines += [
            f"' Runs step {r} of a {a} and a {b}.",
            f"Public Function Run{r}(ByVal First As {a}, ByVal Second As LibB.{b}) As Long",
            "    Dim n As Long",
            f"    n = First.Step{r % routines}(3) + Second.Step{(r + 1) % routines}(4)",
            f"    Run{r} = n + First.Step{(r + 2) % routines}(n)",
            "End Function",
            "",
        ]
    return name, lines


def project(folder, name, kind, classes, references=()):
    lines = [f"Type={kind}"]
    lines += [f"Reference=*\\A..\\{r}\\{r}.vbp" for r in references]
    lines += [f"Class={c}; {c}.cls" for c in classes]
    lines += [f'Name="{name}"', f'Title="{name}"', "MajorVer=1", "MinorVer=0"]
    write(os.path.join(folder, name, name + ".vbp"), lines)


def main():
    folder = sys.argv[1]
    classes = int(sys.argv[2]) if len(sys.argv) > 2 else 150
    routines = int(sys.argv[3]) if len(sys.argv) > 3 else 40
    every = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    for lib in ("LibA", "LibB"):
        names = []
        for c in range(classes):
            name, lines = library_class(lib, c, routines)
            write(os.path.join(folder, lib, name + ".cls"), lines)
            names.append(name)
        project(folder, lib, "OleDll", names)
    names = []
    for c in range(classes):
        name, lines = app_class(c, classes, routines, every)
        write(os.path.join(folder, "App", name + ".cls"), lines)
        names.append(name)
    project(folder, "App", "Exe", names, ("LibA", "LibB"))
    write(
        os.path.join(folder, "Big.vbg"),
        [
            "VBGROUP 5.0",
            "StartupProject=App\\App.vbp",
            "Project=LibA\\LibA.vbp",
            "Project=LibB\\LibB.vbp",
        ],
    )


if __name__ == "__main__":
    main()
