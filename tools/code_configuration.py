#!/usr/bin/python3
"""Makes the administrator's code image for the jukebox's operator menu.

Usage: code_configuration.py

Writes "CONFIGURATION.png", a QR code with which a phone joins the cabinet's
Wi-Fi network: "WIFI:T:WPA;S:<wifissid>;P:<wifipassword>;;", or
"WIFI:T:nopass;S:<wifissid>;;" when the network has no password.
"""

import sys

import cabinet_settings

IMAGE = "CONFIGURATION.png"
DEFAULT_SSID = "Melodeck"


def escaped(text):
    """Text with the characters the network string reserves escaped."""
    return "".join("\\" + c if c in '\\;,:"' else c for c in text)


def network_text(settings):
    ssid = escaped(cabinet_settings.setting(settings, "wifissid", DEFAULT_SSID))
    password = settings.get("wifipassword", "")
    if not password:
        return f"WIFI:T:nopass;S:{ssid};;"
    return f"WIFI:T:WPA;S:{ssid};P:{escaped(password)};;"


def main():
    cabinet_settings.write_qr(network_text(cabinet_settings.read_settings()), IMAGE)


if __name__ == "__main__":
    if len(sys.argv) != 1:
        sys.exit(__doc__.strip().splitlines()[2])
    main()
