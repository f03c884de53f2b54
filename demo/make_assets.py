#!/usr/bin/python3
"""Writes the files of a cabinet's working directory.

"cabinet" writes the default files every cabinet starts with: images, skin,
sounds and configuration.default (the build makes them once for the cabinet
maker melodeck-new-cabinet). "demo" writes the demo's small media library
(music, videos and CD+G karaoke) and puts the demo's own network settings
into the cabinet's "configuration". "short-media" writes the same library
with every item 2.5 to 3 s long into DIR/media, for tests where an item's
length does not matter. Everything is generated from scratch with PIL and
ffmpeg, deterministically, so that two runs give the same files.
"fit" fits a cabinet's skin, font sizes and screen size to a screen of
WIDTHxHEIGHT pixels; the images, drawn for 1024 x 768, are stretched to the
screen by the jukebox.

Usage: make_assets.py cabinet|demo|short-media DIR, or make_assets.py fit DIR WIDTHxHEIGHT
"""

import colorsys
import itertools
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import wave
from concurrent.futures import ProcessPoolExecutor
from dataclasses import dataclass, field, replace
from functools import lru_cache

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/liberation2"
SCREEN_W, SCREEN_H = 1024, 768
TV_W, TV_H = 1366, 768

# Colour scheme: night-blue gradient, cyan neon frames, gold for money and
# highlights, magenta as the second accent.
NIGHT = (7, 9, 28)
DUSK = (30, 10, 52)
PANEL = (10, 15, 38)
NEON = (0, 196, 255)
GOLD = (255, 198, 64)
MAGENTA = (232, 58, 160)
GREEN = (40, 200, 110)
RED = (230, 62, 72)
TEXT = (236, 241, 255)
MUTED = (150, 162, 198)
SELECTION = (0, 122, 190)

# ---------------------------------------------------------------------------
# Drawing helpers


@lru_cache(maxsize=None)
def font(size, bold=True):
    name = "LiberationSans-Bold.ttf" if bold else "LiberationSans-Regular.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def gradient(size, top, bottom):
    """An RGBA image fading vertically from top to bottom."""
    height = size[1]
    column = Image.new("RGB", (1, height))
    column.putdata([mix(top, bottom, y / max(height - 1, 1)) for y in range(height)])
    return column.resize(size).convert("RGBA")


def overlay(canvas, paint, blur=0):
    """Composites what paint(draw) draws on a transparent full-size layer."""
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    paint(ImageDraw.Draw(layer))
    if blur:
        layer = layer.filter(ImageFilter.GaussianBlur(blur))
    canvas.alpha_composite(layer)


def glow(canvas, centre, radius, colour, opacity=110):
    """A soft round light, as from a spotlight or a neon sign."""
    x, y = centre
    overlay(canvas, lambda d: d.ellipse((x - radius, y - radius, x + radius, y + radius),
                                        fill=colour + (opacity,)), blur=radius // 2)


def panel(canvas, box, border=NEON, fill=PANEL + (200,), radius=16, width=2):
    """A rounded smoked-glass panel with a neon edge and its halo."""
    x0, y0, x1, y1 = box
    overlay(canvas, lambda d: d.rounded_rectangle(box, radius, outline=border + (170,), width=6), blur=7)
    overlay(canvas, lambda d: d.rounded_rectangle(box, radius, fill=fill))
    sheen = Image.new("L", canvas.size, 0)
    sheen.paste(gradient((x1 - x0, (y1 - y0) // 3), (16, 16, 16), (0, 0, 0)).getchannel("R"), (x0, y0))
    clip = Image.new("L", canvas.size, 0)
    ImageDraw.Draw(clip).rounded_rectangle(box, radius, fill=255)
    light = Image.new("RGBA", canvas.size, (255, 255, 255, 0))
    light.putalpha(ImageChops.darker(sheen, clip))
    canvas.alpha_composite(light)
    overlay(canvas, lambda d: d.rounded_rectangle(box, radius, outline=border + (255,), width=width))


def text(canvas, xy, words, size, colour=TEXT, bold=True, anchor="la", shadow=True, halo=None):
    """Draws text with an optional drop shadow and coloured halo."""
    x, y = xy
    if halo:
        overlay(canvas, lambda d: d.text(xy, words, font=font(size, bold), fill=halo + (220,),
                                         anchor=anchor, stroke_width=3, stroke_fill=halo + (220,)), blur=6)
    if shadow:
        overlay(canvas, lambda d: d.text((x + 2, y + 3), words, font=font(size, bold), fill=(0, 0, 0, 170),
                                         anchor=anchor), blur=1)
    ImageDraw.Draw(canvas).text(xy, words, font=font(size, bold), fill=colour, anchor=anchor)


def fitted_size(words, width, size, bold=True):
    """The largest size up to size at which words fit in width pixels."""
    while size > 8 and font(size, bold).getlength(words) > width:
        size -= 1
    return size


def wrap(words, width, size, bold=True):
    """Splits words into lines no wider than width pixels."""
    lines, line = [], ""
    for word in words.split():
        candidate = f"{line} {word}".strip()
        if line and font(size, bold).getlength(candidate) > width:
            lines.append(line)
            line = word
        else:
            line = candidate
    return lines + [line] if line else lines


def triangle(d, centre, size, direction, colour):
    """A filled arrow head pointing "left", "right", "up" or "down"."""
    x, y = centre
    points = {
        "right": [(x - size * 0.6, y - size), (x + size, y), (x - size * 0.6, y + size)],
        "left": [(x + size * 0.6, y - size), (x - size, y), (x + size * 0.6, y + size)],
        "up": [(x - size, y + size * 0.6), (x, y - size), (x + size, y + size * 0.6)],
        "down": [(x - size, y - size * 0.6), (x, y + size), (x + size, y - size * 0.6)],
    }[direction]
    d.polygon(points, fill=colour)


def star(d, centre, radius, colour, points=5):
    x, y = centre
    corners = []
    for i in range(points * 2):
        r = radius if i % 2 == 0 else radius * 0.45
        angle = math.pi * i / points - math.pi / 2
        corners.append((x + r * math.cos(angle), y + r * math.sin(angle)))
    d.polygon(corners, fill=colour)


def heart(d, centre, size, colour):
    x, y = centre
    outline = []
    for i in range(64):
        t = 2 * math.pi * i / 64
        hx = 16 * math.sin(t) ** 3
        hy = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        outline.append((x + hx * size / 16, y - hy * size / 16))
    d.polygon(outline, fill=colour)


def music_note(d, origin, size, colour):
    """A pair of beamed quavers drawn with shapes (crisper than a glyph when large)."""
    x, y = origin
    stem = max(2, size // 10)
    head_w, head_h = size * 0.36, size * 0.26
    for dx in (0, size * 0.62):
        d.ellipse((x + dx, y + size - head_h, x + dx + head_w, y + size), fill=colour)
        d.rectangle((x + dx + head_w - stem, y + size * 0.12, x + dx + head_w, y + size - head_h / 2), fill=colour)
    d.polygon([(x + head_w - stem, y + size * 0.12), (x + size * 0.62 + head_w, y),
               (x + size * 0.62 + head_w, y + size * 0.16), (x + head_w - stem, y + size * 0.28)], fill=colour)


def supersampled(size, paint, scale=4):
    """Paints at scale times the size and shrinks, for smooth small icons."""
    big = Image.new("RGBA", (size[0] * scale, size[1] * scale), (0, 0, 0, 0))
    paint(big, scale)
    return big.resize(size, Image.LANCZOS)


def save_png(image, path):
    """Saves with the dark matte behind fully transparent pixels, so that a
    renderer that ignores alpha, or smooths across edges, sees the night
    colour rather than black or white."""
    alpha = image.getchannel("A")
    solid = Image.composite(image.convert("RGB"), Image.new("RGB", image.size, NIGHT),
                            alpha.point(lambda a: 255 if a else 0))
    solid.putalpha(alpha)
    solid.save(path)


def save_jpg(image, path):
    image.convert("RGB").save(path, quality=92)


def backdrop(size, top=NIGHT, bottom=DUSK):
    """The shared night gradient with two soft neon lights."""
    canvas = gradient(size, top, bottom)
    w, h = size
    glow(canvas, (int(w * 0.85), int(h * 0.1)), int(min(w, h) * 0.45), MAGENTA, 60)
    glow(canvas, (int(w * 0.1), int(h * 0.95)), int(min(w, h) * 0.5), NEON, 45)
    return canvas


# ---------------------------------------------------------------------------
# Keys and prices shared by the configuration and the on-screen hints

KEYS = {
    "up": "up", "down": "down", "left": "left", "right": "right",
    "enter": "return", "menu": "g", "cancel": "escape",
    **{f"n{d}": str(d) for d in range(10)},
    "upvol": "f12", "downvol": "f11", "cancelsong": "f8",
    "upvol2": "kpplus", "downvol2": "kpminus", "cancelsong2": "delete",
    "wifi": "f6", "discover": "f1", "configmenu": "f2", "pause": "pause",
    "coin1": "c", "coin2": "v",
    "abc": "f3", "abcprev": "pageup", "abcnext": "pagedown",
    "exit": "f9",
    # The power-off key is bound to a key no PC keyboard has, so that no
    # key of the demo turns the machine off.
    "apagar": "f15",
}
PRICES = {"creditsbyplay": 1, "creditsbyvideo": 2, "creditsvip": 2, "creditsdownloads": 3}


def key_label(binding):
    name = KEYS[binding]
    return {"return": "Enter", "escape": "Esc"}.get(name, name.upper())


def credits_text(count):
    return f"{count} crédito" + ("" if count == 1 else "s")


# ---------------------------------------------------------------------------
# Skin: panel rectangles, their layout file and the background behind them

COVER_SEPARATION = 12
SKIN_NAME = "skin"
LAYOUT = {  # x, y, width, height in pixels on a 1024 x 768 screen
    "genre": (20, 12, 700, 38),
    "credits": (748, 14, 256, 34),
    "titles": (16, 62, 992, 22),
    "covers": (16, 88, 992, 240),
    "trackslist": (20, 366, 388, 320),
    "media": (436, 366, 296, 222),
    "info": (436, 602, 296, 84),
    "queue": (764, 366, 240, 188),
    "volumen": (20, 706, 984, 8),
    "marquee": (20, 726, 984, 34),
}
ONLINE_ICON_AT = (int(SCREEN_W * 0.9), int(SCREEN_H * 0.8))


def float32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def skin_fraction(pixels, dimension):
    """The shortest decimal fraction that the program turns back into pixels
    (single-precision value times the dimension, truncated)."""
    for digits in range(3, 9):
        fraction = round((pixels + 0.5) / dimension, digits)
        if math.trunc(float32(fraction) * dimension) == pixels:
            return f"{fraction:.{digits}f}"
    raise ValueError(f"no fraction gives {pixels} of {dimension}")


def skin_lines(screen=(SCREEN_W, SCREEN_H)):
    """The layout on a screen of that size: the panels keep their places on
    the stretched background image."""
    width, height = screen
    across, down = width / SCREEN_W, height / SCREEN_H
    lines = [f"coverseparation={skin_fraction(round(COVER_SEPARATION * across), width)}"]
    for name, (x, y, w, h) in LAYOUT.items():
        pixels = (round(x * across), round(y * down), round(w * across), round(h * down))
        # The marquee's vertical values are fractions of the width.
        heights_from = width if name == "marquee" else height
        for prefix, value, dimension in zip("xywh", pixels, (width, heights_from, width, heights_from)):
            lines.append(f"{prefix}{name}={skin_fraction(value, dimension)}")
    return lines


def cover_slots():
    """Where the carousel draws its four covers inside the covers panel."""
    x, y, width, height = LAYOUT["covers"]
    cover_w = (width - 3 * COVER_SEPARATION) // 4
    slots = [(x, y, x + cover_w + COVER_SEPARATION, y + height)]
    for i in range(1, 4):
        left = x + (cover_w + COVER_SEPARATION) * i + COVER_SEPARATION
        slots.append((left, y, min(left + cover_w, x + width), y + height - COVER_SEPARATION))
    return slots


def panel_label(canvas, rect, words):
    x, y, _, _ = rect
    text(canvas, (x + 2, y - 24), words, 15, NEON)


def skin_background():
    canvas = backdrop((SCREEN_W, SCREEN_H))
    overlay(canvas, lambda d: [d.line((x, 0, x - 500, SCREEN_H), fill=(255, 255, 255, 6), width=2)
                               for x in range(0, SCREEN_W + 500, 46)])
    draw_header(canvas)
    draw_carousel(canvas)
    draw_lower_panels(canvas)
    draw_status_cell(canvas)
    draw_bottom_strip(canvas)
    return canvas


def draw_header(canvas):
    gx, gy, gw, gh = LAYOUT["genre"]
    panel(canvas, (8, 6, gx + gw + 8, gy + gh + 6), radius=14)
    logo_x = gx + gw - 150
    overlay(canvas, lambda d: music_note(d, (logo_x, gy + 8), 22, NEON + (200,)))
    text(canvas, (logo_x + 30, gy + gh // 2 + 1), "MELODECK", 18, (200, 215, 255), anchor="lm", shadow=False)
    cx, cy, cw, ch = LAYOUT["credits"]
    panel(canvas, (cx - 8, 6, cx + cw + 12, cy + ch + 4), border=GOLD, radius=20)


def draw_carousel(canvas):
    ty = LAYOUT["titles"][1]
    cx, cy, cw, ch = LAYOUT["covers"]
    panel(canvas, (8, ty - 4, cx + cw + 8, cy + ch + 6), radius=14)

    def placeholders(d):
        for left, top, right, bottom in cover_slots():
            d.rounded_rectangle((left + 4, top + 4, right - 4, bottom - 4), 10, fill=(255, 255, 255, 10),
                                outline=(120, 140, 200, 60), width=2)
            mx, my = (left + right) // 2, (top + bottom) // 2
            for r in range(18, 80, 12):
                d.ellipse((mx - r, my - r, mx + r, my + r), outline=(120, 140, 200, 28), width=1)
    overlay(canvas, placeholders)


def draw_lower_panels(canvas):
    tracks, media, info, queue = (LAYOUT[k] for k in ("trackslist", "media", "info", "queue"))
    panel(canvas, (tracks[0] - 12, tracks[1] - 30, tracks[0] + tracks[2] + 12, tracks[1] + tracks[3] + 8))
    panel_label(canvas, tracks, "CANCIONES DEL ÁLBUM")
    panel(canvas, (media[0] - 12, media[1] - 30, media[0] + media[2] + 12, info[1] + info[3] + 8))
    panel_label(canvas, media, "REPRODUCIENDO")
    mx, my, mw, mh = media

    def media_well(d):
        d.rounded_rectangle((mx, my, mx + mw, my + mh), 8, fill=(0, 0, 0, 120))
        music_note(d, (mx + mw // 2 - 40, my + mh // 2 - 40), 80, (120, 140, 200, 60))
    overlay(canvas, media_well)
    overlay(canvas, lambda d: d.line((mx, info[1] - 8, mx + mw, info[1] - 8), fill=NEON + (90,), width=1))
    panel(canvas, (queue[0] - 12, queue[1] - 30, queue[0] + queue[2] + 12, queue[1] + queue[3] + 8))
    panel_label(canvas, queue, "EN COLA")


def draw_status_cell(canvas):
    qx, qy, qw, qh = LAYOUT["queue"]
    tracks = LAYOUT["trackslist"]
    top, bottom = qy + qh + 18, tracks[1] + tracks[3] + 8
    panel(canvas, (qx - 12, top, qx + qw + 12, bottom), border=MAGENTA)
    hints = [("◄ ►", "Álbum"), ("▲ ▼", "Canción"), (key_label("enter"), "Reproducir"),
             (key_label("menu"), "Géneros"), (key_label("abc"), "Buscar")]
    for i, (keys, action) in enumerate(hints):
        y = top + 8 + i * 18
        text(canvas, (qx - 2, y), keys, 13, GOLD, shadow=False)
        text(canvas, (qx + 50, y), action, 13, TEXT, bold=False, shadow=False)
    ix, iy = ONLINE_ICON_AT
    overlay(canvas, lambda d: d.ellipse((ix - 4, iy - 4, ix + 44, iy + 44), outline=(120, 140, 200, 70), width=2))
    text(canvas, (ix + 20, iy + 48), "RED", 11, MUTED, anchor="mt", shadow=False)
    price = (f"Canción {credits_text(PRICES['creditsbyplay'])}  ·  "
             f"Video {credits_text(PRICES['creditsbyvideo'])}")
    overlay(canvas, lambda d: d.line((qx, bottom - 26, qx + qw, bottom - 26), fill=MAGENTA + (90,), width=1))
    text(canvas, (qx + qw // 2, bottom - 13), price, 13, GOLD, anchor="mm", shadow=False)


def draw_bottom_strip(canvas):
    vx, vy, vw, vh = LAYOUT["volumen"]
    _, my, _, mh = LAYOUT["marquee"]
    panel(canvas, (8, vy - 8, SCREEN_W - 8, my + mh + 4), border=GOLD, radius=14)
    overlay(canvas, lambda d: d.rounded_rectangle((vx, vy, vx + vw, vy + vh), 4, fill=(0, 0, 0, 150),
                                                  outline=(120, 140, 200, 70)))


# ---------------------------------------------------------------------------
# Dialogs

def dialog(size, title, hint=None, border=NEON):
    """A dialog plate: rounded panel, title band and a hint line at the foot."""
    w, h = size
    canvas = Image.new("RGBA", size, (0, 0, 0, 0))
    plate = gradient(size, (18, 24, 60), (12, 10, 34))
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, w - 1, h - 1), 24, fill=255)
    canvas.paste(plate, (0, 0), mask)
    ImageDraw.Draw(canvas).rounded_rectangle((0, 0, w - 1, h - 1), 24, outline=border, width=3)
    overlay(canvas, lambda d: d.rounded_rectangle((5, 5, w - 6, h - 6), 20, outline=border + (70,), width=1))
    if title:
        overlay(canvas, lambda d: d.line((30, 56, w - 30, 56), fill=border + (140,), width=2))
        text(canvas, (w // 2, 30), title, 24, TEXT, anchor="mm", halo=border)
    if hint:
        text(canvas, (w // 2, h - 30), hint, 15, MUTED, bold=False, anchor="mm", shadow=False)
    return canvas


def list_well(canvas, box):
    overlay(canvas, lambda d: d.rounded_rectangle(box, 10, fill=(0, 0, 0, 90), outline=(120, 140, 200, 50)))


def hint(*pairs):
    return "   ·   ".join(f"{keys} {action}" for keys, action in pairs)


def genres_dialog():
    # The list covers the image less its lowest 110 pixels, with 65 pixels
    # of padding at top and bottom.
    size = (560, 560)
    canvas = dialog(size, "GÉNEROS", hint(("▲ ▼", "Elegir"), (key_label("enter"), "Abrir"),
                                          (key_label("cancel"), "Volver")))
    list_well(canvas, (14, 60, size[0] - 14, size[1] - 110 - 60))
    overlay(canvas, lambda d: music_note(d, (size[0] // 2 - 16, size[1] - 100), 32, NEON + (120,)))
    return canvas


def results_dialog():
    size = (760, 560)
    keys = hint(("▲ ▼", "Elegir"), (key_label("enter"), "Ir a la canción"), (key_label("cancel"), "Volver"))
    canvas = dialog(size, "RESULTADOS DE LA BÚSQUEDA", keys)
    list_well(canvas, (22, 60, size[0] - 22, size[1] - 60))
    return canvas


def jump_dialog():
    size = (320, 320)
    canvas = dialog(size, "IR A LA LETRA", hint(("◄ ►", "Letra"), (key_label("enter"), "Ir")), border=GOLD)
    glow(canvas, (160, 165), 80, GOLD, 50)
    overlay(canvas, lambda d: d.ellipse((70, 75, 250, 255), outline=GOLD + (150,), width=3))
    return canvas


def code_dialog():
    # The QR image (a fifth of the screen wide, three tenths high) sits in
    # the centre, the caption 180 pixels above it and the code 180 below.
    size = (560, 540)
    w, h = size
    canvas = dialog(size, None, border=GREEN)
    qr_w, qr_h = int(SCREEN_W * 0.2), int(SCREEN_H * 0.3)
    box = (w // 2 - qr_w // 2 - 14, h // 2 - qr_h // 2 - 14, w // 2 + qr_w // 2 + 14, h // 2 + qr_h // 2 + 14)
    overlay(canvas, lambda d: d.rounded_rectangle(box, 14, fill=(255, 255, 255, 255)))
    for centre in (h // 2 - 180, h // 2 + 180):
        overlay(canvas, lambda d, c=centre: d.rounded_rectangle((40, c - 26, w - 40, c + 26), 14,
                                                                fill=(0, 0, 0, 110), outline=GREEN + (140,)))
    wifi_waves(canvas, (42, h - 34), 22, GREEN)
    text(canvas, (72, h - 34), "Internet Wi-Fi · Melodeck", 14, MUTED, bold=False, anchor="lm", shadow=False)
    return canvas


def wifi_waves(canvas, origin, size, colour):
    x, y = origin

    def paint(d):
        for r in (size, size * 0.66, size * 0.33):
            d.arc((x - r, y - r * 0.3, x + r, y + r * 1.7), 225, 315, fill=colour, width=max(2, size // 8))
        d.ellipse((x - 3, y + size * 0.55 - 3, x + 3, y + size * 0.55 + 3), fill=colour)
    overlay(canvas, paint)


# ---------------------------------------------------------------------------
# On-screen keyboards

KEY_GRID = 84
KEY_SIZE = 64
KEYBOARD_ORIGIN = (20, 80)  # the first key's corner inside the keyboard image
LETTER_ROWS = ["QWERTYUIOP", "ASDFGHJKLÑ", "ZXCVBNM", "0123456789"]
BOTTOM_KEYS = [(0, 148, "BORRAR"), (168, 64, "◄"), (252, 316, "ESPACIO"), (588, 64, "►"), (672, 148, "BUSCAR")]


def keycap(canvas, box, label, face=(44, 56, 104), edge=(96, 116, 190), size=28):
    x0, y0, x1, y1 = box
    cap = gradient((x1 - x0, y1 - y0), mix(face, (255, 255, 255), 0.18), mix(face, (0, 0, 0), 0.3))
    mask = Image.new("L", cap.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, cap.width - 1, cap.height - 1), 10, fill=255)
    canvas.paste(cap, (x0, y0), mask)
    ImageDraw.Draw(canvas).rounded_rectangle(box, 10, outline=edge, width=2)
    label_size = fitted_size(label, x1 - x0 - 14, size)
    text(canvas, ((x0 + x1) // 2, (y0 + y1) // 2), label, label_size, TEXT, anchor="mm")


def keyboard_image():
    ox, oy = KEYBOARD_ORIGIN
    size = (ox * 2 + 9 * KEY_GRID + KEY_SIZE, oy + 4 * KEY_GRID + KEY_SIZE + 20)
    canvas = dialog(size, None)
    # The typed text is drawn in black from (40, 20), so its field is light.
    ImageDraw.Draw(canvas).rounded_rectangle((24, 12, size[0] - 24, oy - 8), 12, fill=(244, 246, 255),
                                             outline=NEON, width=2)
    for row, letters in enumerate(LETTER_ROWS):
        face = (30, 70, 110) if row == 3 else (44, 56, 104)
        for col, letter in enumerate(letters):
            x, y = ox + col * KEY_GRID, oy + row * KEY_GRID
            keycap(canvas, (x, y, x + KEY_SIZE - 1, y + KEY_SIZE - 1), letter, face)
    y = oy + 4 * KEY_GRID
    for x, width, label in BOTTOM_KEYS:
        face = (0, 110, 160) if label == "BUSCAR" else (92, 40, 100) if label == "BORRAR" else (44, 56, 104)
        keycap(canvas, (ox + x, y, ox + x + width - 1, y + KEY_SIZE - 1), label, face, size=24)
    # The third row is short: its free end explains the keyboard.
    hx, hy = ox + 7 * KEY_GRID, oy + 2 * KEY_GRID
    overlay(canvas, lambda d: d.rounded_rectangle((hx, hy, size[0] - ox, hy + KEY_SIZE), 10,
                                                  fill=(0, 0, 0, 90), outline=(120, 140, 200, 60)))
    text(canvas, (hx + 14, hy + 10), "Flechas: mover", 17, MUTED, bold=False, shadow=False)
    text(canvas, (hx + 14, hy + 34), f"{key_label('enter')}: escribir", 17, MUTED, bold=False, shadow=False)
    return canvas


# The searcher: typed text at (120, 42), two result lists from 140 pixels
# down, 110 pixels in from the left and 100 from the right, 160 pixels of
# foot below them; the spinner goes to (790, 160) on the screen.
SEARCH_SIZE = (900, 640)
PHONE_KEYS = [("1", "BORRAR"), ("2", "ABC"), ("3", "DEF"), ("4", "GHI"), ("5", "JKL"),
              ("6", "MNO"), ("7", "PQRS"), ("8", "TUV"), ("9", "WXYZ"), ("0", "ESPACIO")]


def searcher_image():
    w, h = SEARCH_SIZE
    canvas = dialog(SEARCH_SIZE, None)
    d = ImageDraw.Draw(canvas)
    d.rounded_rectangle((110, 30, w - 100, 102), 14, fill=(4, 6, 20), outline=NEON, width=2)
    magnifier(canvas, (62, 66), 24)
    lists = [(104, 134, w // 2 - 4, h - 154), (w // 2 + 4, 134, w - 94, h - 154)]
    for box, title in zip(lists, ("ÁLBUMES", "CANCIONES  ·  EN LÍNEA")):
        list_well(canvas, box)
        text(canvas, (box[0] + 8, 108), title, 17, NEON)
    key_w, gap = 74, 8
    left = (w - (len(PHONE_KEYS) * key_w + (len(PHONE_KEYS) - 1) * gap)) // 2
    for i, (digit, letters) in enumerate(PHONE_KEYS):
        x = left + i * (key_w + gap)
        keycap(canvas, (x, h - 138, x + key_w, h - 82), "")
        text(canvas, (x + key_w // 2, h - 122), digit, 22, TEXT, anchor="mm")
        text(canvas, (x + key_w // 2, h - 96), letters, fitted_size(letters, key_w - 8, 13), GOLD, anchor="mm",
             shadow=False)
    keys = hint(("▼", "Resultados"), ("◄ ►", "Letra"), (key_label("enter"), "Buscar en línea o elegir"),
                (key_label("cancel"), "Salir"))
    text(canvas, (w // 2, h - 48), keys, 15, MUTED, bold=False, anchor="mm", shadow=False)
    return canvas


def magnifier(canvas, centre, radius):
    x, y = centre

    def paint(d):
        d.ellipse((x - radius, y - radius, x + radius * 0.6, y + radius * 0.6), outline=NEON, width=5)
        d.line((x + radius * 0.45, y + radius * 0.45, x + radius * 1.1, y + radius * 1.1), fill=NEON, width=8)
    overlay(canvas, paint)


# ---------------------------------------------------------------------------
# Buttons and icons

def round_button(diameter, colour, paint_symbol):
    def paint(image, scale):
        d = ImageDraw.Draw(image)
        size = diameter * scale
        d.ellipse((2 * scale, 2 * scale, size - 2 * scale, size - 2 * scale), fill=mix(colour, (0, 0, 0), 0.45))
        d.ellipse((4 * scale, 4 * scale, size - 4 * scale, size - 4 * scale), fill=colour)
        d.ellipse((10 * scale, 6 * scale, size - 10 * scale, size * 0.55), fill=mix(colour, (255, 255, 255), 0.25))
        d.ellipse((8 * scale, 8 * scale, size - 8 * scale, size - 8 * scale), outline=(255, 255, 255, 120),
                  width=2 * scale)
        paint_symbol(d, size)
    return supersampled((diameter, diameter), paint)


def arrow_button(diameter, direction):
    return round_button(diameter, (0, 140, 210),
                        lambda d, s: triangle(d, (s / 2, s / 2), s * 0.24, direction, (255, 255, 255)))


def pill_button(label, colour, size=(128, 70)):
    w, h = size

    def paint(image, scale):
        d = ImageDraw.Draw(image)
        d.rounded_rectangle((0, 0, w * scale - 1, h * scale - 1), h * scale // 2, fill=mix(colour, (0, 0, 0), 0.5))
        d.rounded_rectangle((2 * scale, 2 * scale, w * scale - 3 * scale, h * scale - 4 * scale), h * scale // 2,
                            fill=colour)
        d.rounded_rectangle((10 * scale, 5 * scale, w * scale - 10 * scale, h * scale // 2), h * scale // 4,
                            fill=mix(colour, (255, 255, 255), 0.22))
        label_size = fitted_size(label, w - 24, 22) * scale
        d.text((w * scale / 2, h * scale / 2 - scale), label, font=font(label_size), fill=(255, 255, 255),
               anchor="mm", stroke_width=scale, stroke_fill=mix(colour, (0, 0, 0), 0.6))
    return supersampled(size, paint)


def back_button():
    def symbol(d, s):
        width = int(s * 0.08)
        box = (s * 0.3, s * 0.24, s * 0.72, s * 0.62)
        d.arc(box, 270, 90, fill=(255, 255, 255), width=width)
        d.line((s * 0.51, s * 0.24, s * 0.36, s * 0.24), fill=(255, 255, 255), width=width)
        triangle(d, (s * 0.3, s * 0.24), s * 0.1, "left", (255, 255, 255))
        d.text((s / 2, s * 0.78), "MENÚ", font=font(int(s * 0.15)), fill=(255, 255, 255), anchor="mm")
    return round_button(96, MAGENTA, symbol)


def status_icon(online):
    colour = GREEN if online else RED

    def symbol(d, s):
        width = max(2, int(s * 0.07))
        for r in (0.34, 0.23, 0.12):
            d.arc((s / 2 - s * r, s * 0.62 - s * r, s / 2 + s * r, s * 0.62 + s * r), 225, 315,
                  fill=(255, 255, 255), width=width)
        d.ellipse((s * 0.45, s * 0.6, s * 0.55, s * 0.7), fill=(255, 255, 255))
        if not online:
            d.line((s * 0.26, s * 0.26, s * 0.74, s * 0.74), fill=(255, 255, 255), width=width + 2)
    return round_button(40, colour, symbol)


def gear_icon(colour, turned):
    def paint(image, scale):
        d = ImageDraw.Draw(image)
        s = 32 * scale
        c, teeth = s / 2, 8
        outline = []
        offset = math.pi / teeth / 2 if turned else 0
        for i in range(teeth * 4):
            angle = offset + 2 * math.pi * i / (teeth * 4)
            r = s * (0.47 if i % 4 in (1, 2) else 0.36)
            outline.append((c + r * math.cos(angle), c + r * math.sin(angle)))
        d.polygon(outline, fill=colour)
        d.ellipse((c - s * 0.13, c - s * 0.13, c + s * 0.13, c + s * 0.13), fill=(0, 0, 0, 0))
    return supersampled((32, 32), paint)


# ---------------------------------------------------------------------------
# Karaoke score screens and the score digits

LOW_DIGIT_AT, HIGH_DIGIT_AT = (700, 200), (380, 200)
DIGIT_SIZE = (250, 200)


def stage(top, bottom, light):
    canvas = backdrop((SCREEN_W, SCREEN_H), top, bottom)
    for x, colour in ((150, light), (512, TEXT), (870, MAGENTA)):
        overlay(canvas, lambda d, x=x, c=colour: d.polygon([(x - 20, 0), (x + 20, 0), (x + 260, SCREEN_H),
                                                           (x - 260, SCREEN_H)], fill=c + (22,)), blur=18)
    overlay(canvas, lambda d: d.ellipse((-200, SCREEN_H - 90, SCREEN_W + 200, SCREEN_H + 200), fill=(0, 0, 0, 150)),
            blur=10)
    return canvas


def score_spot(canvas, digit_at, colour):
    """The ring the score digit is drawn into, labelled above and below it."""
    cx, cy = digit_at[0] + DIGIT_SIZE[0] // 2, digit_at[1] + DIGIT_SIZE[1] // 2
    glow(canvas, (cx, cy), 170, colour, 90)
    overlay(canvas, lambda d: d.ellipse((cx - 150, cy - 150, cx + 150, cy + 150), fill=(0, 0, 0, 90)))
    for radius, width, opacity in ((150, 5, 230), (162, 2, 120)):
        overlay(canvas, lambda d, r=radius, w=width, o=opacity: d.ellipse((cx - r, cy - r, cx + r, cy + r),
                                                                          outline=colour + (o,), width=w))
    text(canvas, (cx, cy - 112), "TU CALIFICACIÓN", 17, TEXT, anchor="mm", shadow=False)
    text(canvas, (cx, cy + 116), "de 10", 22, MUTED, anchor="mm", shadow=False)
    return cx, cy


def low_score_screen():
    canvas = stage((10, 12, 40), (40, 14, 60), NEON)
    score_spot(canvas, LOW_DIGIT_AT, NEON)
    text(canvas, (70, 170), "¡Sigue", 92, TEXT, halo=NEON)
    text(canvas, (70, 270), "practicando!", 92, TEXT, halo=NEON)
    text(canvas, (74, 400), "La próxima vez lo harás mejor.", 30, MUTED, bold=False)
    microphone(canvas, (180, 640), 0.7)
    overlay(canvas, lambda d: [music_note(d, at, size, NEON + (150,)) for at, size in
                               (((300, 560), 56), ((420, 610), 40), ((520, 540), 48))])
    return canvas


def high_score_screen():
    canvas = stage((40, 8, 50), (90, 30, 20), GOLD)
    rng = random.Random("confetti")
    cx, cy = HIGH_DIGIT_AT[0] + DIGIT_SIZE[0] // 2, HIGH_DIGIT_AT[1] + DIGIT_SIZE[1] // 2

    def confetti(d):
        for _ in range(220):
            x, y = rng.randrange(SCREEN_W), rng.randrange(SCREEN_H)
            near_text = (y < 110 or 540 < y < 640) and 200 < x < 830
            if near_text or math.hypot(x - cx, y - cy) < 200:
                continue
            colour = rng.choice((GOLD, MAGENTA, NEON, GREEN, TEXT))
            angle = rng.random() * math.pi
            dx, dy = 9 * math.cos(angle), 9 * math.sin(angle)
            d.line((x - dx, y - dy, x + dx, y + dy), fill=colour + (170,), width=4)
    overlay(canvas, confetti)
    score_spot(canvas, HIGH_DIGIT_AT, GOLD)
    text(canvas, (SCREEN_W // 2, 14), "¡EXCELENTE!", 84, GOLD, anchor="mt", halo=MAGENTA)
    text(canvas, (SCREEN_W // 2, 560), "¡El público te aplaude!", 44, TEXT, anchor="mt", halo=MAGENTA)
    overlay(canvas, lambda d: [star(d, c, r, GOLD + (235,)) for c, r in
                               (((180, 300), 44), ((840, 300), 44), ((260, 440), 24), ((760, 440), 24),
                                ((120, 680), 18), ((900, 680), 18))])
    return canvas


def microphone(canvas, base, scale):
    """A stage microphone: grille head above base, stem below."""
    x, y = base

    def paint(d):
        head = 70 * scale
        hx, hy = x, y - head
        d.line((x, y, x, y + 200 * scale), fill=(90, 96, 120, 255), width=int(22 * scale))
        d.ellipse((hx - head, hy - head, hx + head, hy + head), fill=(170, 178, 200, 255))
        for i in range(-3, 4):
            offset = i * head / 4
            half = math.sqrt(head * head - offset * offset) - 3
            d.line((hx + offset, hy - half, hx + offset, hy + half), fill=(110, 118, 140, 255), width=2)
            d.line((hx - half, hy + offset, hx + half, hy + offset), fill=(110, 118, 140, 255), width=2)
        d.rounded_rectangle((x - 30 * scale, y - 6, x + 30 * scale, y + 26 * scale), 6, fill=(60, 64, 84, 255))
    overlay(canvas, paint)


def digit_image(digit):
    def paint(image, scale):
        d = ImageDraw.Draw(image)
        w, h = DIGIT_SIZE[0] * scale, DIGIT_SIZE[1] * scale
        d.text((w / 2, h / 2), str(digit), font=font(190 * scale), fill=GOLD, anchor="mm",
               stroke_width=8 * scale, stroke_fill=(60, 20, 10))
        d.text((w / 2, h / 2 - 4 * scale), str(digit), font=font(190 * scale), fill=(255, 226, 130), anchor="mm")
    return supersampled(DIGIT_SIZE, paint, scale=2)


# ---------------------------------------------------------------------------
# TV-out picture and advertising

def tv_picture():
    canvas = backdrop((TV_W, TV_H))
    glow(canvas, (TV_W // 2, TV_H // 2 - 40), 360, NEON, 50)
    overlay(canvas, lambda d: music_note(d, (TV_W // 2 - 70, 130), 140, NEON + (230,)))
    text(canvas, (TV_W // 2, 330), "MELODECK", 130, TEXT, anchor="mt", halo=NEON)
    text(canvas, (TV_W // 2, 480), "Música  ·  Video  ·  Karaoke", 48, GOLD, anchor="mt")
    text(canvas, (TV_W // 2, 580), "Elige tu canción en la rockola", 36, MUTED, bold=False, anchor="mt")
    return canvas


def advert(title, lines, colour, paint_icon):
    canvas = backdrop((TV_W, TV_H), NIGHT, mix(colour, NIGHT, 0.7))
    glow(canvas, (340, TV_H // 2), 260, colour, 80)
    overlay(canvas, paint_icon)
    text(canvas, (640, 250), title, fitted_size(title, TV_W - 700, 84), TEXT, halo=colour)
    for i, line in enumerate(lines):
        text(canvas, (646, 390 + i * 64), line, 42, GOLD if i == 0 else MUTED, bold=i == 0)
    return canvas


def adverts():
    return {
        "01 karaoke.jpg": advert("Noche de Karaoke", ["Todos los viernes", "Canta tus favoritas",
                                                      "y gana aplausos del público"], MAGENTA,
                                 lambda d: music_note(d, (230, 274), 220, MAGENTA + (255,))),
        "02 wifi.jpg": advert("Wi-Fi en la rockola", ["Pide tu código", "Conéctate con 1 crédito",
                                                     "Escanea el código con tu celular"], GREEN,
                              lambda d: [d.arc((340 - r, 500 - r, 340 + r, 500 + r), 225, 315, fill=GREEN, width=26)
                                         for r in (220, 150, 80)] + [d.ellipse((320, 480, 360, 520), fill=GREEN)]),
    }


# ---------------------------------------------------------------------------
# Cover art

@dataclass
class Palette:
    dark: tuple
    mid: tuple
    bright: tuple


GENRE_LOOKS = {
    "rock": (Palette((20, 6, 10), (140, 20, 30), (255, 120, 40)), "stripes"),
    "pop": (Palette((30, 10, 60), (200, 60, 170), (80, 220, 255)), "bubbles"),
    "salsa": (Palette((50, 12, 0), (230, 90, 20), (255, 220, 60)), "sun"),
    "romantica": (Palette((40, 4, 24), (170, 30, 80), (255, 170, 190)), "hearts"),
    "video": (Palette((4, 14, 30), (20, 90, 160), (120, 230, 255)), "film"),
    "karaoke": (Palette((24, 6, 40), (110, 40, 180), (255, 200, 90)), "mic"),
}


def motif_stripes(d, size, palette, rng):
    for i in range(-2, 8):
        x = i * size // 5 + rng.randrange(20)
        d.polygon([(x, 0), (x + size // 10, 0), (x - size // 3, size), (x - size // 3 - size // 10, size)],
                  fill=palette.mid + (140,))
    bolt = [(0.55, 0.08), (0.35, 0.48), (0.5, 0.48), (0.38, 0.9), (0.7, 0.38), (0.54, 0.38), (0.68, 0.08)]
    shift, mirror = rng.uniform(-0.22, 0.22), rng.random() < 0.5
    d.polygon([(((1 - x if mirror else x) + shift) * size, y * size * 0.8) for x, y in bolt],
              fill=palette.bright + (240,))


def motif_bubbles(d, size, palette, rng):
    for _ in range(26):
        r = rng.randrange(size // 30, size // 5)
        x, y = rng.randrange(size), rng.randrange(int(size * 0.75))
        colour = rng.choice((palette.mid, palette.bright, GOLD))
        d.ellipse((x - r, y - r, x + r, y + r), fill=colour + (rng.randrange(60, 170),))


def motif_sun(d, size, palette, rng):
    cx, cy = int(size * rng.uniform(0.3, 0.7)), int(size * rng.uniform(0.5, 0.66))
    for i in range(18):
        a0 = math.pi * i / 9 + rng.random() * 0.05
        d.polygon([(cx, cy), (cx + size * math.cos(a0), cy + size * math.sin(a0)),
                   (cx + size * math.cos(a0 + 0.17), cy + size * math.sin(a0 + 0.17))], fill=palette.mid + (120,))
    d.ellipse((cx - size // 5, cy - size // 5, cx + size // 5, cy + size // 5), fill=palette.bright + (255,))
    for k in range(4):
        y = int(size * (0.7 + k * 0.05))
        d.line([(x, y + 6 * math.sin(x / 18 + k)) for x in range(0, size + 1, 8)], fill=NEON + (150,), width=4)


def motif_hearts(d, size, palette, rng):
    for _ in range(30):
        r = rng.randrange(size // 40, size // 12)
        x, y = rng.randrange(size), rng.randrange(int(size * 0.7))
        d.ellipse((x - r, y - r, x + r, y + r), fill=palette.bright + (rng.randrange(30, 110),))
    for _ in range(rng.choice((1, 3))):
        heart(d, (int(size * rng.uniform(0.25, 0.75)), int(size * rng.uniform(0.25, 0.45))),
              int(size * rng.uniform(0.1, 0.2)), palette.bright + (235,))


def motif_film(d, size, palette, rng):
    for y0 in (int(size * 0.12), int(size * 0.5)):
        d.rectangle((0, y0, size, y0 + size // 4), fill=(0, 0, 0, 200))
        for x in range(8, size, 28):
            d.rectangle((x, y0 + 6, x + 14, y0 + 16), fill=(230, 230, 230, 220))
            d.rectangle((x, y0 + size // 4 - 16, x + 14, y0 + size // 4 - 6), fill=(230, 230, 230, 220))
        for k in range(4):
            x = k * size // 4 + 8
            d.rectangle((x, y0 + 24, x + size // 4 - 16, y0 + size // 4 - 24),
                        fill=rng.choice((palette.mid, palette.bright, MAGENTA)) + (200,))


def motif_mic(d, size, palette, rng):
    for r in range(size // 6, size // 2, size // 14):
        d.arc((size // 2 - r, int(size * 0.33) - r, size // 2 + r, int(size * 0.33) + r), 200, 340,
              fill=palette.bright + (150,), width=4)
    x, y, head = int(size * rng.uniform(0.3, 0.7)), int(size * 0.42), size // 9
    d.line((x, y, x, y + size // 4), fill=(200, 200, 220, 255), width=size // 28)
    d.ellipse((x - head, y - 2 * head, x + head, y), fill=(220, 224, 240, 255))


def motif_vinyl(d, size, palette, rng):
    c, r = size // 2, int(size * 0.36)
    d.ellipse((c - r, int(size * 0.42) - r, c + r, int(size * 0.42) + r), fill=(10, 10, 14, 255))
    for g in range(r - 8, r // 3, -9):
        d.ellipse((c - g, int(size * 0.42) - g, c + g, int(size * 0.42) + g), outline=(60, 60, 80, 255), width=1)
    label = r // 3
    d.ellipse((c - label, int(size * 0.42) - label, c + label, int(size * 0.42) + label), fill=GOLD + (255,))
    d.ellipse((c - 6, int(size * 0.42) - 6, c + 6, int(size * 0.42) + 6), fill=(10, 10, 14, 255))


MOTIFS = {"stripes": motif_stripes, "bubbles": motif_bubbles, "sun": motif_sun, "hearts": motif_hearts,
          "film": motif_film, "mic": motif_mic, "vinyl": motif_vinyl}


def varied(palette, rng):
    """The palette with its hue turned a little, so that albums of one genre differ."""
    turn = rng.uniform(-0.09, 0.09)

    def turned(rgb):
        h, l, s = colorsys.rgb_to_hls(*(c / 255 for c in rgb))
        return tuple(round(c * 255) for c in colorsys.hls_to_rgb((h + turn) % 1, l, s))
    return Palette(turned(palette.dark), turned(palette.mid), turned(palette.bright))


def cover_art(title, subtitle, look, size=400):
    """Album art: genre colours and motif, varied by the title, with the
    title and subtitle (the artist) over a dark foot."""
    rng = random.Random(title)
    palette, motif = look
    if subtitle:
        palette = varied(palette, rng)
    canvas = gradient((size, size), palette.mid, palette.dark)
    overlay(canvas, lambda d: MOTIFS[motif](d, size, palette, rng))
    shade = gradient((size, size // 3), (0, 0, 0), (0, 0, 0))
    shade.putalpha(gradient((size, size // 3), (0, 0, 0), (230, 230, 230)).getchannel("R"))
    canvas.alpha_composite(shade, (0, size - size // 3))
    title_size = 40
    lines = wrap(title, size - 40, title_size)
    while len(lines) > 2:
        title_size -= 3
        lines = wrap(title, size - 40, title_size)
    bottom = size - 26 if subtitle else size - 20
    for i, line in enumerate(reversed(lines)):
        text(canvas, (20, bottom - 28 - i * (title_size + 4)), line, title_size, TEXT, anchor="ls")
    if subtitle:
        text(canvas, (20, bottom), subtitle, 22, palette.bright, bold=False, anchor="ls")
    ImageDraw.Draw(canvas).rectangle((0, 0, size - 1, size - 1), outline=(0, 0, 0), width=2)
    return canvas


def default_cover():
    return cover_art("Melodeck", "Rockola digital", (Palette((10, 10, 30), (40, 50, 110), GOLD), "vinyl"), 480)


# ---------------------------------------------------------------------------
# Sound synthesis (mono, 16-bit)

RATE = 22050
TAU = 2 * math.pi


def note_frequency(semitones_from_a4):
    return 440.0 * 2 ** (semitones_from_a4 / 12)


@lru_cache(maxsize=None)
def tone(frequency, seconds, timbre):
    """One note as a tuple of samples in -1..1 with its envelope applied."""
    partials, attack, decay = {
        "lead": ((1, 1.0), (3, 0.33), (5, 0.2), (7, 0.14)),
        "bright": ((1, 1.0), (2, 0.5), (3, 0.25)),
        "piano": ((1, 1.0), (2, 0.45), (3, 0.2), (4, 0.1)),
        "soft": ((1, 1.0), (2, 0.15)),
        "bass": ((1, 1.0), (2, 0.3)),
    }[timbre], 0.008, {"piano": 3.0, "bass": 2.0}.get(timbre, 0.8)
    count = int(seconds * RATE)
    release = min(0.06, seconds / 3)
    steps = [TAU * frequency * k / RATE for k, _ in partials]
    gains = [g for _, g in partials]
    scale = 1 / sum(gains)
    samples = []
    for i in range(count):
        t = i / RATE
        envelope = min(1.0, t / attack) * math.exp(-decay * t) * min(1.0, (seconds - t) / release)
        samples.append(envelope * scale * sum(g * math.sin(s * i) for s, g in zip(steps, gains)))
    return tuple(samples)


@lru_cache(maxsize=None)
def drum(kind):
    rng = random.Random(kind)
    length = {"kick": 0.25, "snare": 0.18, "hat": 0.05, "clave": 0.06, "conga": 0.2}[kind]
    samples, phase, previous = [], 0.0, 0.0
    for i in range(int(length * RATE)):
        t = i / RATE
        noise = rng.uniform(-1, 1)
        if kind == "kick":
            phase += TAU * (50 + 110 * math.exp(-t * 30)) / RATE
            value = math.sin(phase) * math.exp(-t * 14)
        elif kind == "conga":
            phase += TAU * (190 + 60 * math.exp(-t * 40)) / RATE
            value = math.sin(phase) * math.exp(-t * 18)
        elif kind == "clave":
            value = math.sin(TAU * 2500 * t) * math.exp(-t * 70)
        else:
            bright = noise - previous  # a crude high-pass keeps the hiss
            previous = noise
            value = (0.6 * bright + (0.5 * math.sin(TAU * 190 * t) if kind == "snare" else 0)) * \
                math.exp(-t * (25 if kind == "snare" else 80))
        samples.append(value)
    return tuple(samples)


def mix_into(buffer, start, samples, gain):
    end = min(len(buffer), start + len(samples))
    if end > start:
        buffer[start:end] = [a + gain * b for a, b in zip(buffer[start:end], samples)]


@dataclass
class Style:
    bpm: int
    chords: list  # semitone triads over the key
    lead: str
    melody_steps: list  # onsets inside a bar, in beats
    bass_steps: list
    drums: list  # (beat, kind)
    minor: bool = False


STYLES = {
    "rock": Style(132, [(0, 7, 12), (10, 17, 22), (8, 15, 20), (10, 17, 22)], "lead",
                  [0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5], [0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5],
                  [(0, "kick"), (1, "snare"), (2, "kick"), (2.5, "kick"), (3, "snare")] +
                  [(b / 2, "hat") for b in range(8)], minor=True),
    "pop": Style(112, [(0, 4, 7), (7, 11, 14), (9, 12, 16), (5, 9, 12)], "bright",
                 [0, 1, 1.5, 2, 3], [0, 1.5, 2, 3.5],
                 [(0, "kick"), (1, "snare"), (2, "kick"), (3, "snare")] + [(b / 2, "hat") for b in range(8)]),
    "salsa": Style(180, [(0, 4, 7), (5, 9, 12), (7, 11, 14), (5, 9, 12)], "piano",
                   [0, 0.5, 1.5, 2, 2.5, 3.5], [1.5, 3],
                   [(0, "clave"), (0.75 * 2, "clave"), (3, "clave"), (1, "conga"), (3.5, "conga"), (2, "conga")]),
    "romantica": Style(76, [(0, 4, 7), (9, 12, 16), (2, 5, 9), (7, 11, 14)], "soft",
                       [0, 1, 2, 2.5], [0, 2],
                       [(0, "kick"), (2, "snare")] + [(b, "hat") for b in range(4)]),
}
MAJOR, MINOR = [0, 2, 4, 5, 7, 9, 11], [0, 2, 3, 5, 7, 8, 10]


def compose(style, seconds, seed):
    """Synthesises a short instrumental in the style: chords, bass, drums and
    a melody that wanders over the scale, resolving on chord tones."""
    rng = random.Random(seed)
    style = STYLES[style]
    key = rng.choice((-9, -7, -5, -4, -2, 0))  # C to A, semitones from A4
    beat = 60 / style.bpm
    bar = 4 * beat
    buffer = [0.0] * int(seconds * RATE)
    scale = MINOR if style.minor else MAJOR
    degree = 7
    bars = math.ceil(seconds / bar)
    for b in range(bars):
        chord = style.chords[b % len(style.chords)]
        start = b * bar
        for interval in chord:
            mix_into(buffer, int(start * RATE), tone(note_frequency(key - 12 + interval), bar, "soft"), 0.12)
        for step in style.bass_steps:
            mix_into(buffer, int((start + step * beat) * RATE),
                     tone(note_frequency(key - 24 + chord[0]), beat * 0.9, "bass"), 0.35)
        for step, kind in style.drums:
            mix_into(buffer, int((start + step * beat) * RATE), drum(kind), 0.3)
        onsets = style.melody_steps + [4]
        for step, following in zip(onsets, onsets[1:]):
            degree = max(0, min(13, degree + rng.choice((-2, -1, -1, 0, 1, 1, 2))))
            semitone = scale[degree % 7] + 12 * (degree // 7)
            mix_into(buffer, int((start + step * beat) * RATE),
                     tone(note_frequency(key + semitone), (following - step) * beat * 0.95, style.lead), 0.32)
    return faded(buffer)


def faded(buffer, fade_in=0.02, fade_out=0.6):
    count = len(buffer)
    peak = max(1e-9, max(abs(s) for s in buffer))
    edge_in, edge_out = int(fade_in * RATE), int(fade_out * RATE)
    return [0.9 * s / peak * min(1.0, i / edge_in, (count - i) / edge_out) for i, s in enumerate(buffer)]


def pcm(samples):
    return struct.pack(f"<{len(samples)}h", *(int(max(-1.0, min(1.0, s)) * 32767) for s in samples))


def applause(seconds=4.0):
    """Hundreds of short noise bursts at random moments: a clapping crowd."""
    rng = random.Random("aplausos")
    buffer = [0.0] * int(seconds * RATE)
    claps = [tuple(rng.uniform(-1, 1) * math.exp(-i / RATE * 180) for i in range(int(0.03 * RATE)))
             for _ in range(12)]
    for _ in range(int(seconds * 90)):
        at = rng.random() * seconds
        mix_into(buffer, int(at * RATE), rng.choice(claps), rng.uniform(0.3, 1.0))
    return faded(buffer, 0.3, 1.2)


def booing(seconds=3.0):
    """A handful of low, falling "buuu" voices with a little vibrato."""
    rng = random.Random("abucheo")
    buffer = [0.0] * int(seconds * RATE)
    for _ in range(7):
        pitch, start = rng.uniform(95, 170), rng.uniform(0, 0.4)
        length = seconds - start - rng.uniform(0, 0.5)
        phase, voice = 0.0, []
        for i in range(int(length * RATE)):
            t = i / RATE
            frequency = pitch * (1 - 0.18 * t / length) * (1 + 0.02 * math.sin(TAU * 5.5 * t))
            phase += frequency / RATE
            saw = 2 * (phase % 1) - 1
            voice.append((saw * 0.4 + math.sin(TAU * phase)) * min(1.0, t / 0.15, (length - t) / 0.4))
        mix_into(buffer, int(start * RATE), voice, 0.3)
    return faded(buffer, 0.1, 0.5)


def coin_chime():
    """Two bright bell notes, the second ringing on."""
    samples = []
    for frequency, length, gain in ((988, 0.08, 0.8), (1319, 0.5, 0.9)):
        samples += [gain * math.exp(-i / RATE * 7) * (math.sin(TAU * frequency * i / RATE) +
                                                      0.3 * math.sin(TAU * 2 * frequency * i / RATE))
                    for i in range(int(length * RATE))]
    return faded(samples, 0.002, 0.1)


def write_wav(path, samples):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(pcm(samples))


def ffmpeg(*arguments, audio=None):
    """Runs ffmpeg quietly; audio, when given, is fed as raw mono PCM on stdin."""
    command = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y"]
    if audio is None:
        command.append("-nostdin")
    else:
        command += ["-f", "s16le", "-ar", str(RATE), "-ac", "1", "-i", "-"]
    subprocess.run(command + list(arguments), input=None if audio is None else pcm(audio), check=True)


def write_mp3(path, samples, tags=()):
    metadata = [item for name, value in tags for item in ("-metadata", f"{name}={value}")]
    ffmpeg("-codec:a", "libmp3lame", "-b:a", "96k", *metadata, path, audio=samples)


# ---------------------------------------------------------------------------
# CD+G karaoke graphics
#
# A .cdg file is the CD subcode stream: 24-byte packets, 300 per second of
# audio (75 sectors of 4 packets). A packet reads
#   byte 0      command: 0x09 for TV graphics, 0 for an empty packet
#   byte 1      instruction (low 6 bits)
#   bytes 2-3   parity Q (unused here, zero)
#   bytes 4-19  16 data bytes, 6 significant bits each
#   bytes 20-23 parity P (unused here, zero)
# Instructions used:
#   1  memory preset: data[0] = colour index filling the whole screen
#   2  border preset: data[0] = colour index of the border
#   6  tile block: data[0] = colour for 0 bits, data[1] = colour for 1 bits,
#      data[2] = tile row (0-17), data[3] = tile column (0-49),
#      data[4..15] = the tile's 12 pixel rows, 6 pixels each, leftmost pixel
#      in bit 5
#   30/31 load colour table entries 0-7 / 8-15: per entry two bytes of
#      4-bit red, green, blue as (r << 2 | g >> 2), ((g & 3) << 4 | b)
# The screen is 300 x 216 pixels (50 x 18 tiles of 6 x 12); the outer tile
# ring is the border, so text lives in columns 1-48 and rows 1-16.

CDG_PACKETS_PER_SECOND = 300
CDG_COLOURS = [(1, 2, 5), (15, 15, 15), (15, 13, 2), (0, 12, 15), (9, 10, 12), (14, 4, 10)]
CDG_BACKGROUND, CDG_WHITE, CDG_YELLOW, CDG_CYAN, CDG_GREY, CDG_MAGENTA = range(6)


def cdg_packet(instruction, data=()):
    payload = bytes(data) + bytes(16 - len(data))
    return bytes((0x09, instruction, 0, 0)) + payload + bytes(4)


def cdg_colour_tables():
    entries = CDG_COLOURS + [(0, 0, 0)] * (16 - len(CDG_COLOURS))
    packed = [b for r, g, b_ in entries for b in ((r << 2) | (g >> 2), ((g & 3) << 4) | b_)]
    return [cdg_packet(30, packed[:16]), cdg_packet(31, packed[16:])]


def cdg_clear():
    return [cdg_packet(1, (CDG_BACKGROUND, 0)), cdg_packet(2, (CDG_BACKGROUND,))]


@lru_cache(maxsize=None)
def cdg_line_tiles(words):
    """A centred line of text two tile rows high: {(row offset, column): 12 row masks}."""
    width, height = 48 * 6, 24
    image = Image.new("1", (width, height), 0)
    size = fitted_size(words, width - 12, 19)
    ImageDraw.Draw(image).text((width // 2, height // 2), words, font=font(size), fill=1, anchor="mm")
    pixels = image.load()
    tiles = {}
    for row in range(2):
        for column in range(48):
            masks = [sum(pixels[column * 6 + x, row * 12 + y] and 1 << (5 - x) for x in range(6)) for y in range(12)]
            if any(masks):
                tiles[(row, column + 1)] = masks
    return tiles


def cdg_text(words, top_row, colour, columns=range(50)):
    return [cdg_packet(6, (CDG_BACKGROUND, colour, top_row + row, column, *masks))
            for (row, column), masks in sorted(cdg_line_tiles(words).items()) if column in columns]


@dataclass
class KaraokeSong:
    title: str
    artist: str
    lyrics: list  # four lines, sung one after the other
    intro: float = 3.0
    line_seconds: float = 2.5

    @property
    def seconds(self):
        return self.intro + self.line_seconds * len(self.lyrics) + 0.5


def cdg_stream(song):
    """The packet timeline: a title card, then two lines per page, each line
    turning yellow from left to right while it is sung."""
    events = [(0.0, cdg_colour_tables() + cdg_clear() +
               cdg_text("MELODECK KARAOKE", 2, CDG_CYAN) + cdg_text(song.title, 6, CDG_WHITE) +
               cdg_text(song.artist, 9, CDG_GREY) + cdg_text("¡Prepárate para cantar!", 13, CDG_MAGENTA))]
    wipe_steps = 6
    for index, line in enumerate(song.lyrics):
        start = song.intro + index * song.line_seconds
        if index % 2 == 0:
            page = cdg_clear() + cdg_text(line, 5, CDG_WHITE)
            if index + 1 < len(song.lyrics):
                page += cdg_text(song.lyrics[index + 1], 10, CDG_WHITE)
            events.append((start - 0.4, page))
        top = 5 if index % 2 == 0 else 10
        for step in range(wipe_steps):
            columns = range(1 + 48 * step // wipe_steps, 1 + 48 * (step + 1) // wipe_steps)
            events.append((start + step * song.line_seconds / wipe_steps, cdg_text(line, top, CDG_YELLOW, columns)))
    total = int(song.seconds * CDG_PACKETS_PER_SECOND)
    packets = [bytes(24)] * total
    cursor = 0
    for at, burst in sorted(events, key=lambda e: e[0]):
        cursor = max(cursor, int(at * CDG_PACKETS_PER_SECOND))
        packets[cursor:cursor + len(burst)] = burst
        cursor += len(burst)
    return b"".join(packets[:max(total, cursor)])


# ---------------------------------------------------------------------------
# Media library

@dataclass
class Album:
    title: str
    artist: str
    tracks: list  # titles, or KaraokeSong for karaoke albums


@dataclass
class Genre:
    name: str
    look: str
    albums: list = field(default_factory=list)
    kind: str = "music"  # music, video or karaoke


LIBRARY = [
    Genre("Rock", "rock", [
        Album("Noches de Asfalto", "Los Voltios", ["Amanecer Eléctrico", "Carretera Sur", "Fuego Lento",
                                                   "Ruido Blanco"]),
        Album("Señales", "Marea Roja", ["Sin Frenos", "Luz de Neón", "Tormenta"]),
        Album("Ácido y Miel", "Los Voltios", ["Guitarra Prestada", "Motor en Marcha", "Último Tren"]),
    ]),
    Genre("Pop", "pop", [
        Album("Verano Azul", "Clara Vidal", ["Amanecer", "Bailando Sola", "Tu Canción", "Mil Colores",
                                             "Para Siempre"]),
        Album("Corazón Digital", "Nova", ["Píxel", "Mensaje de Texto", "Sin Señal"]),
        Album("Brillo", "Los Satélites", ["Estrella Fugaz", "Cometa", "Gira y Gira", "Órbita"]),
    ]),
    Genre("Salsa", "salsa", [
        Album("Sabor Caribeño", "Orquesta La Clave", ["Descarga Sabrosa", "Timbalero", "Mi Son", "La Rumba"]),
        Album("Fiesta en el Barrio", "Son de Calle", ["Guaguancó del Puerto", "Pa' Bailar", "Café con Azúcar"]),
    ]),
    Genre("Canción Romántica", "romantica", [
        Album("Cartas de Amor", "Julián Rey", ["Te Extraño", "Quédate Conmigo", "Luna de Miel", "Por Ti"]),
        Album("Boleros del Alma", "Trío Esperanza", ["Sombras de Ayer", "Reloj de Arena", "Contigo",
                                                     "Noche de Ronda Azul"]),
    ]),
    Genre("Videos", "video", [
        Album("Videos Musicales", "Melodeck TV", ["Luces de la Ciudad", "Ritmo Total", "Al Compás"]),
        Album("En Vivo", "Melodeck TV", ["Concierto Acústico", "Gira de Verano"]),
    ], kind="video"),
    Genre("Karaoke", "karaoke", [
        Album("Éxitos para Cantar", "Karaoke Melodeck", [
            KaraokeSong("Cielo de Abril", "Clara Vidal",
                        ["Bajo el cielo de abril", "canto solo para ti", "las estrellas al bailar",
                         "nos invitan a soñar"]),
            KaraokeSong("Canta Conmigo", "Los Satélites",
                        ["Canta conmigo esta canción", "deja que suene el corazón", "una voz y un solo amor",
                         "canta fuerte, canta hoy"]),
        ]),
        Album("Clásicos del Karaoke", "Karaoke Melodeck", [
            KaraokeSong("La Última Noche", "Julián Rey",
                        ["Es la última noche", "brilla toda la ciudad", "toma fuerte mi mano",
                         "y vuelve a cantar"]),
        ]),
    ], kind="karaoke"),
]

@dataclass(frozen=True)
class Lengths:
    song: tuple  # the shortest and the longest, in seconds
    video: float
    karaoke_intro: float
    karaoke_line: float


DEMO_LENGTHS = Lengths(song=(6, 9), video=5, karaoke_intro=3.0, karaoke_line=2.5)
# Just over the 2 s within which the jukebox takes a player's end for a
# failure to play (and pays the item back).
SHORT_LENGTHS = Lengths(song=(2.5, 3), video=2.5, karaoke_intro=0.5, karaoke_line=0.5)
VIDEO_PATTERNS = ["testsrc2=", "mandelbrot=", "life=ratio=0.35:mold=10:life_color=#00c4ff:death_color=#1e0a34:",
                  "smptehdbars=", "gradients=speed=0.03:"]


def track_name(number, title, extension):
    return f"{number:02d} - {title}.{extension}"


def make_song(path, look, album, number, title, lengths):
    seconds = random.Random(title).uniform(*lengths.song)
    write_mp3(path, compose(look, seconds, title),
              [("title", title), ("artist", album.artist), ("album", album.title), ("track", number)])


def make_karaoke(folder, number, song, lengths):
    song = replace(song, intro=lengths.karaoke_intro, line_seconds=lengths.karaoke_line)
    base = os.path.join(folder, track_name(number, song.title, "cdg")[:-4])
    with open(base + ".cdg", "wb") as out:
        out.write(cdg_stream(song))
    write_mp3(base + ".mp3", compose("pop", song.seconds, song.title), [("title", song.title)])


def make_video(path, pattern, title, scratch, seconds):
    caption = os.path.join(scratch, f"{title}.txt")
    with open(caption, "w", encoding="utf-8") as out:
        out.write(title)
    text_style = (f"fontfile={FONT_DIR}/LiberationSans-Bold.ttf:fontcolor=white"
                  ":box=1:boxcolor=black@0.55:boxborderw=12")
    video_filter = (f"drawtext={text_style}:textfile='{caption}':fontsize=38:x=(w-text_w)/2:y=h-90,"
                    f"drawtext={text_style}:text='MELODECK TV':fontsize=20:x=w-text_w-24:y=20")
    ffmpeg("-f", "lavfi", "-i", f"{pattern}size=640x360:rate=25",
           "-t", str(seconds), "-vf", video_filter, "-map", "1:v", "-map", "0:a",
           "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest",
           "-metadata", f"title={title}", path, audio=compose("pop", seconds, title))


def write_library(root, scratch, lengths):
    """Creates genre/album/track folders with covers; returns the audio and
    video encoding jobs, (function, arguments) pairs for a process pool."""
    jobs = []
    patterns = itertools.cycle(VIDEO_PATTERNS)
    for genre in LIBRARY:
        look = GENRE_LOOKS[genre.look]
        genre_dir = os.path.join(root, genre.name)
        # Only album folders go in a genre folder: the catalogue takes every
        # entry there for an album, so a genre picture would show as one.
        os.makedirs(genre_dir)
        for album in genre.albums:
            album_dir = os.path.join(genre_dir, album.title)
            os.makedirs(album_dir)
            save_jpg(cover_art(album.title, album.artist, look), os.path.join(album_dir, "cover.jpg"))
            for number, track in enumerate(album.tracks, 1):
                if genre.kind == "karaoke":
                    jobs.append((make_karaoke, (album_dir, number, track, lengths)))
                elif genre.kind == "video":
                    jobs.append((make_video, (os.path.join(album_dir, track_name(number, track, "mp4")),
                                              next(patterns), track, scratch, lengths.video)))
                else:
                    jobs.append((make_song, (os.path.join(album_dir, track_name(number, track, "mp3")), genre.look,
                                             album, number, track, lengths)))
    return jobs


# ---------------------------------------------------------------------------
# Configuration

MEDIA_FOLDER = "media"


def colour_value(rgb):
    """Colours are stored as red + 256 green + 65536 blue."""
    r, g, b = rgb
    return r + 256 * g + 65536 * b


# Point sizes of the panel fonts on a 1024 x 768 screen.
FONT_SIZES = {
    "genero_size": 28, "titulos_size": 15, "canciones_size": 20, "reproduccion_size": 16, "cola_size": 17,
    "modouso_size": 24, "listageneros_size": 26, "alfanumerico_size": 140, "marquee_size": 24,
}


def font_sizes(height=SCREEN_H):
    """The font sizes for a screen of that height: text grows with the panels'
    height, which the width of a wider screen leaves room for."""
    return [(key, round(size * height / SCREEN_H)) for key, size in FONT_SIZES.items()]


def configuration_lines():
    settings = [
        ("mediacontent", MEDIA_FOLDER),
        ("timeoutvideohide", 10), ("videoalpha", 1),
        ("creditscoin1", 1), ("creditscoin2", 2),
        ("playmode", "jukebox"),
        *KEYS.items(),
        ("usegenremenus", "no"), ("noshowqueue", "no"), ("soundcredit", "yes"), ("navigation4", "no"),
        ("disableKeyboard", "no"), ("touchscreen", "no"), ("phonekeyboard", "no"), ("abcportadas", "yes"),
        ("volumen", 70),
        ("mainwindowposition", "0,0"),
        *font_sizes(),
        ("genero_color", colour_value(GOLD)), ("titulos_color", colour_value(TEXT)),
        ("canciones_color", colour_value(TEXT)), ("canciones_barras_color", colour_value(SELECTION)),
        ("reproduccion_color", colour_value(TEXT)), ("cola_color", colour_value((200, 214, 255))),
        ("modouso_color", colour_value(GOLD)), ("listageneros_color", colour_value(TEXT)),
        ("listageneros_fondo_color", colour_value(PANEL)), ("listageneros_barras_color", colour_value(SELECTION)),
        ("alfanumerico_color", colour_value(GOLD)), ("alfanumerico_fondo_color", colour_value(PANEL)),
        ("marquee_color", colour_value((255, 226, 130))),
        ("skinname", SKIN_NAME),
        ("randomplay", 0),
        *PRICES.items(),
        ("countertype", "Creditos"),
        ("marquesina", "Bienvenidos a Melodeck  ·  Canción: " + credits_text(PRICES["creditsbyplay"]) +
         "  ·  Video y karaoke: " + credits_text(PRICES["creditsbyvideo"]) +
         "  ·  ¡Elige tu canción favorita y que siga la fiesta!"),
        ("numenter", "no"), ("jumpsong", "no"), ("videodriver", "x11"),
        ("periodoservicio", 0), ("mousecredit", "no"), ("califkaraoke", "yes"), ("favoritos", "no"),
        ("antivibracion", "no"),
        *((f"eqbar{band}", 0) for band in range(1, 11)),
        ("alto", SCREEN_H), ("ancho", SCREEN_W),
        # Operator menu, Wi-Fi codes, on-line search and the network checker:
        # the values the programs take when the key is missing. The network
        # has no password until the owner gives one.
        ("wifiinterface", "wlan0"), ("wpaconfig", "/etc/wpa_supplicant.conf"),
        ("cabinetuser", "plexa"), ("filemanager", "thunar"),
        ("wifiportal", "http://10.42.0.1/wifi"), ("wifissid", "Melodeck"), ("wifipassword", ""),
        ("busquedaenlinea", "ytsearch20:{text}"),
        ("checkerhost", "8.8.8.8"), ("checkerport", 53),
    ]
    return [f"{key}={value}" for key, value in settings]


# The demo's own network: its checker knocks on a loopback port nothing
# listens on, so the demo shows itself off-line and never reaches out, and
# its codes name a network of its own.
DEMO_SETTINGS = {
    "wifissid": "Melodeck Demo", "wifipassword": "rocola2026", "checkerhost": "127.0.0.1", "checkerport": 9,
}


def write_text(path, lines, encoding="cp1252"):
    """The program reads its text files as Windows-1252, one line per LF."""
    with open(path, "w", encoding=encoding, newline="\n") as out:
        out.write("".join(line + "\n" for line in lines))


# ---------------------------------------------------------------------------
# The cabinet

CABINET_FOLDERS = ("images", "skins", "publicidad")


def images():
    """Every picture the program loads, by its path in the working directory."""
    pictures = {
        f"skins/{SKIN_NAME}.jpg": skin_background(),
        "images/defaultcover.jpg": default_cover(),
        "images/teclado.png": keyboard_image(),
        "images/searchphone.png": searcher_image(),
        "images/fondo_tv.jpg": tv_picture(),
        "images/gear-icon_32x32.png": gear_icon((150, 160, 186), False),
        "images/gear-icon_32x32_2.png": gear_icon((150, 160, 186), True),
        "images/gear-icon-red_32x32.png": gear_icon(RED, False),
        "images/gear-icon-red_32x32_2.png": gear_icon(RED, True),
        "images/aceptar.png": pill_button("ACEPTAR", (24, 160, 84)),
        "images/menu.png": pill_button("MENÚ", (120, 50, 190)),
        "images/flecha_izquierda.png": arrow_button(128, "left"),
        "images/flecha_derecha.png": arrow_button(128, "right"),
        "images/flecha_arriba.png": arrow_button(90, "up"),
        "images/flecha_abajo.png": arrow_button(90, "down"),
        "images/back.png": back_button(),
        "images/onlineicon.png": status_icon(True),
        "images/offlineicon.png": status_icon(False),
        "images/05KARAOKE.jpg": low_score_screen(),
        "images/610KARAOKE.jpg": high_score_screen(),
        "images/genresdialog.png": genres_dialog(),
        "images/resultDialog.png": results_dialog(),
        "images/jumpdialog.png": jump_dialog(),
        "images/codeDialog.png": code_dialog(),
        **{f"images/{digit}.png": digit_image(digit) for digit in range(10)},
        **{f"publicidad/{name}": picture for name, picture in adverts().items()},
    }
    return pictures


def write_images(cabinet):
    for path, picture in images().items():
        target = os.path.join(cabinet, path)
        (save_png if path.endswith(".png") else save_jpg)(picture, target)


def make_crowd(path, sound):
    write_mp3(path, sound())


def write_sounds(cabinet):
    write_wav(os.path.join(cabinet, "coin.wav"), coin_chime())
    return [(make_crowd, (os.path.join(cabinet, "aplausos.mp3"), applause)),
            (make_crowd, (os.path.join(cabinet, "abucheo.mp3"), booing))]


def write_settings(cabinet):
    write_text(os.path.join(cabinet, "skins", f"{SKIN_NAME}.txt"), skin_lines())
    write_text(os.path.join(cabinet, "configuration.default"), configuration_lines())


def fit_cabinet(cabinet, screen):
    """Rewrites the skin for the screen and, in "configuration", the font
    sizes and the screen size; every other setting stays."""
    width, height = (int(value) for value in screen.split("x"))
    os.makedirs(os.path.join(cabinet, "skins"), exist_ok=True)
    write_text(os.path.join(cabinet, "skins", f"{SKIN_NAME}.txt"), skin_lines((width, height)))
    replace_settings(cabinet, dict(font_sizes(height), ancho=width, alto=height))


def replace_settings(cabinet, replaced):
    """Sets keys of the cabinet's "configuration"; every other line stays."""
    path = os.path.join(cabinet, "configuration")
    with open(path, encoding="cp1252", newline="") as settings:
        lines = settings.read().splitlines()
    kept = [line for line in lines if line.split("=", 1)[0] not in replaced]
    write_text(path, kept + [f"{key}={value}" for key, value in replaced.items()])


def fresh_folders(parent, names):
    for name in names:
        shutil.rmtree(os.path.join(parent, name), ignore_errors=True)
        os.makedirs(os.path.join(parent, name))


def run_jobs(jobs, meanwhile=lambda: None):
    """Runs (function, arguments) jobs in a process pool while meanwhile runs here."""
    with ProcessPoolExecutor() as pool:
        running = [pool.submit(function, *arguments) for function, arguments in jobs]
        meanwhile()
        for job in running:
            job.result()


def make_cabinet_files(cabinet):
    fresh_folders(cabinet, CABINET_FOLDERS)

    def pictures_and_settings():
        write_images(cabinet)
        write_settings(cabinet)

    run_jobs(write_sounds(cabinet), pictures_and_settings)


def make_demo(cabinet):
    fresh_folders(cabinet, [MEDIA_FOLDER])
    with tempfile.TemporaryDirectory() as scratch:
        run_jobs(write_library(os.path.join(cabinet, MEDIA_FOLDER), scratch, DEMO_LENGTHS))
    replace_settings(cabinet, DEMO_SETTINGS)


def make_short_media(folder):
    fresh_folders(folder, [MEDIA_FOLDER])
    with tempfile.TemporaryDirectory() as scratch:
        run_jobs(write_library(os.path.join(folder, MEDIA_FOLDER), scratch, SHORT_LENGTHS))


if __name__ == "__main__":
    makers = {"cabinet": make_cabinet_files, "demo": make_demo, "short-media": make_short_media}
    if len(sys.argv) == 4 and sys.argv[1] == "fit":
        fit_cabinet(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] in makers:
        os.makedirs(sys.argv[2], exist_ok=True)
        makers[sys.argv[1]](sys.argv[2])
    else:
        sys.exit(__doc__.strip().splitlines()[-1])
