#!/usr/bin/env python3
"""The layering check run over small made-up source trees: it must fail where the floors are broken."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "check-layering")


def run_check(files):
    """Writes {path: [included paths]} under a fresh src/ and returns (exit code, output)."""
    with tempfile.TemporaryDirectory() as src:
        for path, includes in files.items():
            os.makedirs(os.path.join(src, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(src, path), "w") as f:
                for inc in includes:
                    f.write(f"#include <{inc[1:]}>\n" if inc.startswith("<") else f'#include "{inc}"\n')
        done = subprocess.run([sys.executable, CHECK, src], capture_output=True, text=True)
        return done.returncode, done.stdout


class CheckLayeringTest(unittest.TestCase):
    def test_downward_includes_and_the_allowed_circles_pass(self):
        code, out = run_check({
            "platform/base/A.h": [],
            "common/B.h": ["platform/base/A.h", "<vector"],
            "graphics/G.h": ["fonts/F.h", "raster/R.h", "common/B.h"],
            "fonts/F.h": ["graphics/G.h", "resources/Res.h"],
            "raster/R.h": ["graphics/G.h"],
            "resources/Res.h": ["fonts/F.h"],
            "screens/S.h": ["cafe/C.h"],
            "cafe/C.h": ["screens/S.h"],
            "platform/sdl/W.cpp": ["<SDL.h"],
        })
        self.assertEqual(code, 0, out)

    def test_an_upward_include_a_library_breach_and_a_platform_header_fail(self):
        code, out = run_check({
            "engine/E.h": ["screens/S.h"],
            "screens/S.h": [],
            "common/B.h": ["cafe/C.h"],
            "cafe/C.h": [],
            "graphics/G.cpp": ["<pugixml.hpp"],
        })
        self.assertEqual(code, 1)
        self.assertIn("engine/E.h:1: #include screens/S.h: engine sits below screens", out)
        self.assertIn("the velk library reaches up into game", out)
        self.assertIn("graphics/G.cpp:1: #include pugixml.hpp: only src/platform", out)

    def test_a_back_end_is_named_only_by_the_list_and_by_the_back_ends(self):
        code, out = run_check({
            "platform/backend/Backend.h": [],
            "platform/backend/BackendList.cpp": ["platform/sdl/SdlBackend.h", "platform/headless/HeadlessBackend.h"],
            "platform/sdl/SdlBackend.h": ["platform/backend/Backend.h", "platform/headless/HeadlessPresenter.h"],
            "platform/headless/HeadlessBackend.h": ["platform/backend/Backend.h"],
            "platform/headless/HeadlessPresenter.h": [],
        })
        self.assertEqual(code, 0, out)
        code, out = run_check({
            "platform/backend/Backend.cpp": ["platform/sdl/SdlBackend.h"],
            "platform/audio/AudioOutput.cpp": ["platform/headless/NullAudioSink.h"],
            "platform/sdl/SdlBackend.h": [],
            "platform/headless/NullAudioSink.h": [],
        })
        self.assertEqual(code, 1)
        self.assertIn("platform/backend/Backend.cpp:1: #include platform/sdl/SdlBackend.h: a back end is reached", out)
        self.assertIn("platform/audio/AudioOutput.cpp:1: #include platform/headless/NullAudioSink.h", out)

    def test_a_circle_within_one_floor_fails(self):
        code, out = run_check({"scene/A.h": ["ui/B.h"], "ui/B.h": ["scene/A.h"]})
        self.assertEqual(code, 1)
        self.assertIn("include circle: scene <-> ui", out)

    def test_an_include_of_a_missing_file_or_an_unknown_folder_fails(self):
        code, out = run_check({"common/B.h": ["common/Gone.h"], "tools/T.h": ["common/B.h"]})
        self.assertEqual(code, 1)
        self.assertIn("common/Gone.h: not a path from src/", out)
        self.assertIn("has no floor", out)


if __name__ == "__main__":
    unittest.main()
