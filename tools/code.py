#!/usr/bin/python3
"""Makes a customer's Wi-Fi access code image for the jukebox.

Usage: code.py CODE CREDITS

Writes "wificodes/CODE.png", a QR code holding the address of the cabinet's
Wi-Fi portal with the code, "<wifiportal>?codigo=CODE", and records the code
with the credits paid for it (-1 when free) as the line "CODE CREDITS" in
"wificodes/codigos.txt" for the portal. The portal removes the image once the
code has been used, which closes the jukebox's display.
"""

import os
import sys

import cabinet_settings

CODES_FOLDER = "wificodes"
DEFAULT_PORTAL = "http://10.42.0.1/wifi"


def code_text(code, settings):
    portal = cabinet_settings.setting(settings, "wifiportal", DEFAULT_PORTAL)
    return f"{portal}?codigo={code}"


def make_code(code, credits, settings):
    if not (len(code) == 4 and code.isdigit()):
        raise ValueError(f"not a four-digit code: {code!r}")
    int(credits)
    os.makedirs(CODES_FOLDER, exist_ok=True)
    with open(os.path.join(CODES_FOLDER, "codigos.txt"), "a", encoding="ascii") as record:
        record.write(f"{code} {credits}\n")
    cabinet_settings.write_qr(code_text(code, settings), os.path.join(CODES_FOLDER, code + ".png"))


def main(arguments):
    if len(arguments) != 2:
        sys.exit(__doc__.strip().splitlines()[2])
    try:
        make_code(arguments[0], arguments[1], cabinet_settings.read_settings())
    except ValueError as error:
        sys.exit(f"code.py: {error}")


if __name__ == "__main__":
    main(sys.argv[1:])
