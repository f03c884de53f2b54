#!/usr/bin/python3
"""Tells the jukebox whether the cabinet is on-line.

Usage: onlinechecker.py [JUKEBOX_PID]

Every 10 seconds tries a TCP connection to <checkerhost>:<checkerport> of
the cabinet's settings and writes "serverstatus": "1" when it was accepted,
"0" when not. Ends once the jukebox whose process id it was given is gone.
"""

import os
import socket
import sys
import time

import cabinet_settings

STATUS_FILE = "serverstatus"
PERIOD = 10
CONNECT_TIMEOUT = 3
DEFAULT_HOST = "8.8.8.8"
DEFAULT_PORT = 53


def target(settings):
    host = cabinet_settings.setting(settings, "checkerhost", DEFAULT_HOST)
    try:
        port = int(cabinet_settings.setting(settings, "checkerport", DEFAULT_PORT))
    except ValueError:
        port = DEFAULT_PORT
    return host, port


def online(host, port, timeout=CONNECT_TIMEOUT):
    try:
        with socket.create_connection((host, port), timeout=timeout):
            return True
    except OSError:
        return False


def write_status(is_online):
    cabinet_settings.write_atomically(STATUS_FILE, b"1\n" if is_online else b"0\n")


def start_time(pid):
    """The process's start time in clock ticks since boot; None when it is
    gone. A new process that reuses the id has another start time."""
    try:
        with open(f"/proc/{pid}/stat", encoding="ascii", errors="replace") as stat:
            fields = stat.read().rpartition(")")[2].split()
        return fields[19]
    except (OSError, IndexError):
        return None


def run(jukebox_pid, period=PERIOD, sleep=time.sleep):
    """Checks and writes every period seconds while the jukebox lives (for
    ever without one)."""
    jukebox = start_time(jukebox_pid) if jukebox_pid else None
    if jukebox_pid and jukebox is None:
        return
    while True:
        write_status(online(*target(cabinet_settings.read_settings())))
        sleep(period)
        if jukebox_pid and start_time(jukebox_pid) != jukebox:
            return


def main(arguments):
    if len(arguments) > 1 or (arguments and not arguments[0].isdigit()):
        sys.exit(__doc__.strip().splitlines()[2])
    run(int(arguments[0]) if arguments else None)


if __name__ == "__main__":
    main(sys.argv[1:])
