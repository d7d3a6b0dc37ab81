"""Tests of the layer check: small source trees and link lists with one fault each are refused
with a message naming the file or target, and what goes downwards, stays in a layer or lives in
tools and tests passes. QP_SOURCE_DIR names the source tree."""

import contextlib
import io
import os
import sys
import tempfile
import unittest

SOURCE_DIR = os.environ.get("QP_SOURCE_DIR",
                            os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools"))

import check_layers  # noqa: E402


class LayerCheck(unittest.TestCase):
    def setUp(self):
        self.tree = tempfile.TemporaryDirectory()
        self.root = self.tree.name
        self.links = os.path.join(self.root, "links.txt")
        self.write("links.txt", "")

    def tearDown(self):
        self.tree.cleanup()

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as out:
            out.write(text)

    def run_check(self):
        output = io.StringIO()
        with contextlib.redirect_stdout(output):
            status = check_layers.main(["check_layers.py", self.root, self.links])
        return status, output.getvalue().splitlines()

    def test_downward_and_own_layer_includes_pass(self):
        self.write("raster/sets.cpp", '#include "raster/sets.h"\n#include "draw/raster_procs.h"\n'
                                      '#include <windows.h>\n#include "foundation/fixed.h"\n')
        self.write("tools/bench.cpp", '#include "player/program.h"\n')
        self.write("tests/raster/sets_test.cpp", '#include "render/frame.h"\n')
        status, lines = self.run_check()
        self.assertEqual(status, 0)
        self.assertEqual(lines[-1], "layers one way: foundation < model < draw < textures < raster < "
                                    "render < toolkit < player (0 targets)")

    def test_an_upward_include_is_refused_by_file_and_line(self):
        self.write("draw/offscreen.cpp", '// the offscreen\n#include "draw/offscreen.h"\n'
                                         '  #  include "raster/raster_sets.h"\n')
        self.write("model/sub/part.h", '#include <textures/record.h>\n')
        status, lines = self.run_check()
        self.assertEqual(status, 1)
        self.assertEqual(lines[:2], [
            "model/sub/part.h:1: model includes textures/record.h of the higher textures",
            "draw/offscreen.cpp:3: draw includes raster/raster_sets.h of the higher raster",
        ])
        self.assertEqual(lines[2], "2 layer fault(s); the order, lowest first: foundation < model < draw < "
                                   "textures < raster < render < toolkit < player")

    def test_model_sits_below_draw_and_no_layer_uses_the_tools(self):
        self.write("model/surface.cpp", '#include "draw/color_cube.h"\n')
        self.write("render/frame.cpp", '#include "tools/sample_scenes.h"\n')
        status, lines = self.run_check()
        self.assertEqual(status, 1)
        self.assertEqual(lines[:2], [
            "model/surface.cpp:1: model includes draw/color_cube.h of the higher draw",
            "render/frame.cpp:1: render includes tools/sample_scenes.h of the higher tools",
        ])

    def test_an_upward_link_is_refused_by_target(self):
        self.write("links.txt",
                   "foundation\tfoundation\tcomdlg32\n"
                   "model\tmodel\tfoundation\n"
                   "draw\tdraw\tmodel;foundation;gdi32;::@(0x55d0);raster;::@\n"
                   "raster\traster\ttextures;draw;$<LINK_ONLY:foundation>\n"
                   "textures\ttextures\tdraw;$<LINK_ONLY:render>\n"
                   "render\trender\traster\n"
                   "player_core\tplayer\tmodel;draw\n"
                   "sample_scenes\ttools\tmodel;player_core\n")
        status, lines = self.run_check()
        self.assertEqual(status, 1)
        self.assertEqual(lines[:2], [
            "target draw of draw links raster of the higher raster",
            "target textures of textures links render of the higher render",
        ])

    def test_layers_linking_downwards_and_tools_linking_anything_pass(self):
        self.write("links.txt",
                   "model\tmodel\tfoundation\n"
                   "foundation\tfoundation\t\n"
                   "toolkit_layout\ttoolkit\tdraw\n"
                   "draw\tdraw\tmodel;foundation\n"
                   "render-frame\ttools\tplayer;render\n"
                   "player\tplayer\ttoolkit_layout;GTest::gtest\n")
        status, lines = self.run_check()
        self.assertEqual(status, 0)
        self.assertIn("(6 targets)", lines[-1])

    def test_the_tree_itself_goes_one_way(self):
        self.assertEqual(check_layers.include_faults(SOURCE_DIR), [])


if __name__ == "__main__":
    unittest.main()
