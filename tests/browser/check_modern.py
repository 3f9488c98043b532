#!/usr/bin/env python3
"""The modern layout of the example site in headless Chromium, as a reader on a desktop
(1280x800) and on a phone (390x844, 360x480) sees it: no page scrolls sideways, the navigation shows
and marks the page, the header box finds a name and its link opens, the dark scheme keeps
body text readable; the code page numbers its lines as the module file, its numbers are not
copied and its colours are readable; and the framed site opens index.html?page=... in its Detail frame, but
no address that is not one of its pages.
Usage: check_modern.py TARNWICK PROJECT.vbp [--registry FILE] (CHROMIUM: the browser's path).
Exit status: 0 passed, 1 failed, 77 skipped (no browser)."""
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

from harness import run_harness

SKIP = 77

HARNESS = """<html><body><iframe id="site"></iframe><pre id="outcome"></pre><script>
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
const shows = (win, end) => until(`frame shows ...${end} (it shows ${win.location.href})`,
  () => win.location.href.endsWith(end) && win.document.readyState == 'complete' && win.document);
async function open(page) {
  frame.src = page;
  const doc = await shows(frame.contentWindow, page.split('/').slice(1).join('/'));
  await sleep(50);  // the navigation is drawn after the page is read
  return doc;
}
// WCAG relative luminance and contrast of two computed colours.
function luminance(colour) {
  const [r, g, b] = colour.match(/[\\d.]+/g).slice(0, 3).map(v => {
    v = v / 255; return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4); });
  return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}
function contrast(a, b) {
  const [x, y] = [luminance(a), luminance(b)].sort((p, q) => q - p);
  return (x + 0.05) / (y + 0.05);
}

// Start page, member page, code page, a page with a wide table of libraries.
const PAGES = ['modern/index.html', 'modern/Classes/CAccount_Post.html',
               'modern/Classes/CAccount_Code.html', 'modern/project-summary.html'];

async function check() {
  const seen = [];
  // The small phone shows the marked page only when the tree scrolls as the menu opens.
  for (const [width, height] of [[1280, 800], [390, 844], [360, 480]]) {
    frame.width = width; frame.height = height;
    for (const page of PAGES) {
      const doc = await open(page);
      const root = doc.documentElement;
      expect(root.scrollWidth <= root.clientWidth,
             `${page} at ${width}px scrolls sideways (${root.scrollWidth} > ${root.clientWidth})`);
      const size = parseFloat(frame.contentWindow.getComputedStyle(doc.querySelector('main p, main td')).fontSize);
      expect(width > 800 || size >= 16, `${page} at ${width}px: body text of ${size}px`);
    }
    // The navigation marks the member page and shows it; on a phone behind the menu button.
    const doc = await open('modern/Classes/CAccount_Post.html');
    const win = frame.contentWindow, nav = doc.getElementById('nav');
    const current = await until('the navigation marks the page', () => nav.querySelector('a.current'));
    expect(current.textContent == 'Post', 'the navigation marks ' + current.textContent);
    if (width < 800) {
      expect(win.getComputedStyle(nav).display == 'none', 'the phone shows the navigation unasked');
      doc.getElementById('menu').click();
    }
    const [n, c] = [nav.getBoundingClientRect(), current.getBoundingClientRect()];
    expect(win.getComputedStyle(nav).display != 'none' && c.top >= n.top && c.bottom <= n.bottom,
           `at ${width}px the marked page is not in view in the navigation`);
    // A long project name neither widens the page nor squeezes the search box away.
    const long = 'HollerbeckHouseholdLedgerAndAccounts'.repeat(2);
    doc.querySelector('.brand').firstChild.textContent = doc.querySelector('.crumbs a').textContent = long;
    expect(doc.documentElement.scrollWidth <= doc.documentElement.clientWidth &&
           doc.getElementById('find').offsetWidth >= 80, `a long project name at ${width}px`);
    seen.push(`${width}px: ${PAGES.length} pages fit, navigation marks Post`);
  }

  // The header box sends its text to search.html (Enter) ...
  let doc = await open('modern/Classes/CEntry.html');
  doc.getElementById('find').value = 'Transf';
  doc.getElementById('find').form.requestSubmit();
  const results = await shows(frame.contentWindow, 'search.html?q=Transf');
  await until('search.html lists Transfer', () =>
      [...results.querySelectorAll('#searchResults a')].some(a => a.textContent == 'Transfer'));
  // ... and lists a name as it is typed, whose link opens the page; "/" focuses it.
  doc = await open('modern/Classes/CEntry.html');
  doc.body.dispatchEvent(new KeyboardEvent('keydown', {key: '/', bubbles: true}));
  const box = doc.getElementById('find');
  expect(doc.activeElement == box, '"/" does not focus the search box');
  const typed = async (text, name) => {
    box.value = text;
    box.dispatchEvent(new Event('input'));
    return until(`typing ${text} lists ${name}`, () =>
        [...doc.querySelectorAll('#found a')].find(a => a.textContent == name));
  };
  // It answers as search.html does: a word of a description finds its member.
  await typed('groceries', 'Category');
  (await typed('Transf', 'Transfer')).click();
  await shows(frame.contentWindow, 'Classes/CAccount_Transfer.html');

  // The tree draws what is open only: on the start page no module, a kind's modules when it
  // opens, a module's members (from its own script) when that opens.
  doc = await open('modern/index.html');
  const tree = doc.querySelector('#nav .tree');
  expect(tree && !tree.querySelector('.module, li.member'), 'the start page draws modules');
  const classes = [...tree.querySelectorAll('.branch.kind')].find(d =>
      d.querySelector(':scope > a').getAttribute('href').endsWith('all-Classes.html'));
  classes.querySelector('button.twisty').click();
  const account = await until('opening Classes lists CAccount', () =>
      [...classes.querySelectorAll('.branch.module')].find(d => d.querySelector(':scope > a').textContent == 'CAccount'));
  expect(!tree.querySelector('li.member'), 'members are drawn before their module opens');
  account.querySelector('button.twisty').click();
  await until('opening CAccount lists Post', () =>
      [...account.querySelectorAll('li.member a')].some(a => a.textContent == 'Post' && a.title));
  // The filter finds members of modules not drawn, from the search index.
  const filter = doc.querySelector('#nav input.filter');
  filter.value = 'ransf';
  filter.dispatchEvent(new Event('input'));
  await until('the filter lists Transfer', () =>
      [...doc.querySelectorAll('#nav .hits a')].some(a => a.textContent == 'Transfer'));
  expect(tree.hidden, 'the tree shows beside the list of the filter');
  seen.push('tree drawn as it opens, box finds a description');

  // The dark scheme: chosen with the button, kept on the next page, text readable.
  doc = await open('modern/Classes/CAccount.html');
  const page = frame.contentWindow, colour = (e, p) => page.getComputedStyle(e)[p];
  const light = contrast(colour(doc.querySelector('main p'), 'color'), colour(doc.body, 'backgroundColor'));
  const lightLink = contrast(colour(doc.querySelector('main a'), 'color'), colour(doc.body, 'backgroundColor'));
  expect(light >= 4.5 && lightLink >= 4.5, `light scheme: text ${light}:1, links ${lightLink}:1`);
  doc.getElementById('scheme').click();
  doc = await open('modern/Classes/CAccount_Post.html');
  const win = frame.contentWindow, style = e => win.getComputedStyle(e);
  expect(doc.documentElement.getAttribute('data-scheme') == 'dark', 'the dark scheme is not kept');
  const text = contrast(style(doc.querySelector('main p')).color, style(doc.body).backgroundColor);
  const link = contrast(style(doc.querySelector('main a')).color, style(doc.body).backgroundColor);
  expect(luminance(style(doc.body).backgroundColor) < 0.1 && text >= 4.5 && link >= 4.5,
         `dark scheme: text ${text.toFixed(1)}:1, links ${link.toFixed(1)}:1`);
  seen.push(`dark text ${text.toFixed(1)}:1`);
  // The member page leads to its declaration's line in the code page.
  const lineLink = doc.querySelector('#Source a.codeLine');
  const line = Number(/#L(\d+)$/.exec(lineLink.getAttribute('href'))[1]);
  lineLink.click();
  const listing = await shows(win, `CAccount_Code.html#L${line}`);
  await until(`line ${line} is marked`, () => listing.getElementById(`L${line}`).matches(':target') &&
      /Function Post\(/.test(listing.getElementById(`L${line}`).textContent));
  // Its numbers are not part of the code: copying the listing gives its lines alone.
  const list = listing.querySelector('div.code'), items = [...list.querySelectorAll('li')];
  win.getSelection().selectAllChildren(list);
  expect(win.getSelection().toString() == items.map(item => item.textContent).join('\\n'),
         'copied code differs from its lines: ' + win.getSelection().toString().slice(0, 80));
  for (const scheme of ['light', 'dark']) {
    listing.documentElement.setAttribute('data-scheme', scheme);
    for (const mark of ['b', 'i', 'q']) {
      const ratio = contrast(style(list.querySelector(mark)).color, style(list).backgroundColor);
      expect(ratio >= 4.5, `${scheme} scheme: code's ${mark} at ${ratio.toFixed(1)}:1`);
    }
  }

  // The framed site opens a page of the site named in its address (a code line here)...
  frame.src = 'framed/index.html?page=Classes/CAccount_Code.html%23L12';
  const detailFrame = await until('the frameset loads', () => frame.contentWindow.frames['Detail']);
  const code = await shows(detailFrame, 'CAccount_Code.html#L12');
  await until('line 12 is marked', () => code.getElementById('L12').classList.contains('marked'));
  // ... and nothing that is not one: no script, no other place.
  const guard = frame.contentWindow.tarnwickLinkedPage;
  for (const [page, taken] of [['Classes/CAccount_Post.html', 'Classes/CAccount_Post.html'],
                               ['Classes%2FCAccount.html%23Enums', 'Classes/CAccount.html#Enums'],
                               ['javascript:alert(1)//.html'], ['JavaScript%3Aalert(1)%2F%2Fx.html'],
                               ['data:text/html,x.html'], ['..%2Fmodern%2Findex.html'],
                               ['Classes/../../x.html'], ['Classes%5C..%5C..%5Cx.html'],
                               ['%252e%252e/x.html'], ['//example.com/x.html'], ['/etc/x.html'],
                               ['https://example.com/x.html'], ['Classes/X.html%23"><b>', 'Classes/X.html']])
    expect(guard('?page=' + page, '') === (taken || null),
           `index.html?page=${page} gives ${guard('?page=' + page, '')}`);
  seen.push('framed index.html?page= opens site pages only');
  return seen.join('; ');
}
check().then(text => { document.getElementById('outcome').textContent = 'passed: ' + text; },
             error => { document.getElementById('outcome').textContent = 'FAILED: ' + error.message; });
</script></body></html>
"""


def numbered_as_file(page, module):
    """Each item of the modern code page's lists stands as line n of the module file, its
    anchor is L{n} and the browser numbers it n (its value, its list's start, else one more
    than the item before); else what differs."""
    with open(module, encoding="cp1252", newline="") as f:
        source = f.read().split("\r\n")
    with open(page, encoding="cp1252", newline="") as f:
        text = f.read()
    shown = 0
    items = re.findall(r'(?:<ol start="(\d+)">)?<li\r\nid="L(\d+)"(?: value="(\d+)")?>(.*?)'
                       r'(?=</ol>|<li\r\n)', text)
    for start, anchor, value, markup in items:
        shown = int(value or start) if value or start else shown + 1
        code = html.unescape(re.sub(r"<[^>]*>", "", markup))
        if int(anchor) != shown or code != source[shown - 1].rstrip(" "):
            return "item L%s numbered %d shows %r, the file %r" % (
                anchor, shown, code, source[shown - 1] if shown <= len(source) else None)
    return "" if len(items) > 100 else "the code page has %d lines" % len(items)


def main():
    tarnwick, project, *registry = sys.argv[1:]  # registry: [] or ["--registry", FILE]
    chromium = shutil.which(os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    if not chromium:
        print("skipped: no Chromium (scripts/install-deps.sh --with-browser)")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="tarnwick-modern-") as tmp:
        for layout in ("modern", "frames"):
            folder = os.path.join(tmp, "modern" if layout == "modern" else "framed")
            generated = subprocess.run(
                [tarnwick, "generate", "-q", project, "-o", folder, "--layout", layout,
                 "--language", "English"] + registry, capture_output=True, text=True)
            if generated.returncode != 0:
                print("FAILED: tarnwick generate --layout %s exited %d: %s"
                      % (layout, generated.returncode, generated.stderr))
                return 1
        mismatch = numbered_as_file(os.path.join(tmp, "modern", "Classes", "CAccount_Code.html"),
                                    os.path.join(os.path.dirname(project), "Classes", "CAccount.cls"))
        if mismatch:
            print("FAILED: " + mismatch)
            return 1
        with open(os.path.join(tmp, "harness.html"), "w", encoding="utf-8") as f:
            f.write(HARNESS)
        outcome = run_harness(chromium, tmp, os.path.join(tmp, "harness.html"), 60000, 120)
    print(outcome)
    return 0 if outcome.startswith("passed") else 1


if __name__ == "__main__":
    sys.exit(main())
