#!/usr/bin/env python3
"""axe-core's default rules on every kind of page of both layouts of the example site: start
page, kind list, module overview, member, code, UML, object model, search and all members;
of a group's site (a .vbg), the pages the group adds or changes. Fails on any critical or
serious violation and names rule, page and element.
Usage: check_access.py TARNWICK PROJECT.vbp|GROUP.vbg [--registry FILE] (CHROMIUM: the browser's path;
TARNWICK_AXE: axe.min.js, else where scripts/install-deps.sh --with-browser puts it).
Exit status: 0 passed, 1 failed, 77 skipped (no browser, or no axe-core off CI)."""
import json
import os
import shutil
import subprocess
import sys
import tempfile

from harness import run_harness

SKIP = 77

# One page of each kind; the framed layout's start page is its frameset and the
# project summary it shows.
PAGES = ["index.html", "all-Classes.html", "Classes/CAccount.html",
         "Classes/CAccount_Post.html", "Classes/CAccount_Code.html", "Classes/CAccount_Uml.html",
         "Forms/frmMain_Object.html", "Forms/frmOptions.html", "search.html?q=Post",
         "all-members.html"]
FRAMED_ONLY = ["project-summary.html", "module-summary.html"]
LONG_PROSE = "Classes/CAccount.html"  # a framed overview that must wrap long prose
# The example group: its start page, search and A-Z index over the projects, a project
# reference leading to another project, a control placed across projects, a library
# member's callers from other projects, and the framed project list.
GROUP_PAGES = ["index.html", "search.html?q=Append", "all-members.html",
               "StrLibTests/project-summary.html", "StrDemo/Forms/frmDemo.html",
               "StrControls/UserControls/ctlTextView.html", "StrLib/Classes/StringBuilder.html",
               "StrLib/Classes/StringBuilder_Append.html"]
GROUP_FRAMED_ONLY = ["StrLibTests/index.html", "StrLibTests/module-summary.html"]
GROUP_LONG_PROSE = "StrLib/Classes/StringBuilder.html"

HARNESS = """<html><body><iframe id="site" width="1280" height="800"></iframe>
<pre id="outcome"></pre><script>
const frame = document.getElementById('site');
const sleep = ms => new Promise(done => setTimeout(done, ms));
async function load(page) {
  // Waiting for the load event, not polling for it: 22 pages, each once.
  const loaded = new Promise(done => frame.addEventListener('load', done, {once: true}));
  frame.src = page;
  await loaded;
  await sleep(100);  // the navigation tree and search results are drawn after the page is read
  return frame.contentDocument;
}
async function audit(page) {
  const doc = await load(page);
  const script = doc.createElement('script');
  script.src = AXE;
  const ready = new Promise((done, failed) => {
    script.onload = done;
    script.onerror = () => failed(new Error(`axe-core does not load into ${page}`));
  });
  (doc.head || doc.documentElement).appendChild(script);
  await ready;
  const axe = frame.contentWindow.axe;
  const result = await axe.run(doc, {iframes: false, resultTypes: ['violations']});
  return result.violations.filter(v => v.impact == 'critical' || v.impact == 'serious')
      .flatMap(v => v.nodes.map(n => `${v.id} (${v.impact}) ${page} ${n.target.join(' ')}: ` +
                                     n.html.replace(/\\s+/g, " ").slice(0, 120)));
}
async function check() {
  const found = [];
  for (const page of PAGES) found.push(...await audit(page));
  // Long prose and a long address in a framed overview wrap inside the detail frame
  // (1016 px wide in the frameset at 1280 px) instead of making the reader scroll sideways.
  frame.width = 1016;
  const page = 'frames/' + LONG_PROSE, doc = await load(page);
  doc.querySelector('td[role=main]').insertAdjacentHTML('afterbegin', '<p>' +
      'Books an amount onto the account and tells its listeners. '.repeat(40) +
      'https://example.com/' + 'ledger'.repeat(60) + '</p>');
  const root = doc.documentElement;
  if (root.scrollWidth > root.clientWidth)
    found.push(`${page} with long prose scrolls sideways (${root.scrollWidth} > ${root.clientWidth})`);
  return found;
}
check().then(found => { document.getElementById('outcome').textContent =
    found.length ? 'FAILED: ' + found.length + ' violations\\n' + found.join('\\n')
                 : `passed: ${PAGES.length} pages, no critical or serious violation`; },
  error => { document.getElementById('outcome').textContent = 'FAILED: ' + error.message; });
</script></body></html>
"""


def axe_path():
    if os.environ.get("TARNWICK_AXE"):
        return os.environ["TARNWICK_AXE"]
    cache = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return os.path.join(cache, "tarnwick", "npm", "node_modules", "axe-core", "axe.min.js")


def main():
    tarnwick, project, *registry = sys.argv[1:]  # registry: [] or ["--registry", FILE]
    chromium = shutil.which(os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    if not chromium:
        print("skipped: no Chromium (scripts/install-deps.sh --with-browser)")
        return SKIP
    axe = axe_path()
    if not os.path.isfile(axe):
        # CI reaches the npm registry: there a missing axe-core is a broken set-up.
        print("%s: no axe-core at %s (scripts/install-deps.sh --with-browser installs it)"
              % ("FAILED" if os.environ.get("CI") else "skipped", axe))
        return 1 if os.environ.get("CI") else SKIP
    group = project.lower().endswith(".vbg")
    kinds, framed = (GROUP_PAGES, GROUP_FRAMED_ONLY) if group else (PAGES, FRAMED_ONLY)
    pages = []
    with tempfile.TemporaryDirectory(prefix="tarnwick-access-") as tmp:
        for layout in ("modern", "frames"):
            generated = subprocess.run(
                [tarnwick, "generate", "-q", project, "-o", os.path.join(tmp, layout),
                 "--layout", layout, "--language", "English"] + registry,
                capture_output=True, text=True)
            if generated.returncode != 0:
                print("FAILED: tarnwick generate --layout %s exited %d: %s"
                      % (layout, generated.returncode, generated.stderr))
                return 1
            extra = framed if layout == "frames" else []
            pages += [layout + "/" + page for page in kinds + extra]
        harness = HARNESS.replace(
            "const frame", "const PAGES = %s, AXE = %s, LONG_PROSE = %s;\nconst frame"
            % (json.dumps(pages), json.dumps("file://" + axe),
               json.dumps(GROUP_LONG_PROSE if group else LONG_PROSE)), 1)
        with open(os.path.join(tmp, "harness.html"), "w", encoding="utf-8") as f:
            f.write(harness)
        outcome = run_harness(chromium, tmp, os.path.join(tmp, "harness.html"), 120000, 240)
    print(outcome)
    return 0 if outcome.startswith("passed") else 1


if __name__ == "__main__":
    sys.exit(main())
