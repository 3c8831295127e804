#!/usr/bin/env python3
"""Runs `rfc` over the generated corpus and compares what it writes with the
outputs recorded in outputs.txt: exit status, standard error and standard
output, byte for byte (standard output as its length and SHA-256, and, for
the cases that ask, its text too when it is short).

    compare.py RFC            compares; exits 1 and shows each difference
    compare.py RFC --record   writes outputs.txt anew from RFC

A change in what `rfc` writes is meant only where outputs.txt changes with it
in the same commit.
"""
import difflib
import hashlib
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TREE = os.path.dirname(os.path.dirname(HERE))
RECORDED = os.path.join(HERE, "outputs.txt")
sys.path.insert(0, HERE)
import corpus  # noqa: E402

# Standard output shorter than this is recorded as text as well as by digest.
SHOWN_BYTES = 4096


def shown(data):
    """Bytes as readable lines: UTF-8 where it is, escapes elsewhere."""
    text = data.decode("utf-8", "backslashreplace")
    return text.replace("\r", "\\r").replace("\t", "\\t").replace("\0", "\\0").split("\n")


def rendered(name, status, out, err, show):
    lines = ["### " + name.replace("\n", "\\n"), "status %d" % status]
    lines.append("out %d sha256:%s" % (len(out), hashlib.sha256(out).hexdigest()))
    if show and len(out) < SHOWN_BYTES:
        lines += ["out| " + line for line in shown(out)]
    lines += ["err| " + line for line in shown(err)]
    return "\n".join(lines) + "\n"


def run_all(rfc, directory):
    blocks = []
    for name, args, stdin_file, show in corpus.write_corpus(directory, HERE, TREE):
        stdin = open(os.path.join(directory, stdin_file), "rb") if stdin_file else subprocess.DEVNULL
        try:
            run = subprocess.run([rfc] + args, cwd=directory, stdin=stdin, capture_output=True,
                                 timeout=60)
        finally:
            if stdin_file:
                stdin.close()
        blocks.append((name, rendered(name, run.returncode, run.stdout, run.stderr, show)))
    return blocks


def split_recorded(text):
    blocks = {}
    order = []
    current = None
    for line in text.splitlines(keepends=True):
        if line.startswith("### "):
            current = line[4:].rstrip("\n")
            order.append(current)
            blocks[current] = ""
        blocks[current] += line
    return order, blocks


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    rfc = os.path.abspath(sys.argv[1])
    record = sys.argv[2:] == ["--record"]
    with tempfile.TemporaryDirectory() as directory:
        blocks = run_all(rfc, directory)
    if record:
        with open(RECORDED, "w", encoding="utf-8", newline="\n") as f:
            f.writelines(block for _, block in blocks)
        print("recorded %d cases in %s" % (len(blocks), RECORDED))
        return 0

    with open(RECORDED, encoding="utf-8", newline="\n") as f:
        order, recorded = split_recorded(f.read())
    differing = 0
    for name, block in blocks:
        key = name.replace("\n", "\\n")
        expected = recorded.pop(key, None)
        if expected == block:
            continue
        differing += 1
        if differing <= 20:
            sys.stdout.writelines(difflib.unified_diff(
                (expected or "").splitlines(keepends=True), block.splitlines(keepends=True),
                "recorded", "now", n=2))
    for name in recorded:
        differing += 1
        print("recorded case no longer run: " + name)
    print("%d passed, %d failed" % (len(blocks) - differing, differing))
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
