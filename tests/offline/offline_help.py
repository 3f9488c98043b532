#!/usr/bin/env python3
"""The help packages of `generate --qhp --docset`, read as Qt Assistant and
Zeal read them: the .qhp parses and names only files that exist (and
compiles where qhelpgenerator is installed), the docset's index holds the
example's modules and members with the types the readers know, every path
is a page of the docset, and a project named with XML and SQL characters
gives files that still parse and rows that still match.

usage: offline_help.py TARNWICK EXAMPLE.vbp REGISTRY.reg"""
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def generate(tarnwick, project, out, *extra):
    run = subprocess.run([tarnwick, "generate", project, "-o", out, "-q", "--qhp", "--docset",
                          *extra], capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    return run


def check_qhp(out, name):
    qhp = os.path.join(out, name + ".qhp")
    root = ET.parse(qhp).getroot()
    namespace = root.findtext("namespace")
    assert namespace and all(c.isalnum() or c in ".-" for c in namespace), namespace
    refs = [e.get("ref") for e in root.iter("section")] + [e.get("ref") for e in root.iter("keyword")]
    files = [e.text for e in root.iter("file")]
    for ref in refs + files:
        assert os.path.isfile(os.path.join(out, ref)), ref
    assert not any(f.endswith((".qhp", ".qch")) or ".docset" in f for f in files)
    return root, namespace


def check_docset(out, name):
    bundle = os.path.join(out, name + ".docset")
    plist = ET.parse(os.path.join(bundle, "Contents", "Info.plist")).getroot()
    keys = [e.text for e in plist.iter("key")]
    for key in ("CFBundleIdentifier", "CFBundleName", "dashIndexFilePath", "isJavaScriptEnabled"):
        assert key in keys, key
    documents = os.path.join(bundle, "Contents", "Resources", "Documents")
    db = sqlite3.connect(os.path.join(bundle, "Contents", "Resources", "docSet.dsidx"))
    rows = db.execute("SELECT name, type, path FROM searchIndex").fetchall()
    for _, _, path in rows:
        assert os.path.isfile(os.path.join(documents, path)), path
    indexes = db.execute("SELECT sql FROM sqlite_master WHERE type='index'").fetchall()
    assert any("UNIQUE" in sql[0] for sql in indexes), indexes
    return {(n, t) for n, t, _ in rows}, rows


def main():
    tarnwick, project, registry = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "site")
        generate(tarnwick, project, out, "--registry", registry)
        root, namespace = check_qhp(out, "Ledger")
        assert namespace == "org.tarnwick.ledger.1.4.27", namespace
        keywords = {e.get("id") for e in root.iter("keyword")}
        assert {"CAccount", "CAccount.Post", "modLedger"} <= keywords, keywords
        kinds, rows = check_docset(out, "Ledger")
        expected = {("Ledger", "Guide"), ("CAccount", "Class"), ("modLedger", "Module"),
                    ("Post", "Method"), ("Balance", "Property"), ("Changed", "Event")}
        assert expected <= kinds, expected - kinds
        assert len(rows) > 50, len(rows)
        # A second run makes both again in place, nothing left beside them.
        generate(tarnwick, project, out, "--registry", registry)
        assert not [f for f in os.listdir(out) if "tarnwick-part" in f], os.listdir(out)
        tool = shutil.which("qhelpgenerator") or "/usr/lib/qt6/libexec/qhelpgenerator"
        if os.access(tool, os.X_OK):
            assert os.path.getsize(os.path.join(out, "Ledger.qch")) > 0

        # A project whose name needs escaping in XML and quoting in SQL.
        hostile = os.path.join(tmp, "hostile")
        os.makedirs(hostile)
        with open(os.path.join(hostile, "P.vbp"), "w", newline="\r\n") as f:
            f.write('Type=Exe\nModule=modA; modA.bas\nName="O\'Neil <&> Co"\nMajorVer=2\n')
        with open(os.path.join(hostile, "modA.bas"), "w", newline="\r\n") as f:
            f.write('Attribute VB_Name = "modA"\nPublic Sub Go()\nEnd Sub\n')
        out = os.path.join(tmp, "hostile-site")
        generate(tarnwick, os.path.join(hostile, "P.vbp"), out)
        name = [f[:-4] for f in os.listdir(out) if f.endswith(".qhp")][0]
        _, namespace = check_qhp(out, name)
        assert namespace.startswith("org.tarnwick.o-neil-co"), namespace
        kinds, _ = check_docset(out, name)
        assert ("O'Neil <&> Co", "Guide") in kinds and ("Go", "Function") in kinds, kinds
    print("offline help packages: ok")


if __name__ == "__main__":
    main()
