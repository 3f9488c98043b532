#!/usr/bin/env python3
"""The pipelines of docs/ci call the program as it is: every `tarnwick`
command line in them names a command and options the program has, and
each pipeline checks with the report format its CI system shows and
publishes the modern site. No CI runs here, so this is what keeps the
files from going stale when an option is renamed.

usage: ci_pipelines.py TARNWICK DOCS_CI_FOLDER"""
import os
import re
import shlex
import subprocess
import sys

EXPECTED = {
    "github-docs.yml": ["--format sarif", "--fail-on-undocumented", "--layout modern"],
    "gitlab-ci.yml": ["--format junit", "--fail-on-undocumented", "--layout modern"],
}


def command_lines(text):
    for line in text.splitlines():
        at = line.find("tarnwick ")
        if at < 0 or "tarnwick_" in line or "/tmp/tarnwick" in line:
            continue
        words = shlex.split(line[at:].replace("run: ", ""))
        if len(words) > 1 and words[0] == "tarnwick":
            yield words


def main():
    tarnwick, folder = sys.argv[1:3]
    helps = {}
    for name, wanted in EXPECTED.items():
        text = open(os.path.join(folder, name), encoding="utf-8").read()
        lines = list(command_lines(text))
        assert {w[1] for w in lines} >= {"check", "generate"}, (name, lines)
        for words in lines:
            command = words[1]
            if command not in helps:
                helps[command] = subprocess.run([tarnwick, command, "--help"], capture_output=True,
                                                text=True, check=True).stdout
            for option in (w for w in words[2:] if w.startswith("-")):
                assert re.search(r"(^|[ ,])" + re.escape(option) + r"\b", helps[command], re.M), \
                    f"{name}: tarnwick {command} has no option {option}"
        for phrase in wanted:
            assert any(phrase in " ".join(w) for w in lines), f"{name}: no {phrase}"
    print("ci pipelines: ok")


if __name__ == "__main__":
    main()
