"""Drives the real selvat.exe under Wine and Xvfb."""
import pathlib

BUILD = None
RESULTS = None


def configure(build: pathlib.Path, results: pathlib.Path):
    global BUILD, RESULTS
    BUILD, RESULTS = build, results
