"""Tests of the suite's model check (tools/check_models.cmake): what it says of files that read or
are refused against what their names and the list of honest files refused today expect. A stand-in
for qmdl-info reports result 0 for files whose names hold "reads" and 1 for the others.
QP_CMAKE names the cmake program; QP_SOURCE_DIR the source tree."""

import os
import subprocess
import sys
import tempfile
import unittest

SOURCE_DIR = os.environ.get("QP_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
CMAKE = os.environ.get("QP_CMAKE", "cmake")
CHECK = os.path.join(SOURCE_DIR, "tools", "check_models.cmake")

STAND_IN = """import sys
result = 0 if "reads" in sys.argv[1] else 1
print("result: %d\\nfaces: 6\\nturns: 10\\nturn-limit: 4096\\nwalk-path: 0" % result)
sys.exit(result)
"""


class CheckModels(unittest.TestCase):
    def check(self, names, refused):
        """The check's exit status and what it said, over empty files of the names."""
        with tempfile.TemporaryDirectory() as folder:
            tool = os.path.join(folder, "info.py")
            with open(tool, "w") as out:
                out.write(STAND_IN)
            for name in names:
                open(os.path.join(folder, name), "w").close()
            run = subprocess.run([CMAKE, "-DRUNNER=" + sys.executable, "-DTOOL=" + tool, "-DDIR=" + folder,
                                  "-DREFUSED=" + refused, "-P", CHECK], capture_output=True, text=True)
            return run.returncode, " ".join((run.stdout + run.stderr).split())

    def test_refused_files_listed_must_be_refused(self):
        names = ["load-reads.qpy", "fail-refused.qpy", "honest-refused.qpy", "honest-reads.qpy"]
        status, said = self.check(names, r"honest-refused\.qpy")
        self.assertEqual(status, 0, said)
        self.assertIn("-- honest-refused.qpy: result 1", said)

    def test_a_listed_file_that_reads_is_named(self):
        names = ["honest-refused.qpy", "honest-reads.qpy"]
        status, said = self.check(names, r"honest-refused\.qpy|honest-reads\.qpy")
        self.assertNotEqual(status, 0)
        self.assertIn("honest-reads.qpy: reads now: take it off the list of honest files refused today", said)
        self.assertIn("1 of 2 files failed", said)

    def test_a_refusal_not_listed_fails(self):
        # Without the list, and with a list naming another file: whole names only.
        for refused in ("", r"honest-refused\.qp", r"other\.qpy"):
            status, said = self.check(["honest-refused.qpy"], refused)
            self.assertNotEqual(status, 0, refused)
            self.assertIn("honest-refused.qpy: expected to load, got result 1 (status 1)", said)


if __name__ == "__main__":
    unittest.main()
