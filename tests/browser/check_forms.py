#!/usr/bin/env python3
"""The picture of each form of the example project in headless Chromium, in both layouts, at a
desktop's (1280x800) and a phone's size (390x844): one box per control the form designer placed
(dimmed when not visible), at its designed place within 1 px (read here from the form file, as
the designer wrote it), its caption inside; a click on a box leads to the control's entry; the
modern page does not scroll sideways, and its picture stays readable in the dark scheme.
Usage: check_forms.py TARNWICK PROJECT.vbp [--registry FILE] (CHROMIUM: the browser's path).
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
TWIPS = 15.0
# Twips per unit of a container's ScaleMode 1 (twips) and 3 (pixels); others are not checked.
SCALES = {"1": 1.0, "3": 15.0}

HARNESS = """<html><body><iframe id="site"></iframe><pre id="outcome"></pre><script>
const FORMS = %s;
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
async function open(page) {
  frame.src = page;
  const doc = await until(`${page} loads`, () => frame.contentWindow.location.href.endsWith(page) &&
      frame.contentDocument.readyState == 'complete' && frame.contentDocument);
  await sleep(50);
  return doc;
}
function luminance(colour) {
  const [r, g, b] = colour.match(/[\\d.]+/g).slice(0, 3).map(v => {
    v = v / 255; return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4); });
  return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}
function contrast(a, b) {
  const [x, y] = [luminance(a), luminance(b)].sort((p, q) => q - p);
  return (x + 0.05) / (y + 0.05);
}
// The box of a control (its viewport) on the screen, in pixels of the design.
function placeOf(viewport, origin, scale) {
  const m = viewport.getScreenCTM();
  return {x: (m.e - origin.e) / scale, y: (m.f - origin.f) / scale,
          w: viewport.width.baseVal.value * m.a / scale, h: viewport.height.baseVal.value * m.d / scale};
}
async function checkForm(layout, form, width) {
  const page = `${layout}/${form.page}`;
  const doc = await open(page), win = frame.contentWindow;
  const svg = doc.querySelector('svg.formPicture');
  expect(svg, `${page}: no picture`);
  const client = doc.querySelector('svg.formPicture rect.client').parentNode.getScreenCTM();
  const scale = svg.getBoundingClientRect().width / svg.viewBox.baseVal.width;
  const links = [...svg.querySelectorAll('a')];
  for (const c of form.controls) {
    const tip = c.name + (c.index === null ? '' : `(${c.index})`) + ' (';  // as tipOf
    const link = links.filter(a => a.querySelector('title').textContent.startsWith(tip));
    expect(link.length == 1, `${page} at ${width}px: ${link.length} boxes for ${tip}`);
    const at = placeOf(link[0].querySelector('svg'), client, scale);
    for (const [k, v] of Object.entries({x: c.x, y: c.y, w: c.w, h: c.h}))
      expect(Math.abs(at[k] - v) <= 1, `${page} at ${width}px: ${tip} ${k} ${at[k].toFixed(1)}, designed ${v}`);
    const dimmed = link[0].closest('g.hidden') != null;
    expect(dimmed == !c.visible, `${page}: ${tip} dimmed ${dimmed}, visible ${c.visible}`);
    if (c.caption) {
      const text = [...link[0].querySelectorAll('text')].find(t => t.textContent == c.caption);
      expect(text, `${page}: ${tip} does not show "${c.caption}"`);
      const [t, b] = [text.getBoundingClientRect(), link[0].querySelector('svg').getBoundingClientRect()];
      expect(t.left >= b.left - 1 && t.top >= b.top - 1 && t.top < b.bottom,
             `${page}: ${tip}'s caption stands outside its box`);
    }
  }
  if (layout == 'modern') {
    const root = doc.documentElement;
    expect(root.scrollWidth <= root.clientWidth,
           `${page} at ${width}px scrolls sideways (${root.scrollWidth} > ${root.clientWidth})`);
  }
  // A click on a box leads to the control's entry and shows it.
  const target = form.controls.find(c => c.visible) || form.controls[0];
  const tipOf = c => c.name + (c.index === null ? '' : `(${c.index})`) + ' (';
  const link = links.find(a => a.querySelector('title').textContent.startsWith(tipOf(target)));
  link.dispatchEvent(new MouseEvent('click', {bubbles: true, cancelable: true}));
  const inView = e => e && e.getBoundingClientRect().top >= -1 &&
      e.getBoundingClientRect().top < win.innerHeight;
  await until(`${page}: a click on ${target.name} shows its entry (at ${win.location.hash})`, () =>
      win.location.hash == link.getAttribute('href') &&
      inView(doc.getElementById(link.getAttribute('href').slice(1))));
  return links.length;
}
async function check() {
  const seen = [];
  for (const [width, height] of [[1280, 800], [390, 844]]) {
    frame.width = width; frame.height = height;
    for (const layout of ['modern', 'framed'])
      for (const form of FORMS) seen.push(`${layout} ${form.page} ${width}px: ${await checkForm(layout, form, width)} boxes`);
  }
  // Dark scheme: captions readable on the faces they stand on.
  const doc = await open('modern/' + FORMS[0].page), win = frame.contentWindow;
  doc.documentElement.setAttribute('data-scheme', 'dark');
  const style = e => win.getComputedStyle(e);
  expect(luminance(style(doc.querySelector('svg.formPicture rect.client')).fill) < 0.1,
         'the dark scheme draws a light form');
  for (const [face, text] of [['rect.client', 'text.caption'], ['rect.titlebar', 'text.titleText'],
                              ['rect.button', 'text.caption'], ['rect.field', 'text.caption']]) {
    const f = doc.querySelector('svg.formPicture ' + face), t = doc.querySelector('svg.formPicture ' + text);
    if (!f || !t) continue;
    const ratio = contrast(style(t).fill, style(f).fill);
    expect(ratio >= 4.5, `dark scheme: ${text} on ${face} at ${ratio.toFixed(1)}:1`);
  }
  seen.push('dark scheme readable');
  return seen.join('; ');
}
check().then(text => { document.getElementById('outcome').textContent = 'passed: ' + text; },
             error => { document.getElementById('outcome').textContent = 'FAILED: ' + error.message; });
</script></body></html>
"""


def read_design(path):
    """The designer block of a form file as nested dicts: type, name, props, children."""
    with open(path, encoding="cp1252") as f:
        lines = f.read().splitlines()
    root, stack, groups = None, [], 0
    for line in lines:
        text = line.strip()
        if text.startswith("BeginProperty"):
            groups += 1
        elif text.startswith("EndProperty"):
            groups -= 1
        elif text.startswith("Begin ") and groups == 0:
            words = text.split()
            node = {"type": words[1], "name": words[2] if len(words) > 2 else "", "props": {},
                    "children": []}
            (stack[-1]["children"] if stack else []).append(node)
            root = root or node
            stack.append(node)
        elif text == "End" and stack:
            stack.pop()
            if not stack:
                break
        elif "=" in text and stack and groups == 0:
            key, value = text.split("=", 1)
            value = value.strip()
            value = value[1:value.rindex('"')].replace('""', '"') if value.startswith('"') \
                else value.split("'")[0].strip()
            stack[-1]["props"][key.strip()] = value
    return root


def number(props, key):
    try:
        return float(props[key])
    except (KeyError, ValueError):
        return None


def expected_boxes(node, x0, y0, units, visible, out):
    """The boxes the picture must draw for node's controls, in pixels from the client area."""
    for c in node["children"]:
        kind = c["type"].split(".")[-1]
        props = c["props"]
        left, top = number(props, "Left"), number(props, "Top")
        width, height = number(props, "Width"), number(props, "Height")
        if kind in ("Menu", "Line") or width is None or height is None or left is None:
            continue
        x, y = x0 + left * units / TWIPS, y0 + (top or 0) * units / TWIPS
        if left * units / TWIPS < -2000:
            continue  # on a hidden tab
        shown = visible and props.get("Visible", "-1") not in ("0", "False")
        caption = props.get("Caption") if kind in ("CommandButton", "Label", "CheckBox",
                                                   "OptionButton", "Frame") else None
        out.append({"name": c["name"], "index": int(props["Index"]) if "Index" in props else None,
                    "x": round(x, 1), "y": round(y, 1), "w": round(width * units / TWIPS, 1),
                    "h": round(height * units / TWIPS, 1), "visible": shown,
                    "caption": caption.replace("&&", "\0").replace("&", "").replace("\0", "&")
                    if caption and not caption.startswith("$") else None})
        inner = units
        if kind == "PictureBox":
            inner = SCALES.get(props.get("ScaleMode", "1"))
            if inner is None:
                continue
        expected_boxes(c, x, y, inner, shown, out)


def forms_of(project):
    """Page and boxes of each form of the project with controls and a plain scale."""
    folder = os.path.dirname(project)
    with open(project, encoding="cp1252") as f:
        names = re.findall(r"^Form=(.+?)\s*$", f.read(), re.MULTILINE)
    forms = []
    for name in names:
        design = read_design(os.path.join(folder, name.replace("\\", "/")))
        units = SCALES.get(design["props"].get("ScaleMode", "1")) if design else None
        if not design or units is None or number(design["props"], "ClientWidth") is None:
            continue
        if number(design["props"], "ClientWidth") / TWIPS > 1600:
            continue  # drawn smaller
        boxes = []
        expected_boxes(design, 0, 0, units, True, boxes)
        if boxes:
            forms.append({"page": "Forms/%s.html" % design["name"], "controls": boxes})
    return forms


def main():
    tarnwick, project, *registry = sys.argv[1:]  # registry: [] or ["--registry", FILE]
    chromium = shutil.which(os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    if not chromium:
        print("skipped: no Chromium (scripts/install-deps.sh --with-browser)")
        return SKIP
    forms = forms_of(project)
    if not forms:
        print("FAILED: the project has no form with controls")
        return 1
    with tempfile.TemporaryDirectory(prefix="tarnwick-forms-") as tmp:
        for layout in ("modern", "frames"):
            generated = subprocess.run(
                [tarnwick, "generate", "-q", project, "-o",
                 os.path.join(tmp, "modern" if layout == "modern" else "framed"), "--layout",
                 layout, "--language", "English"] + registry, capture_output=True, text=True)
            if generated.returncode != 0:
                print("FAILED: tarnwick generate --layout %s exited %d: %s"
                      % (layout, generated.returncode, generated.stderr))
                return 1
        with open(os.path.join(tmp, "harness.html"), "w", encoding="utf-8") as f:
            f.write(HARNESS % json.dumps(forms))
        outcome = run_harness(chromium, tmp, os.path.join(tmp, "harness.html"), 90000, 180)
    print(outcome)
    return 0 if outcome.startswith("passed") else 1


if __name__ == "__main__":
    sys.exit(main())
