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
# An entry point whose code jumps to the part that returns.
ZIP32_TAIL_JUMP = """#include <stdint.h>
void __stdcall ZpVersion(void* record) { (void)record; }
__asm__(".text\\n.globl _ZpArchive@12\\n_ZpArchive@12:\\n\\tjmp archive_body\\n\\tnop\\n"
        "archive_body:\\n\\tret $12\\n");
"""
PROGRAM = "int main(void) { return 0; }\n"
SOUND = "-Wl,--large-address-aware"
MANIFEST = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3"><security><requestedPrivileges>
    <requestedExecutionLevel level="asInvoker" uiAccess="false"/>
  </requestedPrivileges></security></trustInfo>
  <compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1"><application>
    <supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>
  </application></compatibility>
  <application xmlns="urn:schemas-microsoft-com:asm.v3"><windowsSettings>
    <dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>
  </windowsSettings></application>
</assembly>
"""


class CheckDist(unittest.TestCase):
    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="check-dist-"))

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def build(self, name, source, flags=(SOUND, "-Wl,--kill-at"), compiler="i686-w64-mingw32-gcc"):
        source_file = self.folder / (name + ".c")
        source_file.write_text(source)
        kind = ["-shared"] if name.endswith(".dll") else []
        subprocess.run([compiler, "-O2", "-g", *kind, str(source_file), "-o", str(self.folder / name), *flags],
                       check=True)

    def build_program(self, manifest=MANIFEST):
        """selvat.exe with the manifest in its resources (none: no manifest)."""
        if manifest is None:
            return self.build("selvat.exe", PROGRAM, flags=(SOUND,))
        (self.folder / "program.manifest").write_text(manifest)
        (self.folder / "program.rc").write_text('1 24 "program.manifest"\n')
        subprocess.run(["i686-w64-mingw32-windres", "program.rc", "-O", "coff", "-o", "program.res.o"],
                       cwd=self.folder, check=True)
        self.build("selvat.exe", PROGRAM, flags=(SOUND, str(self.folder / "program.res.o")))

    def build_sound(self):
        self.build("zip32j.dll", ZIP32J)
        self.build("zip32.dll", ZIP32)
        self.build_program()

    def strip(self, name):
        """Ships a file as tools/build does: stripped, its symbols in NAME.debug beside it."""
        path, symbols = self.folder / name, self.folder / (name + ".debug")
        subprocess.run(["i686-w64-mingw32-objcopy", "--only-keep-debug", str(path), str(symbols)], check=True)
        subprocess.run(["i686-w64-mingw32-objcopy", "--strip-all", f"--add-gnu-debuglink={symbols}", str(path)],
                       check=True)
        return symbols

    def problems(self, name, symbols=None):
        return check_dist.check(self.folder / name, check_dist.EXPORTS[name], symbols,
                                name in check_dist.MANIFESTS)

    def test_sound_files_pass(self):
        self.build_sound()
        for name in check_dist.EXPORTS:
            self.assertEqual(self.problems(name), [], name)

    def test_stripped_files_are_read_through_their_own_symbols(self):
        self.build_sound()
        for name in check_dist.EXPORTS:
            symbols = self.strip(name)
            self.assertEqual(self.problems(name, symbols), [], name)
        self.assertIn("no symbol starts at its code", " ".join(self.problems("zip32.dll")))
        symbols = self.folder / "zip32.dll.debug"
        symbols.write_bytes(symbols.read_bytes() + b"another build")
        self.assertEqual(self.problems("zip32.dll", symbols),
                         [f"{symbols} is not the debug file of this build (its CRC differs from the debug link's)"])

    def test_a_jump_is_followed_to_the_return(self):
        self.build_sound()
        self.build("zip32.dll", ZIP32_TAIL_JUMP)
        self.assertEqual(self.problems("zip32.dll"), [])
        self.build("zip32.dll", ZIP32_TAIL_JUMP.replace("ret $12", "ret"))
        self.assertEqual(self.problems("zip32.dll"),
                         ["ZpArchive must return with ret 12 (WINAPI, its arguments), has ret 0"])

    def test_each_manifest_fault_is_named(self):
        cases = [
            ("no manifest", None, "has no manifest"),
            ("administrator's rights", MANIFEST.replace("asInvoker", "requireAdministrator"),
             "asks ['requireAdministrator']"),
            ("not well-formed", MANIFEST.replace("</assembly>", ""), "Windows would not start it"),
            ("Windows 10 not named", MANIFEST.replace("8e0f7a12", "1f676c76"), "Windows 10 and 11"),
            ("not aware of the pixel density", MANIFEST.replace(">true<", ">false<"), "pixel density"),
        ]
        for what, manifest, problem in cases:
            with self.subTest(what):
                self.build_program(manifest)
                found = self.problems("selvat.exe")
                self.assertTrue(len(found) == 1 and problem in found[0], f"{what}: {found}")

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
