#!/usr/bin/env python3
"""Runs the end-to-end stories (tests/e2e/test_*.py, or those the patterns
name) and writes their results to e2e.xml (or NAME.xml)."""
import argparse
import pathlib
import sys
import unittest

here = pathlib.Path(__file__).resolve().parent
sys.path[:0] = [str(here), str(here.parent)]
import unittest_xml  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--results", required=True)
    parser.add_argument("--program", help="the folder of selvat.exe and its libraries (default: the build's)")
    parser.add_argument("--name", default="e2e", help="the name of the results file")
    parser.add_argument("patterns", nargs="*", default=["test_*.py"])
    args = parser.parse_args()
    import harness
    harness.configure(pathlib.Path(args.build), pathlib.Path(args.results),
                      pathlib.Path(args.program) if args.program else None)
    suite = unittest.TestSuite(unittest.defaultTestLoader.discover(str(here), pattern=pattern)
                               for pattern in args.patterns)
    return 0 if unittest_xml.run(suite, pathlib.Path(args.results), args.name) else 1


if __name__ == "__main__":
    sys.exit(main())
