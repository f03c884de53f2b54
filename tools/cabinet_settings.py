"""What the cabinet's scripts share: the jukebox's settings and files.

The scripts run in the cabinet's working directory, beside "configuration",
whose lines are "key=value" in Windows-1252.
"""

import os
import tempfile

import qrcode

SETTINGS_FILE = "configuration"


def setting_lines(path=SETTINGS_FILE):
    """(key, value) of each "key=value" line in file order; none when the
    file cannot be read."""
    try:
        with open(path, encoding="cp1252", newline="") as lines:
            for line in lines:
                key, equals, value = line.rstrip("\r\n").partition("=")
                if equals and key:
                    yield key, value
    except OSError:
        pass


def read_settings(path=SETTINGS_FILE):
    """The settings as a dict; empty when the file cannot be read. A key
    given twice keeps its last value; lines without "=" are skipped."""
    return dict(setting_lines(path))


def setting(settings, key, default):
    """A setting's value, or default when it is missing or empty."""
    return settings.get(key) or default


def write_atomically(path, data):
    """Replaces path whole, so that a reader never sees half a file."""
    folder = os.path.dirname(path) or "."
    handle, temporary = tempfile.mkstemp(dir=folder, prefix=".tmp-")
    try:
        with os.fdopen(handle, "wb") as out:
            out.write(data)
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def write_qr(text, path):
    """A QR code image holding text, as PNG."""
    code = qrcode.QRCode(error_correction=qrcode.constants.ERROR_CORRECT_M, box_size=10, border=4)
    code.add_data(text)
    code.make(fit=True)
    folder = os.path.dirname(path)
    if folder:
        os.makedirs(folder, exist_ok=True)
    temporary = os.path.join(folder or ".", ".tmp-" + os.path.basename(path))
    code.make_image().save(temporary, format="PNG")
    os.replace(temporary, path)
