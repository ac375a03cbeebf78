#!/usr/bin/env python3
"""scripts/install-deps over stand-in commands, with lame and openbox missing: a user whom sudo does not serve
is told what to run as root; an install meeting another one's lock waits for it, then installs only what that
one left missing; any other failure, or a lock held past the bound, ends it with the log."""
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
# Fails TRIES times with FAILURE (while another install holds the lists' lock, say), then succeeds.
APT_GET = """#!/bin/sh
echo "$*" >>"$0.calls"
for try in TRIES; do
  [ -e "$0.$try" ] || { : >"$0.$try"; echo "FAILURE" >&2; exit 100; }
done
"""
LOCK_HELD = "E: Could not get lock /var/lib/apt/lists/lock."
# What sudo says and does when it will not run a command for this user.
SUDO_REFUSING = """#!/bin/sh
echo "sudo: a password is required" >&2
exit 1
"""


class InstallDepsTest(unittest.TestCase):
    def install_deps(self, uid, failure=LOCK_HELD, tries=2, sudo=None, env=None):
        """Runs the script with only the stand-ins and a few real tools on the PATH (sudo only when given)."""
        root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, root)
        bin_dir, self.tmp = os.path.join(root, "bin"), os.path.join(root, "tmp")
        os.makedirs(bin_dir)
        os.makedirs(self.tmp)
        for tool in ("bash", "env", "grep", "mktemp", "rm", "tail"):
            os.symlink(shutil.which(tool), os.path.join(bin_dir, tool))
        apt_get = APT_GET.replace("TRIES", " ".join(str(t) for t in range(1, tries + 1))).replace("FAILURE", failure)
        stubs = {"dpkg-query": DPKG_QUERY, "apt-get": apt_get, "id": f"#!/bin/sh\necho {uid}\n", "sleep": "#!/bin/sh\n"}
        if sudo:
            stubs["sudo"] = sudo
        for name, text in stubs.items():
            with open(os.path.join(bin_dir, name), "w") as f:
                f.write(text)
            os.chmod(os.path.join(bin_dir, name), 0o755)
        self.calls = os.path.join(bin_dir, "apt-get.calls")
        done = subprocess.run([SCRIPT], capture_output=True, text=True, timeout=60,
                              env={"PATH": bin_dir, "TMPDIR": self.tmp, **(env or {})})
        return done.returncode, done.stdout + done.stderr

    def apt_get_calls(self):
        if not os.path.exists(self.calls):
            return []
        with open(self.calls) as f:
            return f.read().splitlines()

    def test_a_user_whom_sudo_does_not_serve_is_told_the_root_command(self):
        for sudo, told in ((None, "without sudo"), (SUDO_REFUSING, "sudo refused to run apt-get")):
            with self.subTest(told):
                code, out = self.install_deps(1000, sudo=sudo)
                self.assertEqual(code, 1, out)
                self.assertIn(f"install-deps: {told}", out)
                self.assertIn("install them as root: apt-get install --no-install-recommends lame openbox", out)
                self.assertNotIn("apt-get failed", out)
                self.assertNotIn("not found", out)
                self.assertEqual(self.apt_get_calls(), [], out)
                if sudo:
                    self.assertIn("sudo: a password is required", out)

    def test_root_waits_for_another_install_then_installs_what_is_left(self):
        code, out = self.install_deps(0)
        self.assertEqual(code, 0, out)
        self.assertEqual(out.count("waiting for another install to finish"), 1, out)
        install = "install -y -qq --no-install-recommends openbox"
        self.assertEqual(self.apt_get_calls(), ["update -qq"] * 3 + [install])
        self.assertEqual(os.listdir(self.tmp), [], "the log is left behind")

    def test_what_waiting_does_not_mend_ends_the_install_with_its_log(self):
        cases = (("E: The repository 'x' does not have a Release file.", {}, "apt-get failed"),
                 (LOCK_HELD, {"INSTALL_DEPS_LOCK_WAIT": "0"},
                  "another install still holds the package manager's lock after waiting 0 seconds"))
        for failure, env, told in cases:
            with self.subTest(told):
                code, out = self.install_deps(0, failure=failure, tries=5, env=env)
                self.assertEqual(code, 1, out)
                self.assertIn(failure, out)
                self.assertIn(f"install-deps: {told}", out)
                self.assertNotIn("waiting for another install", out)
                self.assertEqual(self.apt_get_calls(), ["update -qq"], out)
                self.assertEqual(len(os.listdir(self.tmp)), 1, "the log is not kept")


if __name__ == "__main__":
    unittest.main()
