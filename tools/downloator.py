#!/usr/bin/python3
"""Download of an on-line result for the jukebox:
downloator.py TITLE ADDRESS FORMATS MARK, TITLE being the row as listed
("[D] " and the title). Progress goes to "downloadsprogress/TITLE.EXT"
(first line the percentage, "100" once the media is in place); the media
goes to the album "Descargas" of the catalogue's first genre under the
first media folder, named TITLE.EXT as well, where the jukebox plays it.
FORMATS is yt-dlp's format choice ("22/18"); the best single file serves
when none of them exists. MARK is accepted and unused."""
import os
import sys

import yt_dlp

import cabinet_settings

PROGRESS_FOLDER = "downloadsprogress"
SOCKET_TIMEOUT = 10


def file_name(title):
    """A title as a file name: "/" cannot be part of one."""
    return title.replace("/", "_")


def literal_template(text):
    """Text as plain words of yt-dlp's output template: a title holding
    "%(id)s" names the file with those very characters, not the field."""
    return text.replace("%", "%%")


def write_progress(name, percent):
    os.makedirs(PROGRESS_FOLDER, exist_ok=True)
    partial = os.path.join(PROGRESS_FOLDER, "." + name)
    with open(partial, "w") as progress:
        progress.write(f"{percent}\n")
    os.replace(partial, os.path.join(PROGRESS_FOLDER, name))


def download(title, address, formats):
    """Downloads the result; the media file's name."""
    folder = cabinet_settings.downloads_folder()
    os.makedirs(folder, exist_ok=True)

    def report(status):
        total = status.get("total_bytes") or status.get("total_bytes_estimate")
        if status["status"] == "downloading" and total:
            percent = min(99, int(status.get("downloaded_bytes", 0) * 100 / total))
            write_progress(os.path.basename(status["filename"]), percent)

    template = os.path.join(literal_template(folder), literal_template(file_name(title))) + ".%(ext)s"
    options = {"quiet": True, "no_warnings": True, "noplaylist": True, "socket_timeout": SOCKET_TIMEOUT,
               "format": f"{formats}/best", "outtmpl": template,
               "progress_hooks": [report]}
    with yt_dlp.YoutubeDL(options) as downloader:
        info = downloader.extract_info(address, download=True)
        name = os.path.basename(downloader.prepare_filename(info))
    write_progress(name, 100)
    return name


def main(argv):
    if len(argv) != 5:
        print("uso: downloator.py TITULO DIRECCION FORMATOS MARCA", file=sys.stderr)
        return 2
    try:
        download(argv[1], argv[2], argv[3])
    except yt_dlp.utils.DownloadError as error:
        print(f"Descarga fallida: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
