#!/usr/bin/env python3
"""Runs the end-to-end stories (tests/e2e/test_*.py) and writes e2e.xml."""
import argparse
import pathlib
import sys
import unittest
import xml.etree.ElementTree as ET

here = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(here))


class Recorder(unittest.TextTestResult):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.cases = []

    def addSuccess(self, test):
        super().addSuccess(test)
        self.cases.append((test, None))

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self.cases.append((test, self._exc_info_to_string(err, test)))

    def addError(self, test, err):
        super().addError(test, err)
        self.cases.append((test, self._exc_info_to_string(err, test)))

    def addExpectedFailure(self, test, err):
        super().addExpectedFailure(test, err)
        self.cases.append((test, "skip"))  # a known fault of the program, reported

    def addUnexpectedSuccess(self, test):
        super().addUnexpectedSuccess(test)
        self.cases.append((test, "passes now: the known fault is mended, drop expectedFailure"))

    def addSkip(self, test, reason):
        super().addSkip(test, reason)
        self.cases.append((test, "skip"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--results", required=True)
    parser.add_argument("pattern", nargs="?", default="test_*.py")
    args = parser.parse_args()
    import harness
    harness.configure(pathlib.Path(args.build), pathlib.Path(args.results))
    suite = unittest.defaultTestLoader.discover(str(here), pattern=args.pattern)
    runner = unittest.TextTestRunner(verbosity=2, resultclass=Recorder, stream=sys.stdout)
    result = runner.run(suite)
    root = ET.Element("testsuites")
    for test, outcome in result.cases:
        case = ET.SubElement(root, "testcase", classname=type(test).__name__, name=test.id())
        if outcome == "skip":
            ET.SubElement(case, "skipped")
        elif outcome:
            ET.SubElement(case, "failure").text = outcome
    pathlib.Path(args.results).mkdir(parents=True, exist_ok=True)
    ET.ElementTree(root).write(pathlib.Path(args.results) / "e2e.xml", encoding="utf-8")
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
