#!/usr/bin/env python3
"""tools/check-dist against small stand-ins for the shipped files, built
here with the cross compilers: sound ones pass, and each fault a shipped
file can have is named.
    tests/tools/check_dist_test.py RESULTS-FOLDER"""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest
from importlib.machinery import SourceFileLoader

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests"))
import unittest_xml  # noqa: E402

check_dist = SourceFileLoader("check_dist", str(ROOT / "tools" / "check-dist")).load_module()

ZIP32J = """#include <stdint.h>
int32_t __stdcall Zip(void* w, const char* line, char* out, uint32_t size) { return w || line || out || size; }
uint16_t __stdcall ZipGetVersion(void) { return 100; }
int32_t __stdcall ZipGetRunning(void) { return 0; }
"""
ZIP32 = """#include <stdint.h>
void __stdcall ZpVersion(void* record) { (void)record; }
int32_t __stdcall ZpArchive(const void* request, char* out, uint32_t size) { return request || out || size; }
"""
PROGRAM = "int main(void) { return 0; }\n"
SOUND = "-Wl,--large-address-aware"


class CheckDist(unittest.TestCase):
    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="check-dist-"))

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def build(self, name, source, flags=(SOUND, "-Wl,--kill-at"), compiler="i686-w64-mingw32-gcc"):
        source_file = self.folder / (name + ".c")
        source_file.write_text(source)
        kind = ["-shared"] if name.endswith(".dll") else []
        subprocess.run([compiler, "-O2", *kind, str(source_file), "-o", str(self.folder / name), *flags],
                       check=True)

    def build_sound(self):
        self.build("zip32j.dll", ZIP32J)
        self.build("zip32.dll", ZIP32)
        self.build("selvat.exe", PROGRAM, flags=(SOUND,))

    def problems(self, name):
        return check_dist.check(self.folder / name, check_dist.EXPORTS[name])

    def test_sound_files_pass(self):
        self.build_sound()
        for name in check_dist.EXPORTS:
            self.assertEqual(self.problems(name), [], name)

    def test_each_fault_is_named(self):
        cases = [
            ("decorated names", "zip32j.dll", ZIP32J, (SOUND,), "exports 'Zip@16'"),
            ("cdecl entry point", "zip32j.dll", ZIP32J.replace("__stdcall Zip(", "Zip("), None,
             "Zip must return with ret 16 (WINAPI, its arguments), has ret 0"),
            ("an argument too many", "zip32.dll",
             ZIP32.replace("void* record)", "void* record, int more)").replace("(void)record;", "(void)more;"),
             None, "ZpVersion must return with ret 4 (WINAPI, its arguments), has ret 8"),
            ("entry point missing", "zip32.dll", ZIP32.split("int32_t")[0], None, "does not export ZpArchive"),
            ("not large-address aware", "selvat.exe", PROGRAM, (), "not large-address aware"),
            ("imports a run-time DLL", "selvat.exe", "#include <stdio.h>\nint main(void) { return 0; }\n",
             (SOUND, "-lstdc++", "-shared-libgcc", "-Wl,--no-as-needed", "-lgcc_s"),
             "which is not a system DLL"),
        ]
        for what, name, source, flags, problem in cases:
            with self.subTest(what):
                self.build_sound()
                self.build(name, source, *(() if flags is None else (flags,)))
                found = self.problems(name)
                self.assertTrue(any(problem in p for p in found), f"{what}: {found}")

    def test_a_64_bit_library_is_refused(self):
        self.build("zip32.dll", ZIP32, flags=(), compiler="x86_64-w64-mingw32-gcc")
        self.assertEqual(self.problems("zip32.dll"),
                         ["not a 32-bit i386 image (machine 0x8664, optional header 0x20b)"])


if __name__ == "__main__":
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(CheckDist)
    sys.exit(0 if unittest_xml.run(suite, pathlib.Path(sys.argv[1]), "tools_check_dist") else 1)
