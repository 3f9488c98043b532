#!/usr/bin/env python3
"""Loads a generated documentation site in headless Chromium and checks that
it works as a reader uses it: the start page's two frames load the module
list and the project summary, a module link of the list opens the module in
the other frame, the navigation bar reaches the object-model page, and a
click on an object-model branch shows that branch's members. The search box
of the module list opens search.html in the other frame; search.html?q= finds
a member by its name (first), by a word of its description, and says so when
nothing matches, each query in under 100 ms. Then a GBK
project's member page is opened: the browser must read it as GBK (from the
page's own declaration) and show its Chinese description.

Usage: check_site.py TARNWICK PROJECT.vbp [--registry FILE] [--chromium PATH]

Generates the site into a temporary folder with TARNWICK first. Talks to the
browser over --remote-debugging-pipe (no network, no packages beyond the
standard library). Exit status: 0 passed, 1 failed, 77 skipped (no browser).
"""
import argparse
import json
import os
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
    """One headless Chromium driven through the DevTools protocol on fds 3/4."""

    def __init__(self, executable, profile):
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()
        for fd in (to_browser_r, from_browser_w):
            os.set_inheritable(fd, True)
        args = [
            executable, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--disable-dev-shm-usage", "--user-data-dir=" + profile,
            "--remote-debugging-pipe", "about:blank",
        ]
        actions = [
            (os.POSIX_SPAWN_DUP2, to_browser_r, 3),
            (os.POSIX_SPAWN_DUP2, from_browser_w, 4),
            (os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
            (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0),
        ]
        self.pid = os.posix_spawn(executable, args, os.environ, file_actions=actions)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._buffer = b""
        self._next_id = 0
        self.events = []

    def close(self):
        try:
            self.call("Browser.close")
        except Exception:
            pass
        deadline = time.time() + 5
        while time.time() < deadline:
            pid, _ = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                break
            time.sleep(0.1)
        else:
            os.kill(self.pid, 9)
            os.waitpid(self.pid, 0)
        os.close(self._to_browser)
        os.close(self._from_browser)

    def _read_message(self, deadline):
        import select
        while b"\0" not in self._buffer:
            remaining = deadline - time.time()
            if remaining <= 0:
                raise Failure("the browser did not answer in time")
            ready, _, _ = select.select([self._from_browser], [], [], remaining)
            if not ready:
                continue
            chunk = os.read(self._from_browser, 65536)
            if not chunk:
                raise Failure("the browser closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=None):
        self._next_id += 1
        request = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            request["sessionId"] = session
        os.write(self._to_browser, json.dumps(request).encode() + b"\0")
        deadline = time.time() + TIMEOUT
        while True:
            message = self._read_message(deadline)
            if message.get("id") == self._next_id:
                if "error" in message:
                    raise Failure("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self.events.append(message)


class Page:
    def __init__(self, browser):
        self.browser = browser
        target = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = browser.call(
            "Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self.call("Page.enable")

    def call(self, method, params=None):
        return self.browser.call(method, params, self.session)

    def frames(self):
        """Frame name -> (frame id, url) for every frame below the top."""
        tree = self.call("Page.getFrameTree")["frameTree"]
        found = {}
        for child in tree.get("childFrames", []):
            frame = child["frame"]
            found[frame.get("name", "")] = (frame["id"], frame["url"])
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
        """Waits until frame name shows a page whose url ends in url_end and
        has finished loading; returns its frame id."""
        deadline = time.time() + TIMEOUT
        last = None
        while time.time() < deadline:
            frames = self.frames()
            if name in frames:
                frame_id, url = frames[name]
                last = url
                if url.endswith(url_end):
                    try:
                        if self.evaluate(frame_id, "document.readyState") == "complete":
                            return frame_id
                    except Failure:
                        pass  # the frame is between two documents
            time.sleep(0.1)
        raise Failure("frame %r did not show ...%s (it shows %s)" % (name, url_end, last))


def check(page, index_url):
    page.call("Page.navigate", {"url": index_url})
    frames_seen = page.wait_frame("ModuleList", "module-summary.html")
    detail = page.wait_frame("Detail", "project-summary.html")
    del frames_seen

    module_list = page.frames()["ModuleList"][0]
    summary = page.evaluate(module_list, """(() => {
        const links = [...document.querySelectorAll('a[target="Detail"]')];
        const cls = links.find(a => /Classes\\/[^/]+\\.html$/i.test(a.getAttribute('href')));
        return {links: links.length, text: document.body.innerText,
                cls: cls ? cls.getAttribute('href') : null};
    })()""")
    if summary["links"] == 0 or not summary["cls"]:
        raise Failure("the module list shows no class link: %r" % summary["text"][:200])
    project = page.evaluate(detail, """({heading: document.querySelector('h3').innerText,
        tables: document.querySelectorAll('table.summary').length})""")
    if project["heading"] != "Project" or project["tables"] != 2:
        raise Failure("the project summary lacks its two tables: %r" % project)

    # A click on the class link opens the class in the Detail frame.
    page.evaluate(module_list, """(() => {
        const a = [...document.querySelectorAll('a[target="Detail"]')]
            .find(a => a.getAttribute('href') === %s);
        a.click(); return true; })()""" % json.dumps(summary["cls"]))
    class_page = summary["cls"].split("/")[-1]
    detail = page.wait_frame("Detail", class_page)

    # The navigation bar leads to the object-model page.
    object_page = class_page[:-len(".html")] + "_Object.html"
    clicked = page.evaluate(detail, """(() => {
        const a = [...document.querySelectorAll('a')]
            .find(a => (a.getAttribute('href') || '').endsWith(%s));
        if (!a) return false; a.click(); return true; })()""" % json.dumps(object_page))
    if not clicked:
        raise Failure("no link to %s on %s" % (object_page, class_page))
    detail = page.wait_frame("Detail", object_page)

    state = page.evaluate(detail, """(() => {
        const branch = document.querySelector('tr[onclick*="toggleById"]');
        if (!branch) return {error: 'no object-model branch'};
        const id = /toggleById\\('([^']*)'\\)/.exec(branch.getAttribute('onclick'))[1];
        const row = document.getElementById(id);
        if (!row) return {error: 'no member row with id ' + id};
        const before = getComputedStyle(row).display;
        const images = [...document.querySelectorAll('img')];
        const broken = images.filter(i => !(i.complete && i.naturalWidth > 0))
                             .map(i => i.getAttribute('src'));
        branch.click();
        const after = getComputedStyle(row).display;
        const shown = row.innerText.trim();
        branch.click();
        const again = getComputedStyle(row).display;
        return {id, before, after, again, shown, broken, images: images.length};
    })()""")
    if "error" in state:
        raise Failure(state["error"])
    if state["before"] != "none":
        raise Failure("branch %s shows its members before a click" % state["id"])
    if state["after"] == "none" or not state["shown"]:
        raise Failure("a click on branch %s does not show its members" % state["id"])
    if state["again"] != "none":
        raise Failure("a second click on branch %s does not hide its members" % state["id"])
    if state["broken"]:
        raise Failure("images that do not load: %s" % state["broken"])
    return "frames load; %s opens; %s: branch %s shows %r" % (
        class_page, object_page, state["id"], state["shown"].split("\n")[0])


# (query, name that must be the first result or None, name that must be among
# the results or None; None for both: no result at all)
SEARCHES = [
    ("Post", "Post", None),
    ("amount ONTO", None, "Post"),  # words of IAccount.Post's description only
    ("zzqxv", None, None),
]


def search_state(page, frame_id):
    return page.evaluate(frame_id, """(() => {
        const rows = [...document.querySelectorAll('#searchResults tr.searchResult')];
        return {names: rows.map(r => r.cells[0].innerText),
                targets: rows.map(r => r.querySelector('a').getAttribute('target')),
                summary: document.getElementById('searchSummary').innerText,
                query: document.getElementById('searchQuery').value};
    })()""")


def check_search(page, site):
    """The search box of the module list, then search.html?q= for each query."""
    module_list = page.frames()["ModuleList"][0]
    submitted = page.evaluate(module_list, """(() => {
        const form = document.querySelector('form.search');
        if (!form) return false;
        form.querySelector('input[name="q"]').value = 'Post';
        form.submit(); return true; })()""")
    if not submitted:
        raise Failure("the module list has no search box")
    detail = page.wait_frame("Detail", "search.html?q=Post")
    state = search_state(page, detail)
    if not state["names"] or state["names"][0] != "Post" or set(state["targets"]) != {"Detail"}:
        raise Failure("the search box's query Post shows %r" % state)

    outcome = []
    for query, first, among in SEARCHES:
        url = "file://" + os.path.join(site, "search.html") + "?q=" + urllib.parse.quote(query)
        page.call("Page.navigate", {"url": url})
        deadline = time.time() + TIMEOUT
        while True:
            top = page.call("Page.getFrameTree")["frameTree"]["frame"]
            try:
                if top["url"] == url and page.evaluate(
                        top["id"], "document.readyState") == "complete":
                    break
            except Failure:
                pass
            if time.time() > deadline:
                raise Failure("search.html?q=%s did not load" % query)
            time.sleep(0.1)
        state = search_state(page, top["id"])
        # Timed in the page's own world, where the index and the script live.
        timing = page.call("Runtime.evaluate", {"expression": """(() => {
            const start = performance.now();
            tarnwickLowered = null; tarnwickFind(%s);
            return performance.now() - start; })()""" % json.dumps(query),
            "returnByValue": True})["result"]["value"]
        if state["query"] != query:
            raise Failure("search.html?q=%s shows the query %r" % (query, state["query"]))
        if first is None and among is None:
            if state["names"] or query not in state["summary"]:
                raise Failure("query %r with no match shows %r" % (query, state))
        elif first is not None and (not state["names"] or state["names"][0] != first):
            raise Failure("query %r does not show %s first: %r" % (query, first, state["names"]))
        elif among is not None and among not in state["names"]:
            raise Failure("query %r does not find %s: %r" % (query, among, state["names"]))
        if timing > 100:
            raise Failure("query %r took %.0f ms" % (query, timing))
        outcome.append("%r: %d found in %.1f ms" % (query, len(state["names"]), timing))
    return "search " + ", ".join(outcome)


CHINESE = "\u8ba1\u7b97\u8d26\u6237\u4f59\u989d"  # "compute the account balance"


def write_gbk_project(folder):
    """A one-module project whose files are in GBK, as Chinese projects are."""
    os.makedirs(folder)
    with open(os.path.join(folder, "Hello.vbp"), "wb") as f:
        f.write(b'Type=Exe\r\nModule=modHello; modHello.bas\r\nName="Hello"\r\n')
    with open(os.path.join(folder, "modHello.bas"), "wb") as f:
        f.write(('Attribute VB_Name = "modHello"\r\n'
                 "' %s\r\n"
                 "Public Function Balance() As Long\r\n"
                 "End Function\r\n" % CHINESE).encode("gbk"))
    return os.path.join(folder, "Hello.vbp")


def check_gbk(page, url):
    """The member page of a GBK project is read as GBK because it says so."""
    page.call("Page.navigate", {"url": url})
    deadline = time.time() + TIMEOUT
    state = None
    while time.time() < deadline:
        top = page.call("Page.getFrameTree")["frameTree"]["frame"]
        if top["url"] == url:
            try:
                state = page.evaluate(top["id"], """({ready: document.readyState,
                    charset: document.characterSet, text: document.body.innerText})""")
            except Failure:
                state = None
            if state and state["ready"] == "complete":
                break
        time.sleep(0.1)
    if not state:
        raise Failure("the GBK page did not load")
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
        site = os.path.join(tmp, "site")
        command = [args.tarnwick, "generate", args.project, "-o", site, "-q"]
        if args.registry:
            command += ["--registry", args.registry]
        generated = subprocess.run(command, capture_output=True, text=True)
        if generated.returncode != 0:
            print("FAILED: tarnwick generate exited %d: %s" % (generated.returncode, generated.stderr))
            return 1
        gbk_site = os.path.join(tmp, "gbk-site")
        generated = subprocess.run(
            [args.tarnwick, "generate", write_gbk_project(os.path.join(tmp, "gbk")), "-o",
             gbk_site, "-q", "--codepage", "GBK"], capture_output=True, text=True)
        if generated.returncode != 0:
            print("FAILED: tarnwick generate (GBK) exited %d: %s" % (generated.returncode, generated.stderr))
            return 1
        browser = Browser(chromium, os.path.join(tmp, "profile"))
        try:
            first = Page(browser)
            outcome = check(first, "file://" + os.path.join(site, "index.html"))
            outcome += "; " + check_search(first, site)
            outcome += "; " + check_gbk(Page(browser), "file://" + os.path.join(
                gbk_site, "Modules", "modHello_Balance.html"))
        except Failure as failure:
            print("FAILED: %s" % failure)
            return 1
        finally:
            browser.close()
    print("passed: " + outcome)
    return 0


if __name__ == "__main__":
    sys.exit(main())
