#!/usr/bin/env python3
"""Fails when a library includes a header of a library above it. The folders of src/, lowest first;
each may include its own headers and those of the folders before it."""
import os, re, sys

ORDER = ["weighing", "core", "platform", "browser", "devtools", "autofill", "app", "ui", "options"]
root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
owner = {}
for folder in ORDER:
    for name in os.listdir(os.path.join(root, folder)):
        owner[name] = folder
bad = []
for level, folder in enumerate(ORDER):
    for name in sorted(os.listdir(os.path.join(root, folder))):
        if not name.endswith((".h", ".cpp")):
            continue
        with open(os.path.join(root, folder, name), encoding="utf-8") as source:
            for number, line in enumerate(source, 1):
                m = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
                if m and m.group(1) in owner and ORDER.index(owner[m.group(1)]) > level:
                    bad.append(f"src/{folder}/{name}:{number}: includes {m.group(1)} of src/{owner[m.group(1)]}")
print("\n".join(bad) if bad else "layers: every include goes downward")
sys.exit(1 if bad else 0)
