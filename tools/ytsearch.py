#!/usr/bin/python3
"""On-line search of the jukebox: ytsearch.py TEXT writes "results.txt" in
the working directory, five lines a result (title, duration, channel,
address, id), at most 20 results.

The source is the setting "busquedaenlinea" of the cabinet's configuration,
with {text} standing for the text searched; by default the video site
search that yt-dlp knows as "ytsearch20:{text}". An http(s) source gets the
text URL-encoded and may be any page yt-dlp reads as a list of media, such
as an RSS feed with enclosures."""
import sys
import urllib.parse

import yt_dlp

import cabinet_settings

MOST_RESULTS = 20
DEFAULT_SOURCE = "ytsearch20:{text}"
SOCKET_TIMEOUT = 10


def source_for(text, template):
    quoted = urllib.parse.quote(text) if template.startswith(("http://", "https://")) else text
    return template.replace("{text}", quoted)


def field(value):
    """A line of the results file: never empty, never two lines."""
    text = " ".join(str(value or "").split())
    return text or "-"


def duration(seconds):
    if not seconds:
        return "-"
    minutes, seconds = divmod(int(seconds), 60)
    return f"{minutes}:{seconds:02d}"


def search(text, template):
    options = {"quiet": True, "no_warnings": True, "extract_flat": "in_playlist", "skip_download": True,
               "socket_timeout": SOCKET_TIMEOUT, "playlistend": MOST_RESULTS}
    with yt_dlp.YoutubeDL(options) as downloader:
        found = downloader.extract_info(source_for(text, template), download=False)
    entries = found.get("entries") if found.get("_type") == "playlist" else [found]
    records = []
    for entry in entries or []:
        address = entry.get("webpage_url") or entry.get("url")
        if not address or not entry.get("title"):
            continue
        records.append([field(entry["title"]), duration(entry.get("duration")),
                        field(entry.get("channel") or entry.get("uploader")), address, field(entry.get("id"))])
        if len(records) == MOST_RESULTS:
            break
    return records


def main(argv):
    if len(argv) != 2:
        print("uso: ytsearch.py TEXTO", file=sys.stderr)
        return 2
    template = cabinet_settings.setting(cabinet_settings.read_settings(), "busquedaenlinea", DEFAULT_SOURCE)
    try:
        records = search(argv[1], template)
    except yt_dlp.utils.DownloadError as error:
        print(f"Busqueda en linea fallida: {error}", file=sys.stderr)
        return 1
    with open("results.txt", "w", encoding="cp1252", errors="replace", newline="\r\n") as results:
        for record in records:
            results.write("\n".join(record) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
