"""onlinechecker.py: "serverstatus" follows a loopback server, and the
checker ends with the jukebox that started it."""

import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
sys.path.insert(0, TOOLS)

import onlinechecker  # noqa: E402


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_until(condition, limit=15):
    deadline = time.monotonic() + limit
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


class OnlineChecker(unittest.TestCase):
    def setUp(self):
        self.previous = os.getcwd()
        self.folder = tempfile.mkdtemp()
        os.chdir(self.folder)
        self.port = free_port()
        with open("configuration", "w", encoding="cp1252") as out:
            out.write(f"checkerhost=127.0.0.1\ncheckerport={self.port}\n")

    def tearDown(self):
        os.chdir(self.previous)
        shutil.rmtree(self.folder)

    @staticmethod
    def stop_after_first_check(_):
        raise StopIteration

    def status_after_one_check(self):
        with self.assertRaises(StopIteration):
            onlinechecker.run(os.getpid(), sleep=self.stop_after_first_check)
        with open("serverstatus", encoding="ascii") as status:
            return status.read()

    def test_status_follows_the_server(self):
        self.assertEqual(self.status_after_one_check(), "0\n")
        with socket.create_server(("127.0.0.1", self.port)):
            self.assertEqual(self.status_after_one_check(), "1\n")

    def test_unusable_settings_fall_back_to_the_defaults(self):
        self.assertEqual(onlinechecker.target({"checkerport": "http"}), ("8.8.8.8", 53))
        self.assertEqual(onlinechecker.target({"checkerhost": "10.0.0.1", "checkerport": "80"}), ("10.0.0.1", 80))

    def test_ends_when_the_jukebox_is_gone(self):
        jukebox = subprocess.Popen(["sleep", "60"])
        checker = subprocess.Popen(["/usr/bin/python3", os.path.join(TOOLS, "onlinechecker.py"), str(jukebox.pid)])
        try:
            self.assertTrue(wait_until(lambda: os.path.exists("serverstatus")))
            self.assertIsNone(checker.poll())
            jukebox.kill()
            jukebox.wait()
            checker.wait(timeout=onlinechecker.PERIOD + onlinechecker.CONNECT_TIMEOUT + 5)
        finally:
            for process in (jukebox, checker):
                if process.poll() is None:
                    process.kill()
                    process.wait()

    def test_a_jukebox_already_gone_starts_nothing(self):
        gone = subprocess.Popen(["true"])
        gone.wait()
        onlinechecker.run(gone.pid, sleep=lambda _: self.fail("checked"))
        self.assertFalse(os.path.exists("serverstatus"))


if __name__ == "__main__":
    unittest.main()
