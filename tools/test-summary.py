#!/usr/bin/env python3
"""Adds up the JUnit XML files of one test run into 'N passed, N failed'.

A binary that left no XML (it crashed or hung) counts as one failure."""
import pathlib
import re
import sys
import xml.etree.ElementTree as ET


def cases(xml):
    """The test cases of one file. Test names of a Windows binary may be
    code page 932 bytes in a file that says UTF-8: read what can be read."""
    text = xml.read_bytes().decode("utf-8", errors="replace")
    text = re.sub(r"^<\?xml[^>]*\?>", "", text.lstrip())
    return ET.fromstring(text).iter("testcase")


results = pathlib.Path(sys.argv[1])
passed = failed = skipped = 0
for xml in sorted(results.glob("*.xml")):
    for case in cases(xml):
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
            print(f"FAILED {xml.stem}: {case.get('classname')}.{case.get('name')}")
        elif case.find("skipped") is not None or case.get("status") == "notrun":
            skipped += 1
        else:
            passed += 1
for crash in sorted(results.glob("*.crash")):
    failed += 1
    print(f"FAILED {crash.stem}: no results (crashed or timed out)")
line = f"{passed} passed, {failed} failed"
if skipped:
    line += f", {skipped} skipped"
print(line)
sys.exit(1 if failed or passed == 0 else 0)
