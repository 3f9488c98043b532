#!/usr/bin/env python3
"""The Changes page of `generate --since` in headless Chromium, in both layouts: the project
summary links to it, it lists the changes with their verdicts, a change's link opens the
member's page, and a new member shows its "New" mark in its module's summary table.
Usage: check_changes.py TARNWICK PROJECT.vbp OLD.api (CHROMIUM: the browser's path).
Exit status: 0 passed, 1 failed, 77 skipped (no browser)."""
import os
import shutil
import subprocess
import sys
import tempfile

from harness import run_harness

SKIP = 77

HARNESS = """<html><body><iframe id="site" width="1280" height="800"></iframe>
<pre id="outcome"></pre><script>
const frame = document.getElementById('site');
const sleep = ms => new Promise(done => setTimeout(done, ms));
async function until(what, test) {
  for (let i = 0; i < 100; ++i) {
    try { const value = test(); if (value) return value; } catch (e) {}
    await sleep(100);
  }
  throw new Error(what);
}
function expect(ok, what) { if (!ok) throw new Error(what); }
const shows = end => until(`frame shows ...${end} (it shows ${frame.contentWindow.location.href})`,
  () => frame.contentWindow.location.href.endsWith(end) &&
        frame.contentWindow.document.readyState == 'complete' && frame.contentWindow.document);
const visible = element => element && element.getBoundingClientRect().height > 0;

async function check() {
  const seen = [];
  for (const layout of ['frames', 'modern']) {
    frame.src = layout + '/project-summary.html';
    let doc = await shows('project-summary.html');
    const link = await until(`${layout}: the summary links to the Changes page`,
                             () => doc.querySelector('a[href="changes.html"]'));
    expect(visible(link), `${layout}: the link to the Changes page is hidden`);
    link.click();
    doc = await shows('changes.html');
    const rows = [...doc.querySelectorAll('#changes tr')].slice(1);
    const breaking = rows.filter(row => row.innerText.includes('Breaks binary compatibility'));
    expect(breaking.length > 0 && breaking.every(visible), `${layout}: no breaking change shown`);
    const member = [...doc.querySelectorAll('#changes a')].find(a => a.innerText == 'CAccount.Balance');
    expect(member, `${layout}: the change of CAccount.Balance has no link`);
    member.click();
    doc = await shows('CAccount_Balance.html');
    frame.src = layout + '/Classes/CAccount.html';
    doc = await shows('Classes/CAccount.html');
    const marks = [...doc.querySelectorAll('span.changeMark')].filter(visible);
    expect(marks.some(mark => mark.innerText == 'New'), `${layout}: no member is marked New`);
    seen.push(`${layout}: ${rows.length} changes, ${marks.length} marks`);
  }
  return seen.join('; ');
}
check().then(text => { document.getElementById('outcome').textContent = 'passed: ' + text; },
             error => { document.getElementById('outcome').textContent = 'FAILED: ' + error.message; });
</script></body></html>
"""


def main():
    tarnwick, project, since = sys.argv[1:]
    chromium = shutil.which(os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    if not chromium:
        print("skipped: no Chromium (scripts/install-deps.sh --with-browser)")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="tarnwick-browser-") as tmp:
        for layout in ("frames", "modern"):
            generated = subprocess.run(
                [tarnwick, "generate", "-q", project, "-o", os.path.join(tmp, layout),
                 "--layout", layout, "--language", "English", "--since", since],
                capture_output=True, text=True)
            if generated.returncode != 0:
                print("FAILED: tarnwick generate --layout %s exited %d: %s"
                      % (layout, generated.returncode, generated.stderr))
                return 1
        with open(os.path.join(tmp, "harness.html"), "w", encoding="utf-8") as f:
            f.write(HARNESS)
        outcome = run_harness(chromium, tmp, os.path.join(tmp, "harness.html"), 60000, 120)
    print(outcome)
    return 0 if outcome.startswith("passed") else 1


if __name__ == "__main__":
    sys.exit(main())
