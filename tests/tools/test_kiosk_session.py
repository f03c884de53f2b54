"""The kiosk session ends the media player a killed jukebox left behind, and
only that process. A stand-in jukebox starts a player of its own process
group, records it in "player.pid" and kills itself; its second run ends
cleanly, which ends the session."""
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

SESSION = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "kiosk",
                       "melodeck-kiosk-session")

STAND_IN = """#!/bin/bash
cabinet=$1
[[ -e $cabinet/ran ]] && exit 43
touch "$cabinet/ran"
setsid /usr/bin/python3 -c 'import time; time.sleep(60)' "$PLAYED" >/dev/null 2>&1 &
until grep -q "$PLAYED" "/proc/$!/cmdline" 2>/dev/null; do :; done
printf '%s\\n%s\\n' "$!" "media/Tema.mp3" >"$cabinet/player.pid"
echo "$!" >"$cabinet/player-id"
kill -KILL $$
"""


def running(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


class KioskSession(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp()
        for folder in ("bin", "lib/melodeck", "cabinet"):
            os.makedirs(os.path.join(self.root, folder))
        shutil.copy(SESSION, os.path.join(self.root, "lib/melodeck"))
        jukebox = os.path.join(self.root, "bin", "melodeck")
        with open(jukebox, "w") as out:
            out.write(STAND_IN)
        os.chmod(jukebox, 0o755)

    def tearDown(self):
        shutil.rmtree(self.root)

    def test_player_left_by_a_killed_jukebox_is_ended_unless_its_id_was_reused(self):
        for played, ended in (("media/Tema.mp3", True), ("media/Otro.mp3", False)):
            with self.subTest(played=played):
                cabinet = os.path.join(self.root, "cabinet")
                for name in ("ran", "player.pid"):
                    if os.path.exists(os.path.join(cabinet, name)):
                        os.remove(os.path.join(cabinet, name))
                session = subprocess.run([os.path.join(self.root, "lib/melodeck/melodeck-kiosk-session"), cabinet],
                                         env=dict(os.environ, PLAYED=played, MELODECK_RESTART_DELAY="0"),
                                         capture_output=True, text=True, timeout=60)
                self.assertEqual(session.returncode, 0, session.stdout + session.stderr)
                with open(os.path.join(cabinet, "player-id")) as recorded:
                    player = int(recorded.read())
                deadline = time.monotonic() + 10
                while running(player) and ended and time.monotonic() < deadline:
                    time.sleep(0.05)
                self.assertEqual(not running(player), ended, session.stdout)
                if not ended:
                    os.kill(player, signal.SIGKILL)


if __name__ == "__main__":
    unittest.main()
