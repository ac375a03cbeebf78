#!/usr/bin/env python3
"""scripts/install-deps over stand-in commands, with lame and openbox missing: a user without root and
without sudo is told what to run as root; an install meeting another one's lock waits for it, then
installs only what that one left missing."""
import os
import shutil
import subprocess
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "install-deps")

# lame comes in with the other install, once that has held the lock twice.
DPKG_QUERY = """#!/bin/sh
case "$3" in openbox) exit 1 ;; lame) [ -e "${0%/*}/apt-get.2" ] || exit 1 ;; esac
printf "install ok installed"
"""
# Fails twice on the lists' lock, as while another install runs, then succeeds.
APT_GET = """#!/bin/sh
echo "$*" >>"$0.calls"
for try in 1 2; do
  [ -e "$0.$try" ] || { : >"$0.$try"; echo "E: Could not get lock /var/lib/apt/lists/lock." >&2; exit 100; }
done
"""


class InstallDepsTest(unittest.TestCase):
    def install_deps(self, uid):
        """Runs the script with only the stand-ins and a few real tools on the PATH (no sudo)."""
        root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, root)
        bin_dir, self.tmp = os.path.join(root, "bin"), os.path.join(root, "tmp")
        os.makedirs(bin_dir)
        os.makedirs(self.tmp)
        for tool in ("bash", "env", "grep", "mktemp", "rm", "tail"):
            os.symlink(shutil.which(tool), os.path.join(bin_dir, tool))
        stubs = {"dpkg-query": DPKG_QUERY, "apt-get": APT_GET, "id": f"#!/bin/sh\necho {uid}\n", "sleep": "#!/bin/sh\n"}
        for name, text in stubs.items():
            with open(os.path.join(bin_dir, name), "w") as f:
                f.write(text)
            os.chmod(os.path.join(bin_dir, name), 0o755)
        self.calls = os.path.join(bin_dir, "apt-get.calls")
        done = subprocess.run([SCRIPT], capture_output=True, text=True, env={"PATH": bin_dir, "TMPDIR": self.tmp})
        return done.returncode, done.stdout + done.stderr

    def test_a_user_without_sudo_is_told_the_root_command(self):
        code, out = self.install_deps(1000)
        self.assertEqual(code, 1, out)
        self.assertIn("apt-get install --no-install-recommends lame openbox", out)
        self.assertNotIn("not found", out)
        self.assertFalse(os.path.exists(self.calls), out)

    def test_root_waits_for_another_install_then_installs_what_is_left(self):
        code, out = self.install_deps(0)
        self.assertEqual(code, 0, out)
        self.assertEqual(out.count("waiting for another install to finish"), 1, out)
        with open(self.calls) as f:
            install = "install -y -qq --no-install-recommends openbox"
            self.assertEqual(f.read().splitlines(), ["update -qq"] * 3 + [install])
        self.assertEqual(os.listdir(self.tmp), [], "the log is left behind")


if __name__ == "__main__":
    unittest.main()
