"""The file-opening check on a small tree: clean as made, failing with the
file and line once an opening call is planted in a component, and indifferent
to such calls in platform/os, in tests, in comments and in strings."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

CHECK = sys.argv.pop(1)

CLEAN = {
    "platform/CMakeLists.txt": "xtb_add_component(platform)\n",
    "platform/os/file.cpp": '#include <fcntl.h>\nint Open(const char* p) { return open(p, O_RDONLY); }\n',
    "low/CMakeLists.txt": "xtb_add_component(low DEPENDS xtb_platform)\n",
    "low/low.cpp": ('// Never fopen("x") here: the services open files.\n'
                    'const char* kText = "std::ofstream out(path); open(path, 0)";\n'
                    'bool IsOpen(int fd) { return fd >= 0; }\n'
                    'bool Reopen(Stream& file) { return file.open() && file->open(); }\n'),
    "include/xtbasis/low.h": "#pragma once\nbool IsOpen(int fd);\n",
    "tests/low/low_test.cpp": '#include <fstream>\nvoid Write() { std::ofstream("x") << 1; }\n',
}


class FileOpens(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="file-opens-")
        for name, text in CLEAN.items():
            self.write(name, text)

    def tearDown(self):
        shutil.rmtree(self.root)

    def write(self, name, text):
        path = os.path.join(self.root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)

    def run_check(self):
        run = subprocess.run([sys.executable, CHECK, self.root], capture_output=True, text=True)
        return run.returncode, run.stderr

    def test_the_clean_tree_passes(self):
        self.assertEqual(self.run_check(), (0, ""))

    def test_each_planted_call_is_named_with_its_line(self):
        for call in ('fopen(path, "w")', 'std::fopen(path, "w")', "::open(path, O_WRONLY | O_CREAT, 0666)", "creat(path, 0666)",
                     "std::ofstream out(path)", "freopen(path, \"a\", stderr)", "openat(AT_FDCWD, path, 0)"):
            with self.subTest(call=call):
                self.write("low/writer.cpp", "#include <cstdio>\n\nvoid Save(const char* path) {\n  " + call + ";\n}\n")
                code, errors = self.run_check()
                self.assertEqual(code, 1)
                self.assertIn("low/writer.cpp:4:", errors)

    def test_public_headers_are_checked_too(self):
        self.write("include/xtbasis/inline.h", "#pragma once\n#include <fstream>\ninline std::fstream f;\n")
        code, errors = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("include/xtbasis/inline.h:3:", errors)


if __name__ == "__main__":
    unittest.main()
