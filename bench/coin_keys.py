#!/usr/bin/python3
"""Presses coin keys for the smoothness bench over one X connection.

For each line read (a key name such as "c"), the key goes down and 120 ms
later up, like a coin acceptor's pulse, and the time of day just before the
key-up was sent is printed in microseconds: the time from there to the
credits on screen is at most what a customer waits. One connection, rather
than a program started per key, keeps that time off a busy machine's
process start-up."""
import sys
import time

from Xlib import X, XK, display
from Xlib.ext import xtest

PULSE = 0.12


def main():
    screen = display.Display()
    for line in sys.stdin:
        code = screen.keysym_to_keycode(XK.string_to_keysym(line.strip()))
        xtest.fake_input(screen, X.KeyPress, code)
        screen.sync()
        time.sleep(PULSE)
        sent = time.time()
        xtest.fake_input(screen, X.KeyRelease, code)
        screen.sync()
        print(int(sent * 1e6), flush=True)


if __name__ == "__main__":
    main()
