"""onlinechecker.py: "serverstatus" follows a loopback server, and the
checker ends with the jukebox that started it."""

import os
import socket
import subprocess
import time

import onlinechecker
from cabinet_folder import TOOLS, CabinetFolder


def stop_after_first_check(_):
    raise StopIteration


class OnlineChecker(CabinetFolder):
    def test_status_follows_the_server(self):
        with socket.create_server(("127.0.0.1", 0)) as server:
            self.configure("checkerhost=127.0.0.1", f"checkerport={server.getsockname()[1]}")
            for status in ("1\n", "0\n"):
                with self.assertRaises(StopIteration):
                    onlinechecker.run(os.getpid(), sleep=stop_after_first_check)
                self.assertEqual(self.read("serverstatus"), status)
                server.close()

    def test_unusable_settings_fall_back_to_the_defaults(self):
        self.assertEqual(onlinechecker.target({"checkerport": "http"}), ("8.8.8.8", 53))

    def test_ends_with_the_jukebox(self):
        self.configure("checkerhost=127.0.0.1", "checkerport=9")
        gone = subprocess.Popen(["true"])
        gone.wait()
        onlinechecker.run(gone.pid, sleep=self.fail)
        self.assertFalse(os.path.exists("serverstatus"))

        with subprocess.Popen(["sleep", "60"]) as jukebox:
            checker = subprocess.Popen(["/usr/bin/python3", os.path.join(TOOLS, "onlinechecker.py"), str(jukebox.pid)])
            deadline = time.monotonic() + 10
            while not os.path.exists("serverstatus") and time.monotonic() < deadline:
                time.sleep(0.05)
            self.assertIsNone(checker.poll())
            jukebox.kill()
        try:
            checker.wait(timeout=onlinechecker.PERIOD + onlinechecker.CONNECT_TIMEOUT + 5)
        finally:
            checker.kill()


if __name__ == "__main__":
    unittest.main()
