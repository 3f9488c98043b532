#!/usr/bin/env python3
"""Loads the example site in headless Chromium as a reader does: frames, a module link, the
object-model page and a branch click, images, the search box and search.html; and a GBK
project's page read as GBK. A harness page holds the site in a frame and runs the checks
(--allow-file-access-from-files); Chromium prints the outcome (--dump-dom).
Usage: check_site.py TARNWICK PROJECT.vbp [--registry FILE] (CHROMIUM: the browser's path).
Exit status: 0 passed, 1 failed, 77 skipped (no browser)."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

from harness import run_harness

SKIP = 77
CHINESE = "\u8ba1\u7b97\u8d26\u6237\u4f59\u989d"  # "compute the account balance"

HARNESS = """<html><body><iframe id="site" width="1000" height="700"></iframe><pre id="outcome">
</pre><script>
const frame = document.getElementById('site');
const sleep = ms => new Promise(done => setTimeout(done, ms));
// Waits until test() gives something true (frames between two documents throw).
async function until(what, test) {
  for (let i = 0; i < 200; ++i) {
    try { const value = test(); if (value) return value; } catch (e) {}
    await sleep(100);
  }
  throw new Error(what);
}
// The document of a frame once it shows a page whose address ends in end.
const shows = (win, end) => until(`frame shows ...${end} (it shows ${win.location.href})`,
  () => win.location.href.endsWith(end) && win.document.readyState == 'complete' && win.document);
const rows = doc => [...doc.querySelectorAll('#searchResults tr.searchResult')];
const names = doc => rows(doc).map(r => r.cells[0].innerText);
function expect(ok, what) { if (!ok) throw new Error(what); }

async function check() {
  frame.src = 'site/index.html';
  const top = await until('the frameset loads', () => frame.contentWindow.frames['Detail']);
  const list = top.parent.frames['ModuleList'], detail = top.parent.frames['Detail'];
  const listDoc = await shows(list, 'module-summary.html');
  const summary = await shows(detail, 'project-summary.html');
  expect(summary.querySelector('h3').innerText == 'Project' &&
         summary.querySelectorAll('table.summary').length == 3 &&
         summary.querySelector('#projectFacts').innerText.includes('1.4.27'),
         'the project summary lacks its tables');
  const classLink = [...listDoc.querySelectorAll('a[target="Detail"]')]
      .find(a => /Classes\\/[^/]+\\.html$/i.test(a.getAttribute('href')));
  expect(classLink, 'the module list shows no class link');
  const classPage = classLink.getAttribute('href').split('/').pop();
  classLink.click();
  const objectPage = classPage.replace(/\\.html$/, '_Object.html');
  const objectLink = [...(await shows(detail, classPage)).querySelectorAll('a')]
      .find(a => (a.getAttribute('href') || '').endsWith(objectPage));
  expect(objectLink, `no link to ${objectPage} on ${classPage}`);
  objectLink.click();
  const model = await shows(detail, objectPage);
  const broken = [...model.querySelectorAll('img')].filter(i => !(i.complete && i.naturalWidth > 0));
  expect(!broken.length, 'images that do not load: ' + broken.map(i => i.getAttribute('src')));
  const branch = model.querySelector('tr[onclick*="toggleById"]');
  const id = /toggleById\\('([^']*)'\\)/.exec(branch.getAttribute('onclick'))[1];
  const row = model.getElementById(id);
  const shown = () => detail.getComputedStyle(row).display != 'none';
  const before = shown();
  branch.click();
  const after = shown() && row.innerText.trim();
  branch.click();
  expect(!before && after && !shown(), `branch ${id} does not show its members on a click only`);

  const form = listDoc.querySelector('form.search');
  expect(form, 'the module list has no search box');
  form.querySelector('input[name="q"]').value = 'Post';
  form.submit();
  const found = await shows(detail, 'search.html?q=Post');
  await until('the search box finds Post first, links open where the list is', () =>
      names(found)[0] == 'Post' && rows(found).every(r => !r.querySelector('a').hasAttribute('target')));
  // [query, name first, name among the results]; neither: no result at all. "tabulator" is
  // only in the second sentence of CEntry's description; "$&" and "$$" are shown as typed.
  for (const [query, first, among] of [['Post', 'Post'], ['amount ONTO', null, 'Post'],
                                       ['zzqxv', null, null], ['zz$&qv $$', null, null],
                                       ['tabulator', 'CEntry']]) {
    frame.src = 'site/search.html?q=' + encodeURIComponent(query);
    const doc = await shows(frame.contentWindow, encodeURIComponent(query));
    await until(`query ${query} shows ${names(doc)}`, () =>
        doc.getElementById('searchQuery').value == query &&
        (first ? names(doc)[0] == first : among ? names(doc).includes(among)
               : !names(doc).length && doc.getElementById('searchSummary').innerText.includes(query)));
  }

  // One result is "1 result"; typing changes the list without loading the page again.
  const live = frame.contentWindow.document;
  expect(names(live).length == 1 && !/results/.test(live.getElementById('searchSummary').innerText),
         'one result reads ' + live.getElementById('searchSummary').innerText);
  live.tarnwickMark = 1;
  const box = live.getElementById('searchQuery');
  box.value = 'kreditrahmen';
  box.dispatchEvent(new Event('input'));
  await until('typing "kreditrahmen" lists CAccount on the same page', () =>
      frame.contentWindow.document.tarnwickMark == 1 && names(live).join() == 'CAccount');

  frame.src = 'gbk-site/Modules/modHello_Balance.html';
  const gbk = await shows(frame.contentWindow, 'modHello_Balance.html');
  expect(gbk.characterSet.toUpperCase() == 'GBK', 'the GBK page was read as ' + gbk.characterSet);
  expect(gbk.body.innerText.includes('CHINESE'), 'the GBK page does not show its Chinese text');
  return `${classPage} opens; ${objectPage}: branch ${id} shows ${after.split('\\n')[0]}; ` +
         'search finds; GBK page read as GBK';
}
check().then(text => { document.getElementById('outcome').textContent = 'passed: ' + text; },
             error => { document.getElementById('outcome').textContent = 'FAILED: ' + error.message; });
</script></body></html>
""".replace("CHINESE", CHINESE)


def write_gbk_project(folder):
    os.makedirs(folder)
    with open(os.path.join(folder, "Hello.vbp"), "wb") as f:
        f.write(b'Type=Exe\r\nModule=modHello; modHello.bas\r\nName="Hello"\r\n')
    with open(os.path.join(folder, "modHello.bas"), "wb") as f:
        f.write(('Attribute VB_Name = "modHello"\r\n' "' %s\r\n"
                 "Public Function Balance() As Long\r\nEnd Function\r\n" % CHINESE).encode("gbk"))
    return os.path.join(folder, "Hello.vbp")


def main():
    tarnwick, project, *registry = sys.argv[1:]  # registry: [] or ["--registry", FILE]
    chromium = shutil.which(os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    if not chromium:
        print("skipped: no Chromium (scripts/install-deps.sh --with-browser)")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="tarnwick-browser-") as tmp:
        for command in ([project, "-o", os.path.join(tmp, "site")] + registry,
                        [write_gbk_project(os.path.join(tmp, "gbk")), "-o",
                         os.path.join(tmp, "gbk-site"), "--codepage", "GBK"]):
            generated = subprocess.run([tarnwick, "generate", "-q"] + command,
                                       capture_output=True, text=True)
            if generated.returncode != 0:
                print("FAILED: tarnwick generate %s exited %d: %s"
                      % (command[0], generated.returncode, generated.stderr))
                return 1
        with open(os.path.join(tmp, "harness.html"), "w", encoding="utf-8") as f:
            f.write(HARNESS)
        outcome = run_harness(chromium, tmp, os.path.join(tmp, "harness.html"), 60000, 120)
    print(outcome)
    return 0 if outcome.startswith("passed") else 1


if __name__ == "__main__":
    sys.exit(main())
