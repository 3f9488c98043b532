#!/usr/bin/env python3
"""Generates the example site in several shapes of both layouts; no link, image, frame, form
action, search-index or nav-index row may lead nowhere, every #anchor must be on its page, the
search index ASCII, and every page must declare its encoding in its first 1,024 bytes; the
lower-case alias links are removed first, since no page may need them.
Usage: check_links.py TARNWICK PROJECT.vbp|GROUP.vbg [--registry FILE]; exit 0 passed, 1 failed."""
import html.parser
import json
import os
import re
import subprocess
import sys
import tempfile
import urllib.parse

# (name, extra arguments, encoding the pages must declare)
SHAPES = [
    ("Deutsch", ["--language", "Deutsch"], "windows-1252"),
    ("English", ["--language", "English"], "windows-1252"),
    ("Deutsch, classes and forms only",
     ["--language", "Deutsch", "--kinds", "classes,forms"], "windows-1252"),
    ("English, modules only, functions only",
     ["--language", "English", "--kinds", "modules", "--members", "functions"], "windows-1252"),
    ("English in UTF-8", ["--language", "English", "--output-encoding", "UTF-8"], "UTF-8"),
    ("Deutsch in ISO-8859-1", ["--language", "Deutsch", "--output-encoding", "ISO-8859-1"],
     "ISO-8859-1"),
    ("English without source", ["--language", "English", "--sections",
                                "syntax,parameters,returns,uml,libraries"], "windows-1252"),
    ("Deutsch, modern layout", ["--language", "Deutsch", "--layout", "modern"], "windows-1252"),
    ("English in UTF-8, modern layout, classes only, without UML",
     ["--language", "English", "--layout", "modern", "--output-encoding", "UTF-8",
      "--kinds", "classes", "--sections", "syntax,parameters,returns,source"], "UTF-8"),
]

# A row of search-index.js: [name, kind, module row, page, summary].
INDEX_ROW = re.compile(r'^\["(?:[^"\\]|\\.)*",\d+,-?\d+,"([^"]+)",')

META = re.compile(rb'<META (?:http-equiv="Content-Type" content="text/html; )?charset="?([^"]+)">',
                  re.IGNORECASE)


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []    # (tag, address)
        self.anchors = set()
        self.numbered = 0  # rows of line numbers: a code page's #L1 ... (document.js)

    def handle_starttag(self, tag, attrs):
        self.numbered += tag == "tr" and ("class", "LineNumbers") in attrs
        for name, value in attrs:
            if value is None:
                continue
            if name in ("href", "src") or (name == "action" and tag == "form"):
                self.links.append((tag, value))
            elif name == "id" or (name == "name" and tag == "a"):
                self.anchors.add(value)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def read_page(path, encoding, cache):
    if path not in cache:
        cache[path] = Page()
        cache[path].feed(read(path).decode(encoding))
    return cache[path]


def has_anchor(page, path, fragment):
    line = re.fullmatch(r"L([1-9][0-9]*)", fragment)
    return fragment in page.anchors or bool(
        line and path.endswith("_Code.html") and int(line.group(1)) <= page.numbered)


def check_site(site, encoding):
    problems, cache = [], {}
    pages = sorted(os.path.join(folder, f) for folder, _, files in os.walk(site)
                   for f in files if f.endswith(".html"))
    if not pages:
        return ["no pages"]
    for path in pages:
        where = os.path.relpath(path, site)
        declared = META.search(read(path)[:1024])
        if not declared:
            problems.append("%s: no encoding declared in its first 1,024 bytes" % where)
        elif declared.group(1).decode().lower() != encoding.lower():
            problems.append("%s: declares %s, written in %s" % (where, declared.group(1), encoding))
        try:
            page = read_page(path, encoding, cache)
        except UnicodeDecodeError as e:
            problems.append("%s: not %s: %s" % (where, encoding, e))
            continue
        for tag, address in page.links:
            parts = urllib.parse.urlsplit(address)
            target = os.path.normpath(os.path.join(
                os.path.dirname(path), urllib.parse.unquote(parts.path) or os.path.basename(path)))
            if parts.scheme and parts.scheme not in ("http", "https", "mailto"):
                problems.append("%s: <%s> leads to %s" % (where, tag, address))
            elif not parts.scheme and not os.path.isfile(target):
                problems.append("%s: <%s> %s leads nowhere" % (where, tag, address))
            elif (not parts.scheme and parts.fragment and target.endswith(".html") and
                  not has_anchor(read_page(target, encoding, cache), target, parts.fragment)):
                problems.append("%s: %s: no anchor %s there" % (where, address, parts.fragment))
    problems += check_search_index(site, encoding, cache) + check_nav_index(site)
    return problems


def check_search_index(site, encoding, cache):
    """Every row leads to a page of the site, and a row with an anchor (a form's control) to
    that anchor on it."""
    path = os.path.join(site, "search-index.js")
    if not os.path.isfile(path):
        return ["search-index.js: missing"]
    data = read(path)
    if any(byte > 0x7F for byte in data):
        return ["search-index.js: not ASCII"]
    rows = [row.group(1) for row in map(INDEX_ROW.match, data.decode("ascii").splitlines()) if row]
    def leads(row):
        page, _, fragment = row.partition("#")
        path = os.path.join(site, page)
        return os.path.isfile(path) and (
            not fragment or has_anchor(read_page(path, encoding, cache), path, fragment))
    return (["search-index.js: %s leads nowhere" % row for row in rows if not leads(row)]
            + ([] if rows else ["search-index.js: no rows"]))


def check_nav_index(site):
    """Every page the modern layout's navigation names is there (a framed site has none)."""
    path = os.path.join(site, "nav-index.js")
    if not os.path.isfile(path):
        return []  # a page that loads it is told as a link that leads nowhere
    text = read(path).decode("ascii")
    text = text[text.index("{"):text.rindex("}") + 1]
    nav = json.loads(re.sub(r'(^|[{\n])(\w+): ', r'\1"\2": ', text))
    pages = []
    for folder, _, list_page, modules in nav["groups"]:
        pages.append(list_page)
        for _, stem, members in modules:
            pages += ["%s/%s%s.html" % (folder, stem, tab) for tab, _ in nav["tabs"]]
            if members:  # its members are in a script of their own, nav/FOLDER/STEM.js
                script = read(os.path.join(site, "nav", folder, stem + ".js")).decode("ascii")
                call = script[script.index("\ntarnwickNavModule(") + 19:script.rindex(")")]
                _, _, listed = json.loads("[" + call + "]")
                pages += ["%s/%s.html" % (folder, member[1]) for member in listed]
    return ["nav-index.js: %s leads nowhere" % page for page in pages
            if not os.path.isfile(os.path.join(site, page))] + (
                [] if pages or nav.get("projects") else ["nav-index.js: empty"])


def main():
    tarnwick, project, *registry = sys.argv[1:]  # registry: [] or ["--registry", FILE]
    failed = False
    with tempfile.TemporaryDirectory(prefix="tarnwick-links-") as tmp:
        for number, (name, extra, encoding) in enumerate(SHAPES):
            site = os.path.join(tmp, "site%d" % number)
            generated = subprocess.run([tarnwick, "generate", project, "-o", site, "-q"] + extra
                                       + registry, capture_output=True, text=True)
            # The lower-case alias links only serve old bookmarks: no page may need them
            # (a zip, Windows or a host that does not follow links has none).
            for folder, dirs, files in os.walk(site):
                for entry in dirs + files:
                    if os.path.islink(os.path.join(folder, entry)):
                        os.remove(os.path.join(folder, entry))
            problems = (check_site(site, encoding) if generated.returncode == 0 else
                        ["generate exited %d: %s" % (generated.returncode, generated.stderr)])
            # The euro sign is no ISO-8859-1 character: written as a reference (the
            # Ledger example's).
            ledger = project.endswith("Ledger.vbp")
            if encoding == "ISO-8859-1" and ledger and not problems and b"&#8364;" not in read(
                    os.path.join(site, "Modules", "modFormat_Code.html")):
                problems.append("Modules/modFormat_Code.html: no &#8364; for the euro sign")
            for problem in problems or ["passed"]:
                print("%s%s: %s" % ("FAILED " if problems else "", name, problem))
            failed |= bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
