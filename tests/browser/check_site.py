#!/usr/bin/env python3
"""Loads a generated site in headless Chromium as a reader uses it: the start
page's frames load the module list and the project summary, a module link
opens the module in the other frame, the navigation bar reaches the
object-model page, a click on a branch shows (and a second hides) its
members; the module list's search box opens search.html, which finds a member
by name (first) and by a word of its description, says so when nothing
matches. A GBK project's member page must be read as
GBK (from its own declaration) and show its Chinese description.

Usage: check_site.py TARNWICK PROJECT.vbp [--registry FILE] [--chromium PATH]
Talks to the browser over --remote-debugging-pipe (standard library only).
Exit status: 0 passed, 1 failed, 77 skipped (no browser).
"""
import argparse
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse

SKIP = 77
TIMEOUT = 20.0


class Failure(Exception):
    pass


class Browser:
    """One headless Chromium with one page, driven through the DevTools
    protocol on fds 3/4."""

    def __init__(self, executable, profile):
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()
        args = [executable, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--disable-dev-shm-usage", "--user-data-dir=" + profile,
                "--remote-debugging-pipe", "about:blank"]
        actions = [(os.POSIX_SPAWN_DUP2, to_browser_r, 3), (os.POSIX_SPAWN_DUP2, from_browser_w, 4),
                   (os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
                   (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)]
        self.pid = os.posix_spawn(executable, args, os.environ, file_actions=actions)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._buffer = b""
        self._next_id = 0
        self.session = None
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call(
            "Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self.call("Page.enable")

    def close(self):
        try:
            self.session = None
            self.call("Browser.close")
        except Exception:
            pass
        for _ in range(50):
            if os.waitpid(self.pid, os.WNOHANG)[0]:
                break
            time.sleep(0.1)
        else:
            os.kill(self.pid, 9)
            os.waitpid(self.pid, 0)
        os.close(self._to_browser)
        os.close(self._from_browser)

    def call(self, method, params=None):
        self._next_id += 1
        request = {"id": self._next_id, "method": method, "params": params or {}}
        if self.session:
            request["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(request).encode() + b"\0")
        deadline = time.time() + TIMEOUT
        while True:
            while b"\0" not in self._buffer:
                if time.time() > deadline:
                    raise Failure("the browser did not answer in time")
                if select.select([self._from_browser], [], [], 0.5)[0]:
                    chunk = os.read(self._from_browser, 65536)
                    if not chunk:
                        raise Failure("the browser closed its pipe")
                    self._buffer += chunk
            message, self._buffer = self._buffer.split(b"\0", 1)
            message = json.loads(message)
            if message.get("id") == self._next_id:  # anything else is an event
                if "error" in message:
                    raise Failure("%s: %s" % (method, message["error"]))
                return message.get("result", {})


    def frames(self):
        """Frame name -> (frame id, url) for the top ("") and every frame below it."""
        tree = self.call("Page.getFrameTree")["frameTree"]
        found = {c["frame"].get("name", ""): (c["frame"]["id"], c["frame"]["url"])
                 for c in tree.get("childFrames", [])}
        found[""] = (tree["frame"]["id"], tree["frame"]["url"])
        return found

    def evaluate(self, frame_id, expression):
        world = self.call("Page.createIsolatedWorld",
                          {"frameId": frame_id, "worldName": "sitecheck"})
        result = self.call("Runtime.evaluate", {
            "expression": expression, "contextId": world["executionContextId"],
            "returnByValue": True})
        if "exceptionDetails" in result:
            raise Failure("script error: %s" % result["exceptionDetails"].get("text"))
        return result["result"].get("value")

    def wait_frame(self, name, url_end):
        """Waits until frame name ("" for the top) shows a page whose url ends
        in url_end and has finished loading; returns its frame id."""
        deadline = time.time() + TIMEOUT
        last = None
        while time.time() < deadline:
            frame_id, last = self.frames().get(name, (None, None))
            if last and last.endswith(url_end):
                try:
                    if self.evaluate(frame_id, "document.readyState") == "complete":
                        return frame_id
                except Failure:
                    pass  # the frame is between two documents
            time.sleep(0.1)
        raise Failure("frame %r did not show ...%s (it shows %s)" % (name, url_end, last))

    def click(self, frame_id, selector, href_test):
        """Clicks the first element of selector whose href passes href_test (JS)."""
        return self.evaluate(frame_id, """(() => {
            const a = [...document.querySelectorAll(%s)]
                .find(a => (h => %s)(a.getAttribute('href') || ''));
            if (!a) return false; a.click(); return true; })()""" % (json.dumps(selector), href_test))


def check(page, index_url):
    page.call("Page.navigate", {"url": index_url})
    module_list = page.wait_frame("ModuleList", "module-summary.html")
    detail = page.wait_frame("Detail", "project-summary.html")
    cls = page.evaluate(module_list, """(() => {
        const a = [...document.querySelectorAll('a[target="Detail"]')]
            .find(a => /Classes\\/[^/]+\\.html$/i.test(a.getAttribute('href')));
        return a ? a.getAttribute('href') : null; })()""")
    if not cls:
        raise Failure("the module list shows no class link")
    project = page.evaluate(detail, """({heading: document.querySelector('h3').innerText,
        tables: document.querySelectorAll('table.summary').length})""")
    if project["heading"] != "Project" or project["tables"] != 2:
        raise Failure("the project summary lacks its two tables: %r" % project)

    # The class link opens the class in the Detail frame, its navigation bar
    # the object-model page.
    page.click(module_list, 'a[target="Detail"]', "h === %s" % json.dumps(cls))
    class_page = cls.split("/")[-1]
    detail = page.wait_frame("Detail", class_page)
    object_page = class_page[:-len(".html")] + "_Object.html"
    if not page.click(detail, "a", "h.endsWith(%s)" % json.dumps(object_page)):
        raise Failure("no link to %s on %s" % (object_page, class_page))
    detail = page.wait_frame("Detail", object_page)

    state = page.evaluate(detail, """(() => {
        const branch = document.querySelector('tr[onclick*="toggleById"]');
        if (!branch) return {error: 'no object-model branch'};
        const id = /toggleById\\('([^']*)'\\)/.exec(branch.getAttribute('onclick'))[1];
        const row = document.getElementById(id);
        if (!row) return {error: 'no member row with id ' + id};
        const shown = () => getComputedStyle(row).display != 'none';
        const broken = [...document.querySelectorAll('img')]
            .filter(i => !(i.complete && i.naturalWidth > 0)).map(i => i.getAttribute('src'));
        const before = shown();
        branch.click();
        const after = shown() && row.innerText.trim();
        branch.click();
        return {id, before, after, again: shown(), broken};
    })()""")
    if "error" in state:
        raise Failure(state["error"])
    if state["before"] or not state["after"] or state["again"]:
        raise Failure("branch %s does not show its members on a click only: %r"
                      % (state["id"], state))
    if state["broken"]:
        raise Failure("images that do not load: %s" % state["broken"])
    return "%s opens; %s: branch %s shows %r" % (class_page, object_page, state["id"],
                                                 state["after"].split("\n")[0])


# (query, name that must be the first result or None, name that must be among
# the results or None; None for both: no result at all)
SEARCHES = [
    ("Post", "Post", None),
    ("amount ONTO", None, "Post"),  # words of IAccount.Post's description only
    ("zzqxv", None, None),
]

SEARCH_STATE = """(() => {
    const rows = [...document.querySelectorAll('#searchResults tr.searchResult')];
    return {names: rows.map(r => r.cells[0].innerText),
            targets: rows.map(r => r.querySelector('a').getAttribute('target')),
            summary: document.getElementById('searchSummary').innerText,
            query: document.getElementById('searchQuery').value}; })()"""


def check_search(page, site):
    """The search box of the module list, then search.html?q= for each query."""
    submitted = page.evaluate(page.frames()["ModuleList"][0], """(() => {
        const form = document.querySelector('form.search');
        if (!form) return false;
        form.querySelector('input[name="q"]').value = 'Post';
        form.submit(); return true; })()""")
    if not submitted:
        raise Failure("the module list has no search box")
    state = page.evaluate(page.wait_frame("Detail", "search.html?q=Post"), SEARCH_STATE)
    if not state["names"] or state["names"][0] != "Post" or set(state["targets"]) != {"Detail"}:
        raise Failure("the search box's query Post shows %r" % state)

    outcome = []
    for query, first, among in SEARCHES:
        url = "file://" + os.path.join(site, "search.html") + "?q=" + urllib.parse.quote(query)
        page.call("Page.navigate", {"url": url})
        state = page.evaluate(page.wait_frame("", url), SEARCH_STATE)
        if state["query"] != query:
            raise Failure("search.html?q=%s shows the query %r" % (query, state["query"]))
        if first is None and among is None:
            if state["names"] or query not in state["summary"]:
                raise Failure("query %r with no match shows %r" % (query, state))
        elif first is not None and (not state["names"] or state["names"][0] != first):
            raise Failure("query %r does not show %s first: %r" % (query, first, state["names"]))
        elif among is not None and among not in state["names"]:
            raise Failure("query %r does not find %s: %r" % (query, among, state["names"]))
        outcome.append("%r: %d found" % (query, len(state["names"])))
    return "search " + ", ".join(outcome)


CHINESE = "\u8ba1\u7b97\u8d26\u6237\u4f59\u989d"  # "compute the account balance"


def write_gbk_project(folder):
    """A one-module project whose files are in GBK, as Chinese projects are."""
    os.makedirs(folder)
    with open(os.path.join(folder, "Hello.vbp"), "wb") as f:
        f.write(b'Type=Exe\r\nModule=modHello; modHello.bas\r\nName="Hello"\r\n')
    with open(os.path.join(folder, "modHello.bas"), "wb") as f:
        f.write(('Attribute VB_Name = "modHello"\r\n' "' %s\r\n"
                 "Public Function Balance() As Long\r\nEnd Function\r\n" % CHINESE).encode("gbk"))
    return os.path.join(folder, "Hello.vbp")


def check_gbk(page, url):
    """The member page of a GBK project is read as GBK because it says so."""
    page.call("Page.navigate", {"url": url})
    state = page.evaluate(page.wait_frame("", url),
                          "({charset: document.characterSet, text: document.body.innerText})")
    if state["charset"].upper() != "GBK":
        raise Failure("the GBK page was read as %s" % state["charset"])
    if CHINESE not in state["text"]:
        raise Failure("the GBK page does not show its Chinese description: %r" % state["text"][:200])
    return "GBK page read as %s" % state["charset"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tarnwick")
    parser.add_argument("project")
    parser.add_argument("--registry")
    parser.add_argument("--chromium", default=os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    args = parser.parse_args()
    chromium = shutil.which(args.chromium) or (args.chromium if os.access(args.chromium, os.X_OK) else None)
    if not chromium:
        print("skipped: no Chromium at %s (scripts/install-deps.sh --with-browser)" % args.chromium)
        return SKIP

    with tempfile.TemporaryDirectory(prefix="tarnwick-browser-") as tmp:
        site, gbk_site = os.path.join(tmp, "site"), os.path.join(tmp, "gbk-site")
        registry = ["--registry", args.registry] if args.registry else []
        for command in ([args.project, "-o", site] + registry,
                        [write_gbk_project(os.path.join(tmp, "gbk")), "-o", gbk_site,
                         "--codepage", "GBK"]):
            generated = subprocess.run([args.tarnwick, "generate", "-q"] + command,
                                       capture_output=True, text=True)
            if generated.returncode != 0:
                print("FAILED: tarnwick generate %s exited %d: %s"
                      % (command[0], generated.returncode, generated.stderr))
                return 1
        browser = Browser(chromium, os.path.join(tmp, "profile"))
        try:
            outcome = "; ".join([
                check(browser, "file://" + os.path.join(site, "index.html")),
                check_search(browser, site),
                check_gbk(browser, "file://" + os.path.join(gbk_site, "Modules",
                                                             "modHello_Balance.html"))])
        except Failure as failure:
            print("FAILED: %s" % failure)
            return 1
        finally:
            browser.close()
    print("passed: " + outcome)
    return 0


if __name__ == "__main__":
    sys.exit(main())
