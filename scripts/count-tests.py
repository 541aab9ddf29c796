#!/usr/bin/env python3
"""Counts the test cases of one verbose CTest run (ctest -V), for test.sh.

Every CTest entry of a GoogleTest program counts its cases, as the program's
own summary gives them; any other entry counts as one case. An entry that
failed although its program reported no failing case (a crash at exit, a
leak, a time-out) counts as one failure more. Prints the output of every
failed entry, each skipped case with its reason, and last the line
"counts PASSED FAILED SKIPPED".
"""
import re
import sys
from collections import defaultdict

RESULT = re.compile(r"^\s*\d+/\d+ Test\s+#(\d+): (\S+) \.+\s*(\*{0,3})(\w[\w ]*?)(?::.*?)?\s+[\d.]+ sec")
TAGGED = re.compile(r"^(\d+): (.*)$")
SUMMARY = re.compile(r"^\[\s+(PASSED|FAILED|SKIPPED)\s+\] (\d+) tests?[,.]")
SKIPPED_CASE = re.compile(r"^\[\s+SKIPPED\s+\] (\S+) \(")
SKIP_MARK = re.compile(r":\d+: Skipped$")


def main(path):
    output = defaultdict(list)
    results = {}
    with open(path, errors="replace") as log:
        for line in log:
            line = line.rstrip("\n")
            tagged = TAGGED.match(line)
            if tagged:
                output[int(tagged.group(1))].append(tagged.group(2))
                continue
            result = RESULT.match(line)
            if result:
                results[int(result.group(1))] = (result.group(2), result.group(4).strip())

    passed = failed = skipped = 0
    for number in sorted(results):
        name, status = results[number]
        lines = output[number]
        counts = {}
        for text in lines:
            summary = SUMMARY.match(text)
            if summary:
                counts[summary.group(1)] = int(summary.group(2))
        if counts:
            passed += counts.get("PASSED", 0)
            failed += counts.get("FAILED", 0)
            skipped += counts.get("SKIPPED", 0)
            entry_failed = status != "Passed" and counts.get("FAILED", 0) == 0
        else:
            if status == "Passed":
                passed += 1
            elif status in ("Skipped", "Not Run"):
                skipped += 1
            entry_failed = status not in ("Passed", "Skipped", "Not Run")
        if entry_failed:
            failed += 1
        if status != "Passed" and status != "Skipped":
            print(f"---- {name} ({status}):")
            print("\n".join(lines))
        reason = None
        for text in lines:
            if SKIP_MARK.search(text):
                reason = ""
            elif reason == "":
                reason = text.strip()
            case = SKIPPED_CASE.match(text)
            if case:
                print(f"skipped: {name} {case.group(1)}: {reason or 'no reason given'}")
                reason = None
    if not results:
        print("no test ran")
    print(f"counts {passed} {failed} {skipped}")


if __name__ == "__main__":
    main(sys.argv[1])
