#!/usr/bin/python3
"""Download of an on-line result for the jukebox:
downloator.py NAME ADDRESS FORMATS MARK FOLDER. The jukebox chooses where
the media goes and what it is called: the media is stored in FOLDER (the
album "Descargas" of the catalogue's first genre) as NAME.EXT, and progress
goes to "downloadsprogress/NAME.EXT" (first line the percentage, "100" once
the media is in place). NAME comes from an on-line title and is checked
again here, as this script reads it. FORMATS is yt-dlp's format choice
("22/18"); the best single file serves when none of them exists. MARK is
accepted and unused."""
import os
import sys

import yt_dlp

PROGRESS_FOLDER = "downloadsprogress"
SOCKET_TIMEOUT = 10
# A host file name holds 255 bytes: room for the extension and ".part".
MOST_NAME_BYTES = 200


def is_safe_name(name):
    """Whether name is one plain file name: no separator, no "..", no
    control character (C1 included), within the bound."""
    data = os.fsencode(name)
    return (0 < len(data) <= MOST_NAME_BYTES and b"/" not in data and b"\\" not in data and b".." not in data
            and not any(byte < 0x20 or byte == 0x7F for byte in data)
            and not any(0x80 <= ord(char) < 0xA0 for char in name))


def literal_template(text):
    """Text as plain words of yt-dlp's output template: a name holding
    "%(id)s" names the file with those very characters, not the field."""
    return text.replace("%", "%%")


def write_progress(name, percent):
    os.makedirs(PROGRESS_FOLDER, exist_ok=True)
    partial = os.path.join(PROGRESS_FOLDER, "." + name)
    with open(partial, "w") as progress:
        progress.write(f"{percent}\n")
    os.replace(partial, os.path.join(PROGRESS_FOLDER, name))


def download(name, address, formats, folder):
    """Downloads the result; the media file's name."""
    os.makedirs(folder, exist_ok=True)

    def report(status):
        total = status.get("total_bytes") or status.get("total_bytes_estimate")
        if status["status"] == "downloading" and total:
            percent = min(99, int(status.get("downloaded_bytes", 0) * 100 / total))
            write_progress(os.path.basename(status["filename"]), percent)

    template = os.path.join(literal_template(folder), literal_template(name)) + ".%(ext)s"
    options = {"quiet": True, "no_warnings": True, "noplaylist": True, "socket_timeout": SOCKET_TIMEOUT,
               "format": f"{formats}/best", "outtmpl": template,
               "progress_hooks": [report]}
    with yt_dlp.YoutubeDL(options) as downloader:
        info = downloader.extract_info(address, download=True)
        stored = os.path.basename(downloader.prepare_filename(info))
    write_progress(stored, 100)
    return stored


def main(argv):
    if len(argv) != 6 or not argv[5]:
        print("uso: downloator.py NOMBRE DIRECCION FORMATOS MARCA CARPETA", file=sys.stderr)
        return 2
    if not is_safe_name(argv[1]):
        print(f"Nombre de descarga rechazado: {argv[1]!r}", file=sys.stderr)
        return 2
    try:
        download(argv[1], argv[2], argv[3], argv[5])
    except yt_dlp.utils.DownloadError as error:
        print(f"Descarga fallida: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
