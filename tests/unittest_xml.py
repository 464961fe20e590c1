"""Runs a unittest suite and writes its results as JUnit XML, as
tools/test-summary.py adds them up; one line per test as it ends."""
import pathlib
import sys
import time
import unittest
import xml.etree.ElementTree as ET


class Recorder(unittest.TextTestResult):
    """Keeps every story's outcome for the XML and prints one line per
    story as it ends: its result, its name and how long it took."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.cases = []
        self.started = 0.0

    def startTest(self, test):
        super().startTest(test)
        self.started = time.monotonic()

    def record(self, test, word, outcome):
        self.cases.append((test, outcome))
        seconds = time.monotonic() - self.started
        self.stream.write(f"{word:<5} {test.id()} ({seconds:.1f} s)\n")
        self.stream.flush()

    def addSuccess(self, test):
        super().addSuccess(test)
        self.record(test, "ok", None)

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self.record(test, "FAIL", self._exc_info_to_string(err, test))

    def addError(self, test, err):
        super().addError(test, err)
        self.record(test, "ERROR", self._exc_info_to_string(err, test))

    def addExpectedFailure(self, test, err):
        super().addExpectedFailure(test, err)
        self.record(test, "skip", "skip")  # a known fault of the program, reported

    def addUnexpectedSuccess(self, test):
        super().addUnexpectedSuccess(test)
        self.record(test, "FAIL", "passes now: the known fault is mended, drop expectedFailure")

    def addSkip(self, test, reason):
        super().addSkip(test, reason)
        self.record(test, "skip", "skip")


def run(suite, results: pathlib.Path, name: str) -> bool:
    """Runs the suite and writes results/name.xml; true when all passed."""
    runner = unittest.TextTestRunner(verbosity=0, resultclass=Recorder, stream=sys.stdout)
    result = runner.run(suite)
    root = ET.Element("testsuites")
    for test, outcome in result.cases:
        case = ET.SubElement(root, "testcase", classname=type(test).__name__, name=test.id())
        if outcome == "skip":
            ET.SubElement(case, "skipped")
        elif outcome:
            ET.SubElement(case, "failure").text = outcome
    results.mkdir(parents=True, exist_ok=True)
    ET.ElementTree(root).write(results / f"{name}.xml", encoding="utf-8")
    return result.wasSuccessful()
