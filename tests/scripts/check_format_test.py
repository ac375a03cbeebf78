#!/usr/bin/env python3
"""The format check run over a small made-up tree: it must name a line out of format, and only then fail."""
import os
import shutil
import subprocess
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
CHECK = os.path.join(ROOT, "scripts", "check-format")


class CheckFormatTest(unittest.TestCase):
    def run_check(self, text):
        with tempfile.TemporaryDirectory() as root:
            shutil.copy(os.path.join(ROOT, ".clang-format"), root)
            os.makedirs(os.path.join(root, "src", "common"))
            with open(os.path.join(root, "src", "common", "Sum.cpp"), "w") as f:
                f.write(text)
            done = subprocess.run([CHECK, root], capture_output=True, text=True)
            return done.returncode, done.stdout + done.stderr

    def test_a_file_in_the_house_format_passes(self):
        code, out = self.run_check("int Sum(int a, int b) { return a + b; }\n")
        self.assertEqual(code, 0, out)

    def test_a_badly_laid_out_line_fails_and_is_named(self):
        code, out = self.run_check("int Sum(int a,int b){\n    return a+b;}\n")
        self.assertEqual(code, 1)
        self.assertIn("src/common/Sum.cpp:1:", out)


if __name__ == "__main__":
    unittest.main()
