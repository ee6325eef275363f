#!/usr/bin/env python3
"""Reads ctest -V logs and prints, for each test, its result; the output of failed tests; the GoogleTest summary
lines of every GoogleTest executable; and a closing 'N passed, N failed' line. Exit status 1 when anything failed."""
import re
import sys

passed = failed = 0
summaries = []
for path in sys.argv[1:]:
    lines = open(path, encoding="utf-8", errors="replace").read().splitlines()
    names = {}
    output = {}
    for line in lines:
        m = re.match(r"\s*Start\s+(\d+): (\S+)", line)
        if m:
            names[m.group(1)] = m.group(2)
            continue
        m = re.match(r"(\d+): (.*)", line)
        if m:
            output.setdefault(m.group(1), []).append(m.group(2).rstrip("\r"))
    results = []
    for line in lines:
        m = re.match(r"\s*\d+/\d+ Test\s+#(\d+): (\S+) \.+\s*(\*{0,3}\S.*?)\s+[\d.]+ sec", line)
        if m:
            results.append((m.group(1), m.group(2), m.group(3)))
    for number, name, result in results:
        ok = result.startswith("Passed")
        passed += ok
        failed += not ok
        print(f"{'ok  ' if ok else 'FAIL'} {name} ({path})")
        if not ok:
            print("\n".join("    " + l for l in output.get(number, [])[-80:]))
        ran = [l for l in output.get(number, []) if l.startswith("[==========]") and " ran." in l]
        verdict = [l for l in output.get(number, []) if l.startswith(("[  PASSED  ]", "[  FAILED  ]"))]
        if ran:
            summaries.append((name, ran[-1], verdict))
print()
for name, ran, verdict in summaries:
    print(f"{name}: {ran}")
    for line in verdict:
        print(f"{name}: {line}")
print(f"ctest: {passed} passed, {failed} failed")
sys.exit(1 if failed or not passed else 0)
