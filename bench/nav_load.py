#!/usr/bin/env python3
"""What the navigation costs a page of the modern layout, in headless Chromium.

Usage: nav_load.py SITE PAGE [RUNS]   (CHROMIUM: the browser's path; RUNS: 3)

SITE is a modern site (tarnwick generate --layout modern), PAGE one of its
pages ("Classes/CMod0001_Method0001.html"). The page is loaded as it is and
as a copy without the navigation script (nav-index.js), each in a fresh
browser profile (cold) and once more in the same one (warm). Printed, the
median of RUNS for each: the page's DOMContentLoaded (and how long its
handlers took, the navigation's drawing among them) and, with the script,
when the navigation marks the page (the tree drawn and its module open).
Then the header search box: how long after its first focus the search index
is loaded and ready, and the slowest keystroke of a few texts typed into it.
"""
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HARNESS = """<html><body><iframe id="page" width="1280" height="800"></iframe><script>
const frame = document.getElementById('page');
const sleep = ms => new Promise(done => setTimeout(done, ms));
// From the moment the address is set: the frame's DOMContentLoaded and, when the page
// has the navigation, the moment it marks the page (both from the page's navigation start).
async function load(src) {
  frame.src = src;
  let marked = -1;
  for (let i = 0; i < 20000; ++i) {
    await new Promise(done => requestAnimationFrame(done));
    let doc = null;
    try { doc = frame.contentDocument; } catch (e) {}
    if (!doc || !doc.location.href.endsWith(src)) continue;
    const win = frame.contentWindow;
    if (marked < 0 && doc.querySelector('#nav a.current')) marked = win.performance.now();
    if (doc.readyState == 'complete' && (marked >= 0 || !win.tarnwickNav)) break;
  }
  const timing = frame.contentWindow.performance.getEntriesByType('navigation')[0];
  return [timing.domContentLoadedEventEnd, marked,
          timing.domContentLoadedEventEnd - timing.domContentLoadedEventStart];
}
(async () => {
  const src = location.hash.slice(1);
  for (const round of ['cold', 'warm']) {
    const [dcl, marked, handlers] = await load(src + (round == 'warm' ? '?warm' : ''));
    console.log(`BENCH ${round} ${dcl.toFixed(1)} ${marked.toFixed(1)} ${handlers.toFixed(1)}`);
    await sleep(300);
  }
  console.log('BENCH-DONE');
})();
</script></body></html>
"""


TYPING = """<html><body><iframe id="page" width="1280" height="800"></iframe><script>
const frame = document.getElementById('page');
const sleep = ms => new Promise(done => setTimeout(done, ms));
(async () => {
  frame.src = location.hash.slice(1);
  let doc = null;
  for (let i = 0; i < 600 && !(doc && doc.readyState == 'complete'); ++i) {
    await sleep(20);
    try { doc = frame.contentDocument; } catch (e) {}
  }
  const win = frame.contentWindow, box = doc.getElementById('find');
  let t = win.performance.now();
  box.focus();
  while (!win.tarnwickFind || !win.tarnwickLowered) await sleep(2);
  console.log(`BENCH index ${(win.performance.now() - t).toFixed(1)} ${win.tarnwickIndex.rows.length}`);
  for (const text of ['record changed', 'succeeded', 'lasterror', 'payment total', 'zzz']) {
    let worst = 0;
    for (let n = 1; n <= text.length; ++n) {
      box.value = text.slice(0, n);
      t = win.performance.now();
      box.dispatchEvent(new Event('input'));
      worst = Math.max(worst, win.performance.now() - t);
      await sleep(10);
    }
    console.log(`BENCH typing ${worst.toFixed(1)} ${text.replace(/ /g, '_')}:${doc.querySelectorAll('#found li').length}`);
  }
  console.log('BENCH-DONE');
})();
</script></body></html>
"""


def measure(chromium, site, page, harness="nav-bench.html"):
    """[(round, domContentLoaded ms, marked ms or -1)] of one fresh profile."""
    with tempfile.TemporaryDirectory(prefix="tarnwick-nav-", ignore_cleanup_errors=True) as profile:
        browser = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-dev-shm-usage", "--user-data-dir=" + profile,
             "--allow-file-access-from-files", "--enable-logging=stderr", "--v=0",
             "file://" + os.path.join(site, harness) + "#" + page],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, start_new_session=True)
        rows, started = [], time.time()
        for line in browser.stderr:
            if '"BENCH-DONE"' in line or time.time() - started > 120:
                break
            if '"BENCH ' in line:
                rows.append(line.split('"')[1].split()[1:])
        os.killpg(browser.pid, signal.SIGKILL)  # the browser and its helpers
        browser.wait()
        return rows


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__)
        return 2
    site, page = os.path.abspath(sys.argv[1]), sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) == 4 else 3
    chromium = os.environ.get("CHROMIUM", "/usr/bin/chromium")
    with open(os.path.join(site, page), encoding="utf-8", errors="surrogateescape") as f:
        text = f.read()
    bare = page[:-len(".html")] + ".nonav.html"
    with open(os.path.join(site, bare), "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write("".join(line for line in text.splitlines(True) if "nav-index.js" not in line))
    with open(os.path.join(site, "nav-bench.html"), "w", encoding="utf-8") as f:
        f.write(HARNESS)
    with open(os.path.join(site, "typing-bench.html"), "w", encoding="utf-8") as f:
        f.write(TYPING)
    try:
        for name, path in (("with the navigation", page), ("without", bare)):
            samples = {}
            for _ in range(runs):
                for round_, *values in measure(chromium, site, path):
                    samples.setdefault(round_, []).append([float(v) for v in values])
            for round_, values in samples.items():
                dcl, marked, handlers = (statistics.median(v[i] for v in values) for i in range(3))
                print("%-20s %s: DOMContentLoaded %7.1f ms (its handlers %5.1f ms)%s" % (
                    name, round_, dcl, handlers,
                    "" if marked < 0 else ", page marked %7.1f ms" % marked))
        # The header box: the index loaded and made ready on the first focus, then the
        # slowest keystroke of each text typed letter by letter.
        for row in measure(chromium, site, page, "typing-bench.html"):
            if row[0] == "index":
                print("search index of %s rows ready %s ms after the first focus" % (row[2], row[1]))
            else:
                print("typing %-28s slowest keystroke %6s ms" % (row[2], row[1]))
    finally:
        for name in (bare, "nav-bench.html", "typing-bench.html"):
            os.remove(os.path.join(site, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
