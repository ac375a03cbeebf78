#!/usr/bin/env python3
"""The fuzz campaign over a made-up build given by its absolute path, whose one target stands in for
a fuzzer: that target runs; a target that is not built fails the campaign."""
import os
import subprocess
import tempfile
import unittest

CAMPAIGN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "fuzz", "run-campaign")

# Says what libFuzzer says at the end of a run that went its time.
FUZZER = '#!/bin/sh\necho "#42\tDONE   cov: 7 ft: 9 corp: 1/1b exec/s: 42 rss: 30Mb"\n'


class RunCampaignTest(unittest.TestCase):
    def campaign(self, *targets):
        with tempfile.TemporaryDirectory() as root:
            build = os.path.join(root, "build")
            os.makedirs(os.path.join(build, "fuzz"))
            fuzzer = os.path.join(build, "fuzz", "FakeFuzz")
            with open(fuzzer, "w") as f:
                f.write(FUZZER)
            os.chmod(fuzzer, 0o755)
            done = subprocess.run([CAMPAIGN, build, os.path.join(root, "work"), "1", *targets],
                                  capture_output=True, text=True, cwd=tempfile.gettempdir())
            return done.returncode, done.stdout + done.stderr

    def test_the_target_of_an_absolute_build_folder_runs(self):
        code, out = self.campaign("FakeFuzz")
        self.assertEqual(code, 0, out)
        self.assertIn("FakeFuzz: #42\tDONE", out)

    def test_a_target_not_built_fails_the_campaign(self):
        code, out = self.campaign("FakeFuzz", "NoSuchFuzz")
        self.assertEqual(code, 1, out)
        self.assertIn("NoSuchFuzz: not built", out)


if __name__ == "__main__":
    unittest.main()
