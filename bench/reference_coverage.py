#!/usr/bin/env python3
"""Share of the names in routine bodies that match a project Sub, Function or
Property name and that the cross-references link.

    bench/reference_coverage.py build/bin/tarnwick PROJECT.vbp [--define NAME=VALUE ...]

Reads `tarnwick dump`: each module's Source and the CrossReferences. A name
counts when it stands in a routine body outside strings and comments, is not
the routine's own name (inside a Function or Property that is its return
value) and equals, ignoring case, the name of a Sub, Function or Property of
the project. It is linked when a reference of that module and line names a
member of that name. Besides the share of all such names it gives the share
without the names the routine declares itself (arguments, Dim, Static,
Const): a local "Value" that shares its name with a project property is
rightly left unlinked. Names after a dot are counted apart: most of them are
members of library objects that share a name with a project routine
(a Collection's Add), which no link should claim. Lines inside #If branches
are counted as if active.
"""
import collections
import json
import re
import subprocess
import sys

HEADER = re.compile(r"^\s*(?:(?:Public|Private|Friend|Global|Static)\s+)*"
                    r"(?:Sub|Function|Property\s+(?:Get|Let|Set))\s+([A-Za-z_]\w*)", re.I)
END = re.compile(r"^\s*End\s+(?:Sub|Function|Property)\b", re.I)
DECLARE = re.compile(r"^\s*(?:\d+\s+)?(?:Dim|Static|Const|ReDim(?:\s+Preserve)?)\s+(.*)$", re.I)
PARAMETER = re.compile(r"(?:^|,)\s*(?:Optional\s+)?(?:ByVal\s+|ByRef\s+|ParamArray\s+)?"
                       r"([A-Za-z_]\w*)", re.I)
WORD = re.compile(r"[A-Za-z\x80-\uffff][\w\x80-\uffff]*")


def code_part(line):
    """The line without its strings and comment."""
    out, in_string = [], False
    for c in line:
        if c == '"':
            in_string = not in_string
            out.append(' ')
        elif in_string:
            out.append(' ')
        elif c == "'":
            break
        else:
            out.append(c)
    return ''.join(out)


def top_level(text):
    """text with everything inside parentheses blanked."""
    out, depth = [], 0
    for c in text:
        depth += c == '('
        out.append(c if depth == 0 else ' ')
        depth -= c == ')' and depth > 0
    return ''.join(out)


def declared(header, body):
    """The lower-case names a routine declares: its parameters and locals."""
    names = set()
    open_at = header.find('(')
    if open_at >= 0:
        inner = header[open_at + 1:header.rfind(')')]
        names |= {m.group(1).lower() for m in PARAMETER.finditer(top_level(inner))}
    for line in body:
        m = DECLARE.match(code_part(line))
        if m:
            names |= {n.group(1).lower() for n in
                      re.finditer(r"(?:^|,)\s*(?:WithEvents\s+)?([A-Za-z_]\w*)",
                                  top_level(m.group(1)))}
    return names


def routines_of(source):
    """(own name, header, [(line number, line)]) of each routine."""
    lines = source.split("\r\n")
    i = 0
    while i < len(lines):
        header = HEADER.match(lines[i])
        if not header:
            i += 1
            continue
        text = lines[i]
        while text.rstrip().endswith(" _") and i + 1 < len(lines):
            i += 1
            text = text.rstrip()[:-1] + lines[i]
        body = []
        i += 1
        while i < len(lines) and not END.match(lines[i]):
            body.append((i + 1, lines[i]))
            i += 1
        yield header.group(1).lower(), code_part(text), body


def main():
    tarnwick, project, *rest = sys.argv[1:]
    dump = json.loads(subprocess.run([tarnwick, "dump", project, *rest], check=True,
                                     capture_output=True, text=True).stdout)
    modules = [m for kind in ("Classes", "Forms", "Modules", "PropertyPages", "UserControls",
                              "UserDocuments", "Designers")
               for m in dump.get(kind, [])]
    routines = {e["Name"].lower() for m in modules
                for kind in ("Functions", "Subroutines", "Properties") for e in m[kind]}
    linked = collections.Counter()
    for r in dump["CrossReferences"]:
        module = r["from"].split(".")[0].lower()
        linked[(module, r["line"], r["to"].split(".", 1)[1].lower())] += 1
    counts = collections.Counter()
    for m in modules:
        module = m["Name"].lower()
        for own, header, body in routines_of(m["Source"]):
            local = declared(header, [line for _, line in body])
            for number, line in body:
                code = code_part(line)
                for word in WORD.finditer(code):
                    name = word.group(0).lower()
                    if name not in routines or name == own:
                        continue
                    after_dot = word.start() > 0 and code[word.start() - 1] == '.'
                    kind = "after a dot" if after_dot else "unqualified"
                    hit = linked[(module, number, name)] > 0
                    if hit:
                        linked[(module, number, name)] -= 1
                    for measure in (kind, kind + ", no locals") if after_dot or name not in local \
                            else (kind,):
                        counts[measure, "all"] += 1
                        counts[measure, "linked"] += hit
    for kind in ("unqualified", "unqualified, no locals", "after a dot"):
        total, hit = counts[kind, "all"], counts[kind, "linked"]
        share = 100.0 * hit / total if total else 100.0
        print(f"{kind}: {hit} of {total} linked ({share:.1f} %)")
    total = counts["unqualified", "all"] + counts["after a dot", "all"]
    hit = counts["unqualified", "linked"] + counts["after a dot", "linked"]
    print(f"all: {hit} of {total} linked ({100.0 * hit / total if total else 100.0:.1f} %)")


if __name__ == "__main__":
    main()
