#!/usr/bin/env python3
"""The payload project of check_payloads.py written in every family of page encodings the
program accepts (one site each, frames and modern in turn), with one more module whose names
and description are characters that some encodings write as the bytes of markup (UTF-16 turns
"\u3c73" into "s<"); every page is loaded in headless Chromium and no payload may run or
stand in a page as markup. Encodings in which text could become markup (UTF-16LE, UTF-16BE,
the EBCDIC IBM037) are refused with exit status 2 and the list of good ones, as an option, in
the settings file, and as the code page of a run that names no output encoding.
Usage: check_encodings.py TARNWICK (CHROMIUM: the browser's path).
Exit status: 0 passed, 1 failed, 77 skipped (no browser)."""
import os
import shutil
import subprocess
import sys
import tempfile

from check_payloads import load_pages, scan_site, write_project

# One of each family the program accepts.
ACCEPTED = ["UTF-8", "windows-1252", "cp1251", "windows-874", "ISO-8859-1", "latin2",
            "ISO-8859-5", "ISO-8859-15", "KOI8-R", "KOI8-U", "IBM866", "macintosh", "GBK",
            "GB2312", "GB18030", "Big5", "Shift_JIS", "EUC-JP", "EUC-KR"]
REFUSED = ["UTF-16LE", "UTF-16BE", "IBM037"]


def spelled(markup, encoding):
    """The characters whose bytes in encoding are markup's ASCII bytes."""
    return markup.encode("ascii").decode(encoding, "replace")


def add_spelling_module(project):
    """A module whose names and description spell a payload in UTF-16 and EBCDIC bytes, and
    CJK characters whose second byte is a backslash in Shift_JIS and Big5 (表, 許)."""
    payload = "<script>top.pwned.push(%d)</script>"
    text = ("Attribute VB_Name = \"modSpell\"\n"
            "' %s %s %s 表許ソ\n"
            "Public Sub Go%s()\nEnd Sub\n") % (
        spelled(payload % 31, "utf-16-le"), spelled(payload % 32, "utf-16-be"),
        spelled(payload % 33, "cp037"), spelled("<b>x</b>", "utf-16-le"))
    folder = os.path.dirname(project)
    with open(os.path.join(folder, "spell.bas"), "wb") as f:
        f.write(text.replace("\n", "\r\n").encode("utf-8"))
    with open(project, "ab") as f:
        f.write(b"Module=modSpell; spell.bas\r\n")


def generate(tarnwick, project, args):
    """The project's files are read as UTF-8 unless args name another code page."""
    codepage = [] if "--codepage" in args else ["--codepage", "UTF-8"]
    return subprocess.run([tarnwick, "generate", project, "-q"] + codepage + args,
                          capture_output=True)


def check_refused(tarnwick, project, tmp, failures):
    settings = os.path.join(tmp, "encoding.tarnwick")
    for name in REFUSED:
        with open(settings, "w", encoding="ascii") as f:
            f.write("[generate]\noutput-encoding = %s\n" % name)
        ways = {
            "--output-encoding": ["--output-encoding", name],
            "the settings file": ["--settings", settings],
            "--codepage alone": ["--codepage", name],
        }
        for way, args in ways.items():
            out = os.path.join(tmp, "refused")
            done = generate(tarnwick, project, ["-o", out] + args)
            err = done.stderr.decode("utf-8", "replace")
            if done.returncode != 2 or name not in err or "UTF-8, windows-874" not in err:
                failures.append("%s through %s: exit %d: %s" % (name, way, done.returncode,
                                                                 err.strip()[:200]))
            if os.path.exists(out):
                failures.append("%s through %s: the site was written" % (name, way))


def main():
    tarnwick = sys.argv[1]
    chromium = shutil.which(os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    failures = []
    with tempfile.TemporaryDirectory(prefix="tarnwick-encodings-") as tmp:
        project = write_project(os.path.join(tmp, "project"))
        add_spelling_module(project)
        check_refused(tarnwick, project, tmp, failures)
        pages = []
        for i, encoding in enumerate(ACCEPTED):
            site = os.path.join(tmp, "site-" + encoding)
            done = generate(tarnwick, project,
                            ["-o", site, "--output-encoding", encoding,
                             "--layout", ("frames", "modern")[i % 2],
                             "--registry", os.path.join(tmp, "project", "registry.reg")])
            if done.returncode != 0:
                failures.append("%s: exit %d: %s" % (encoding, done.returncode,
                                                     done.stderr.decode("utf-8", "replace")))
                continue
            # Every accepted encoding keeps ASCII as it is: markup is found as bytes.
            # Chromium reads the pages that show every field (the lists, the
            # overviews, the code pages); a member page shows only what these do.
            pages += scan_site(site, tmp, "latin-1", failures,
                               lambda name: "_" not in name or name.endswith("_Code.html"))
        return load_pages(chromium, tmp, pages, failures, 600000, 400)


if __name__ == "__main__":
    sys.exit(main())
