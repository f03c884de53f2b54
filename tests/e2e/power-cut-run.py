#!/usr/bin/python3
"""Power cuts at random moments, checked against a ledger kept from the log.

Each cycle starts the jukebox on a demo cabinet under Xvfb with the real
media player, inserts coins and buys songs and albums at random moments,
then kills the jukebox (and its player) with SIGKILL at a random moment,
as a power cut would. The jukebox logs each coin, purchase, payback and
finished item once its state is saved; from those lines the run keeps a
ledger, and after every cut it checks "tempdata" against it:

- the credits equal the credited coins less the prices plus the paybacks;
- the paid entries waiting equal those bought less those played to their
  end and those paid back: none lost, none played twice;
- the coin counter equals the coins credited.

The jukebox also keeps its own ledger, "mldkhub.db", and reconciles it with
"tempdata" at every start. Once each restart's start row and the rows it
marked are written, the run checks that the ledger's coins of input 1 equal
the counter and that its sales equal the credits spent (the coins' credits
plus the paybacks less the balance), every difference counted through a
marked "reconciled" row.

Usage: tests/e2e/power-cut-run.py [--cycles N] [--seed S] [--build DIR]
Prints one line per cycle and a summary; exits 1 on any difference.
"""
import argparse
import os
import random
import re
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
COIN_KEY = "c"
BROWSE_KEYS = ["Right", "Left", "Down", "Up"]

COIN = re.compile(r"Moneda: entrada (\d+), (\d+) creditos")
TRACK = re.compile(r"Compra: \d+,\d+,\d+ por (\d+) creditos")
ALBUM = re.compile(r"Compra: (\d+) elementos del album \d+,\d+ por (\d+) creditos")
VIP = re.compile(r"Compra VIP: \d+,\d+,\d+ por (\d+) creditos")
PAYBACK = re.compile(r"Devolucion: (\d+) creditos")
FINISHED = re.compile(r"Terminado \[\d+,\d+,\d+\], pagado (\d+)")


def saved_state(cabinet):
    """Credits, paid entries waiting and coins of input 1 in "tempdata"."""
    credits, paid, coins = 0, 0, 0
    path = cabinet / "tempdata"
    if path.exists():
        for line in path.read_text(encoding="latin-1").splitlines():
            key, _, value = line.partition("=")
            if key == "savedcredits":
                credits = int(value)
            elif key == "queueitempaid" and int(value) > 0:
                paid += 1
            elif key == "counter1":
                coins = int(value)
    return credits, paid, coins


class Ledger:
    """Sums of the log's money lines."""

    def __init__(self):
        self.coins = self.coin_credits = self.prices = 0
        self.bought = self.paybacks = self.paid_back = self.finished = 0

    def read(self, log):
        for line in log.splitlines():
            if m := COIN.search(line):
                self.coins += int(m.group(1)) == 1
                self.coin_credits += int(m.group(2))
            elif m := TRACK.search(line):
                self.prices += int(m.group(1))
                self.bought += int(m.group(1)) > 0
            elif m := ALBUM.search(line):
                self.prices += int(m.group(2))
                self.bought += int(m.group(1)) if int(m.group(2)) > 0 else 0
            elif m := VIP.search(line):
                self.prices += int(m.group(1))
            elif m := PAYBACK.search(line):
                self.paybacks += int(m.group(1))
                self.paid_back += 1
            elif m := FINISHED.search(line):
                self.finished += int(m.group(1)) > 0


# The rows of the latest start up to its last reconciled row: what the
# reconciliation saw and marked.
RECONCILED_UP_TO = """SELECT coalesce((SELECT min(seq) FROM ledger WHERE seq > s.last AND kind <> 'reconciled'),
                       (SELECT max(seq) + 1 FROM ledger)) - 1, s.starts
                      FROM (SELECT max(seq) AS last, count(*) AS starts FROM ledger WHERE kind = 'start') AS s"""
LEDGER_SUMS = """SELECT
  coalesce(sum(kind = 'coin' AND input = 1), 0),
  coalesce(sum(CASE WHEN kind = 'coin' THEN credits END), 0),
  coalesce(sum(CASE WHEN kind = 'sale' THEN credits END), 0),
  coalesce(sum(CASE WHEN kind = 'payback' THEN credits END), 0),
  coalesce(sum(CASE WHEN kind = 'reconciled' AND detail = 'counter1' THEN credits END), 0),
  coalesce(sum(CASE WHEN kind = 'reconciled' AND detail = 'savedcredits' THEN credits END), 0),
  coalesce(sum(kind = 'reconciled'), 0)
  FROM ledger WHERE seq <= ?"""


class JukeboxLedger:
    """The jukebox's own ledger as its latest start left it reconciled."""

    def __init__(self, cabinet, starts):
        self.ready = False
        try:
            db = sqlite3.connect(f"file:{cabinet / 'mldkhub.db'}?mode=ro", uri=True)
            try:
                upto, seen = db.execute(RECONCILED_UP_TO).fetchone()
                if seen < starts:
                    return
                (self.coins, self.coin_credits, self.sales, self.paybacks, self.marked_coins, self.marked_credits,
                 self.marked) = db.execute(LEDGER_SUMS, (upto,)).fetchone()
                self.ready = True
            finally:
                db.close()
        except sqlite3.Error:
            pass

    @staticmethod
    def after_start(cabinet, starts, limit=15):
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            ledger = JukeboxLedger(cabinet, starts)
            if ledger.ready:
                return ledger
            time.sleep(0.05)
        return None

    def faults(self, credits, counter):
        """Differences left after the reconciliation; none expected."""
        faults = []
        if self.coins + self.marked_coins != counter:
            faults.append(f"ledger coins {self.coins} + marked {self.marked_coins}, counter1 {counter}")
        spent = self.coin_credits + self.paybacks - credits
        if self.sales - self.marked_credits != spent:
            faults.append(f"ledger sales {self.sales} - marked {self.marked_credits}, credits spent {spent}")
        return faults


class Display:
    def __init__(self, log):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=log, stderr=log)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            self.name = ":" + numbers.readline().strip()

    def stop(self):
        self.process.terminate()
        self.process.wait()


def xdotool(*arguments):
    return subprocess.run(["xdotool", *arguments], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          text=True).stdout


def wait_for_window(limit):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        window = xdotool("search", "--onlyvisible", "--name", "^Melodeck$").split()
        if window:
            return window[0]
        time.sleep(0.05)
    return None


def media_players(cabinet):
    players = []
    for proc in Path("/proc").iterdir():
        try:
            if (proc / "comm").read_text() == "mplayer\n" and os.readlink(proc / "cwd") == str(cabinet):
                players.append(int(proc.name))
        except (OSError, ValueError):
            pass
    return players


def act(window, rng, until):
    """Coins and purchases at random moments until the given time."""
    while time.monotonic() < until:
        choice = rng.random()
        xdotool("windowfocus", "--sync", window)
        if choice < 0.4:
            xdotool("keydown", COIN_KEY)
            time.sleep(rng.uniform(0.03, 0.2))
            xdotool("keyup", COIN_KEY)
        elif choice < 0.85:
            xdotool("key", *rng.choices(BROWSE_KEYS, k=rng.randint(0, 2)), "Return")
        elif choice < 0.9:
            xdotool("key", "0", "Return", "Return")  # a whole album, confirmed
        time.sleep(rng.uniform(0.05, 1.0))


def cycle(number, program, cabinet, rng, output, acting=True):
    before = saved_state(cabinet)
    log_path = output / f"cycle-{number:03d}.log"
    with open(log_path, "wb") as log:
        jukebox = subprocess.Popen([str(program), str(cabinet)], stdout=log, stderr=subprocess.STDOUT)
        reconciled = JukeboxLedger.after_start(cabinet, number)
        window = wait_for_window(30)
        if window and acting:
            act(window, rng, time.monotonic() + rng.uniform(0.2, 14.0))
        jukebox.send_signal(signal.SIGKILL)
        jukebox.wait()
    for player in media_players(cabinet):
        os.kill(player, signal.SIGKILL)
    ledger = Ledger()
    ledger.read(log_path.read_text(encoding="latin-1"))
    return before, saved_state(cabinet), ledger, window is not None, reconciled


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cycles", type=int, default=150)
    parser.add_argument("--seed", type=int, default=2026)
    parser.add_argument("--build", type=Path, default=REPO / "build")
    arguments = parser.parse_args()
    program = arguments.build / "bin" / "melodeck"
    rng = random.Random(arguments.seed)
    work = Path(tempfile.mkdtemp(prefix="melodeck-power-cut-"))
    cabinet = work / "cabinet"
    output = work / "logs"
    output.mkdir()
    env = dict(os.environ, CONFIGTOOL=str(arguments.build / "bin" / "configtool"))
    subprocess.run([str(REPO / "demo" / "make-cabinet"), str(cabinet)], env=env, check=True,
                   stdout=subprocess.DEVNULL)
    home = work / "home"
    (home / ".mplayer").mkdir(parents=True)
    (home / ".mplayer" / "config").write_text("ao=null\n")
    display = Display(open(output / "xvfb.log", "wb"))
    os.environ.update(DISPLAY=display.name, HOME=str(home), SDL_AUDIODRIVER="dummy", MELODECK_POWEROFF="true")
    os.environ.pop("SDL_VIDEODRIVER", None)

    total = Ledger()
    differences = marked_cycles = marked = 0
    try:
        # A last start reconciles what the last cut left, and is cut at once.
        for number in range(1, arguments.cycles + 2):
            (credits0, paid0, coins0), (credits1, paid1, coins1), ledger, shown, reconciled = cycle(
                number, program, cabinet, rng, output, acting=number <= arguments.cycles)
            for field in vars(total):
                setattr(total, field, getattr(total, field) + getattr(ledger, field))
            expected_credits = credits0 + ledger.coin_credits - ledger.prices + ledger.paybacks
            expected_paid = paid0 + ledger.bought - ledger.finished - ledger.paid_back
            faults = []
            if credits1 != expected_credits:
                faults.append(f"credits {credits1}, ledger {expected_credits}")
            if paid1 != expected_paid:
                faults.append(f"paid entries {paid1}, ledger {expected_paid}")
            if coins1 != total.coins:
                faults.append(f"counter1 {coins1}, coins credited {total.coins}")
            if reconciled is None:
                faults.append("the ledger shows no reconciled start")
            else:
                faults += reconciled.faults(credits0, coins0)
                marked_cycles += reconciled.marked > marked
                marked = reconciled.marked
            differences += bool(faults)
            print(f"cycle {number:3d}: {'shown' if shown else 'no window'}, coins {ledger.coins}, "
                  f"bought {ledger.bought}, finished {ledger.finished}, paid back {ledger.paid_back}, "
                  f"credits {credits1}, paid waiting {paid1}, "
                  f"at its start the ledger held {reconciled.sales if reconciled else '-'} credits sold and "
                  f"{marked} marked rows"
                  + (" DIFFERENCE: " + "; ".join(faults) if faults else ""),
                  flush=True)
    finally:
        display.stop()
    print(f"{arguments.cycles} cycles: {total.coins} coins ({total.coin_credits} credits), {total.bought} paid "
          f"entries bought for {total.prices} credits, {total.finished} played to their end, {total.paid_back} "
          f"paid back ({total.paybacks} credits); restarts whose reconciliation marked rows: {marked_cycles}, "
          f"{marked} marked rows in all; cycles with a difference: {differences}; logs in {output}")
    if differences == 0:
        shutil.rmtree(cabinet, ignore_errors=True)
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
