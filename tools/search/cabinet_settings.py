"""The cabinet settings the on-line scripts read from "configuration" in the
working directory (Windows-1252, one key=value a line)."""

ALL_MUSIC_GENRE = "TODA LA MUSICA"
FAVOURITES_GENRE = "100+ Favoritas"
DOWNLOADS_ALBUM = "Descargas"


def read(path="configuration"):
    """Every key's values in file order; nothing when the file is missing."""
    settings = {}
    try:
        with open(path, encoding="cp1252", errors="replace") as lines:
            for line in lines:
                key, _, value = line.rstrip("\r\n").partition("=")
                settings.setdefault(key.strip(), []).append(value.strip())
    except OSError:
        pass
    return settings


def first(settings, key, default=""):
    values = [value for value in settings.get(key, []) if value]
    return values[0] if values else default


def downloads_folder(settings):
    """Where the catalogue's album "Descargas" of its first genre looks:
    the first media folder, the genre in front (the favourites with
    favoritos on, else the all-music genre), then the album."""
    media = first(settings, "mediacontent", "media").replace("\\", "/")
    favourites = first(settings, "favoritos").lower() in ("yes", "si", "1", "true")
    return "/".join([media, FAVOURITES_GENRE if favourites else ALL_MUSIC_GENRE, DOWNLOADS_ALBUM])
