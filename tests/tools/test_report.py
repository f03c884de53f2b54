"""melodeck-report on a small ledger whose figures are known."""

import csv
import datetime
import io
import os
import sqlite3
import subprocess
import time
import unittest

from cabinet_folder import CabinetFolder, TOOLS

REPORT = os.path.join(TOOLS, "report", "melodeck-report")
SCHEMA = """
CREATE TABLE schema_version (version INTEGER NOT NULL);
CREATE TABLE ledger (seq INTEGER PRIMARY KEY AUTOINCREMENT, at INTEGER NOT NULL, kind TEXT NOT NULL, item TEXT,
  input INTEGER, credits INTEGER NOT NULL DEFAULT 0, mode TEXT, genre TEXT, album TEXT, title TEXT, detail TEXT,
  started INTEGER, ended INTEGER, seconds INTEGER);
CREATE INDEX ledger_at ON ledger(at);
"""
SONG = ("Pop", "Año uno", "Canción.mp3")


def at(day, hour):
    return int(time.mktime(datetime.datetime(2026, 3, day, hour).timetuple()))


# Two days of a cabinet, a day outside the range asked for, and the
# counters cleared on the second day.
ROWS = [
    (at(1, 10), "coin", None, 1, 1, None, (None,) * 3, None),
    (at(1, 10), "coin", None, 2, 3, None, (None,) * 3, None),
    (at(1, 11), "sale", "song", None, 2, "jukebox", SONG, None),
    (at(1, 11), "sale", "wifi", None, 1, "jukebox", (None,) * 3, None),
    (at(1, 12), "play", "song", None, 0, None, SONG, "played"),
    (at(1, 23), "play", "song", None, 0, None, SONG, "failed"),
    (at(1, 23), "payback", "song", None, 2, None, SONG, "could not play"),
    (at(2, 9), "operator", None, None, 0, None, (None,) * 3, "counters cleared"),
    (at(2, 10), "coin", None, 2, 3, None, (None,) * 3, None),
    (at(2, 10), "sale", "album", None, 1, "jukebox", ("Rock", "Disco", "Tema.mp3"), None),
    (at(2, 11), "play", "video", None, 0, None, ("Rock", "Disco", "Tema.mp3"), "skipped"),
    (at(2, 12), "play", "song", None, 0, None, SONG, "played"),
    (at(2, 13), "reconciled", None, None, -1, None, (None,) * 3, "counter2"),
    (at(5, 10), "coin", None, 1, 1, None, (None,) * 3, None),
]


class ReportTest(CabinetFolder):
    def setUp(self):
        super().setUp()
        with sqlite3.connect("mldkhub.db") as db:
            db.executescript(SCHEMA)
            db.executemany(
                "INSERT INTO ledger (at, kind, item, input, credits, mode, genre, album, title, detail)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                [row[:6] + row[6] + row[7:] for row in ROWS])
        db.close()
        with open("tempdata", "w", encoding="cp1252") as state:
            state.write("savedcredits=5\nqueueitem=0,0,0\ncounter1=1\ncounter2=1\ncounter3=0\n")

    def report(self, *args, status=0):
        run = subprocess.run([REPORT, *args], capture_output=True, text=True, check=False)
        self.assertEqual(run.returncode, status, run.stderr)
        return run

    def csv(self, *args):
        return list(csv.reader(io.StringIO(self.report(*args, "--csv", ".").stdout)))

    def test_takings_per_day_in_the_range(self):
        rows = self.csv("takings", "--from", "2026-03-01", "--to", "2026-03-02")
        self.assertEqual(rows[0][:8], ["day", "coins1", "coins2", "coins3", "coins4", "coins5", "coins6", "credits_in"])
        figures = [dict(zip(rows[0], row)) for row in rows[1:]]
        self.assertEqual([f["day"] for f in figures], ["2026-03-01", "2026-03-02"])
        self.assertEqual([(f["coins1"], f["coins2"], f["credits_in"]) for f in figures], [("1", "1", "4"), ("0", "1", "3")])
        self.assertEqual([(f["sold_song"], f["sold_wifi"], f["sold_album"], f["sold"]) for f in figures],
                         [("2", "1", "0", "3"), ("0", "0", "1", "1")])
        self.assertEqual([f["paid_back"] for f in figures], ["2", "0"])

    def test_plays_per_track_for_the_collecting_society(self):
        self.assertEqual(self.csv("plays", "--from", "2026-03-01", "--to", "2026-03-31"),
                         [["genre", "album", "title", "plays"], list(SONG) + ["2"], ["Rock", "Disco", "Tema.mp3", "1"]])

    def test_audit_sets_the_ledger_beside_tempdata(self):
        rows = {row[0]: row[1:] for row in self.csv("audit")}
        self.assertEqual(rows["savedcredits"], ["5", "6", "-1"])  # coins 8, sales 4, paid back 2
        self.assertEqual(rows["counter1"], ["1", "1", "0"])  # the coin of day 5, after the clearing
        self.assertEqual(rows["counter2"], ["1", "0", "1"])  # one coin after the clearing, less the marked row
        self.assertEqual(rows["reconciled rows"], ["", "1", ""])

    def test_tables_are_readable_and_the_ledger_only_read(self):
        before = os.stat("mldkhub.db").st_mtime_ns
        table = self.report("takings", "--from", "2026-03-01", "--to", "2026-03-02", ".").stdout.splitlines()
        self.assertEqual(table[0].split(), ["day", "coins1", "coins2", "credits_in", "sold_song", "sold_album",
                                            "sold_wifi", "sold", "paid_back"])
        self.assertTrue(set(table[1]) <= {"-", " "})
        self.assertEqual(table[2].split(), ["2026-03-01", "1", "1", "4", "2", "0", "1", "3", "2"])
        self.assertIn("Canción.mp3", self.report("plays", "--from", "2026-03-01", ".").stdout)
        self.assertEqual(os.stat("mldkhub.db").st_mtime_ns, before)

    def test_usage_and_faults(self):
        self.assertIn("takings", self.report("--help").stdout)
        self.assertIn("a command is needed", self.report(status=2).stderr)
        self.assertIn("not a day", self.report("plays", "--from", "March", ".", status=2).stderr)
        os.remove("mldkhub.db")
        self.assertIn("no ledger in", self.report("audit", ".", status=1).stderr)


if __name__ == "__main__":
    unittest.main()
