#!/usr/bin/env python3
"""A project with a script payload in every field a page shows (project name, title and
description, module name, member, argument, data type, Enum, Enum value, constant value and
default, module attribute, reference and object names, registry text, file name, the captions,
texts and shortcut of a form's controls and menus, drawn in its picture and listed) is
documented in both languages and layouts; every page is then loaded in headless Chromium, and no payload
may run (each one pushes its number onto top.pwned) or stand in a page as markup.
Usage: check_payloads.py TARNWICK (CHROMIUM: the browser's path).
Exit status: 0 passed, 1 failed, 77 skipped (no browser)."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

from harness import run_harness

SKIP = 77
# A form's picture is an <svg> element of ours; a payload's starts "<svg/".
RAW = re.compile(r"<svg/|<script>top|<img src=x|<u>x", re.IGNORECASE)
GENERATED_SCRIPTS = ("search-index.js", "nav-index.js")


def script(n):
    return "<script>top.pwned.push(%d)</script>" % n  # for .vbp values: no "=" in them


def handler(n):
    return "<svg/onload=top.pwned.push(%d)>" % n


def write(path, text):
    with open(path, "wb") as f:
        f.write(text.replace("\n", "\r\n").encode("cp1252"))


def write_project(folder):
    os.makedirs(folder)
    write(os.path.join(folder, "Hostile.vbp"), """Type=Exe
Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\x%s.tlb#OLE%s
Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MS%s.OCX
Class=M; f<u>x<_u>.cls
Module=modPlain; plain.bas
Module=esc; esc.bas
Form=frmH.frm
Name="P%s"
Title="T%s"
Description="D%s"
""" % (script(1), script(2), script(3), script(4), script(5), script(6)))
    write(os.path.join(folder, "f<u>x<_u>.cls"), """VERSION 1.0 CLASS
BEGIN
  MultiUse = -1  'True
END
Attribute VB_Name = "M<img src=x onerror=top.pwned.push(7)>"
Attribute VB_Ext_KEY = "SavedWithClassBuilder6" ,"%s"
Option Explicit
' A class: --> <!-- ]]> &amp;.
Public v As Foo%s
Public Const K As String = "%s"
Public Enum E%s
    V%s = 1
    W = %s
End Enum
' Does things.
Public Sub S%s(ByVal a%s As Long, Optional ByVal x As String = "%s")
End Sub
Public Function F() As Bar%s
End Function
""" % tuple(handler(n) for n in range(8, 18)))
    write(os.path.join(folder, "plain.bas"),
          'Attribute VB_Name = "modPlain"\n\' Uses M.\nPublic Sub Go(ByVal m As M)\nEnd Sub\n')
    write(os.path.join(folder, "frmH.frm"), """VERSION 5.00
Begin VB.Form frmH
   Caption         =   "%s"
   ClientHeight    =   3000
   ClientWidth     =   4000
   Begin VB.Frame fraA
      Caption         =   "&%s"
      Height          =   1500
      Left            =   120
      Top             =   120
      Width           =   3000
      Begin VB.TextBox txtA
         Height          =   315
         Left            =   120
         Text            =   "%s"
         Top             =   300
         Width           =   2000
      End
   End
   Begin VB.Menu mnuA
      Caption         =   "%s"
      Shortcut        =   ^%s
   End
End
Attribute VB_Name = "frmH"
Private Sub txtA_Change()
End Sub
""" % tuple(handler(n) for n in range(21, 26)))
    write(os.path.join(folder, "esc.bas"),
          'Attribute VB_Name = "mod\x1b[2Jesc"\nPublic Sub Go\x1b[31m()\nEnd Sub\n')
    # The type library's description as a registry export gives it.
    write(os.path.join(folder, "registry.reg"), """REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Classes\\TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0]
@="R<img src=x onerror=top.pwned.push(19)>"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0\\0\\win32]
@="C:\\\\x<img src=x onerror=top.pwned.push(20)>.tlb"
""")
    return os.path.join(folder, "Hostile.vbp")


HARNESS = """<html><body><iframe id="site" width="1000" height="700"></iframe><pre id="outcome">
</pre><script>
const pages = PAGES;
top.pwned = [];
const frame = document.getElementById('site');
const sleep = ms => new Promise(done => setTimeout(done, ms));
async function check() {
  for (const page of pages) {
    frame.src = page;
    for (let i = 0; i < 100; ++i) {
      await sleep(20);
      try { if (frame.contentDocument.readyState == 'complete' &&
                frame.contentWindow.location.href.endsWith(page)) break; } catch (e) {}
    }
    await sleep(100);  // handlers of images that fail to load run late
    if (top.pwned.length) return 'FAILED: payload ' + top.pwned + ' ran on ' + page;
  }
  return 'passed: ' + pages.length + ' pages, no payload ran';
}
check().then(text => { document.getElementById('outcome').textContent = text; },
             e => { document.getElementById('outcome').textContent = 'FAILED: ' + e; });
</script></body></html>
"""


def scan_site(site, tmp, decoding, failures, shown=lambda name: True):
    """Checks every page of site for a payload standing as markup (its bytes read as
    decoding) and returns the pages, relative to tmp, that Chromium is to load."""
    pages = []
    for folder, _, files in os.walk(site):
        for name in sorted(files):
            # The modules' navigation scripts are in nav/ and its folders.
            if name in GENERATED_SCRIPTS or os.path.relpath(folder, site).split(os.sep)[0] == "nav":
                # Text stands there only as string literals, which write "<", ">" and "&"
                # as \u escapes: the script cannot close an element or open a comment.
                with open(os.path.join(folder, name), "rb") as f:
                    found = re.search(rb"[<>&]", f.read())
                if found:
                    failures.append("%s holds %r" % (name, found.group(0)))
                continue
            if not name.endswith(".html"):
                continue
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                found = RAW.search(f.read().decode(decoding, "replace"))
            if found:
                failures.append("%s holds %r as markup" % (os.path.relpath(path, tmp),
                                                           found.group(0)))
            if shown(name):
                pages.append(os.path.relpath(path, tmp))
    return pages


def load_pages(chromium, tmp, pages, failures, timeout_ms, seconds):
    """The exit status: the failures so far, else the pages loaded in Chromium."""
    if failures:
        print("FAILED: " + "; ".join(failures[:10]))
        return 1
    if not chromium:
        print("skipped: no Chromium (scripts/install-deps.sh --with-browser)")
        return SKIP
    with open(os.path.join(tmp, "harness.html"), "w", encoding="utf-8") as f:
        f.write(HARNESS.replace("PAGES", json.dumps(pages)))
    outcome = run_harness(chromium, tmp, os.path.join(tmp, "harness.html"), timeout_ms, seconds)
    print(outcome)
    return 0 if outcome.startswith("passed") else 1


def main():
    tarnwick = sys.argv[1]
    chromium = shutil.which(os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    failures = []
    with tempfile.TemporaryDirectory(prefix="tarnwick-payloads-") as tmp:
        project = write_project(os.path.join(tmp, "project"))
        pages = []
        # The German site in the modern layout: its navigation tree is drawn from the names.
        for language, layout in (("English", "frames"), ("Deutsch", "modern")):
            site = os.path.join(tmp, language)
            generated = subprocess.run(
                [tarnwick, "generate", project, "-o", site, "--language", language,
                 "--layout", layout,
                 "--registry", os.path.join(tmp, "project", "registry.reg"), "-v"],
                capture_output=True)
            if generated.returncode != 0:
                print("FAILED: tarnwick generate exited %d: %s"
                      % (generated.returncode, generated.stderr.decode("utf-8", "replace")))
                return 1
            # The console shows names, never their control characters or markup raw.
            if b"\x1b" in generated.stderr.replace(b"\x1b[K", b""):
                failures.append("a raw escape character on the console")
            pages += scan_site(site, tmp, "cp1252", failures)
        return load_pages(chromium, tmp, pages, failures, 120000, 180)


if __name__ == "__main__":
    sys.exit(main())
