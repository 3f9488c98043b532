"""Runs a harness page in headless Chromium and gives what it wrote into its
<pre id="outcome">: the harness holds the site in a frame, runs its checks
(--allow-file-access-from-files) and Chromium prints the page (--dump-dom)."""
import html
import os
import re
import subprocess


def run_harness(chromium, folder, page, budget_ms=60000, timeout=120):
    done = subprocess.run(
        [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-dev-shm-usage", "--user-data-dir=" + os.path.join(folder, "profile"),
         "--allow-file-access-from-files", "--virtual-time-budget=%d" % budget_ms, "--dump-dom",
         "file://" + page],
        capture_output=True, text=True, timeout=timeout)
    outcome = re.search(r'<pre id="outcome">(.*?)</pre>', done.stdout, re.DOTALL)
    outcome = html.unescape(outcome.group(1)).strip() if outcome else ""
    return outcome or "FAILED: the harness page gave no outcome: %s" % done.stderr[-500:]
