#pragma once
// SDL_TTFWriter: one TrueType font at one point size with one text colour,
// the way every text of the program reaches the screen. Texts are
// Windows-1252, one byte per character; they are measured and rendered as
// the Unicode characters those bytes stand for.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>

#include "base/RString.h"

class SDL_TTFWriter {
 public:
  // Initialises SDL_ttf when nobody has yet.
  SDL_TTFWriter();
  ~SDL_TTFWriter();
  SDL_TTFWriter(const SDL_TTFWriter&) = delete;
  SDL_TTFWriter& operator=(const SDL_TTFWriter&) = delete;

  // Opens the font file (an internal path) at size points. On failure the
  // writer is left without a font and draws nothing.
  bool LoadFont(const RString& path, SDL_Color textColor, unsigned size);
  TTF_Font* GetFont() const { return font; }
  int GetFontHeight() const { return fontHeight; }

  // Pixel size of a text as DrawText2 would draw it unshortened; false (and
  // 0 × 0) without a font. Use this rather than TTF_SizeText on GetFont(),
  // which would read the bytes 0x80-0x9F as control characters.
  bool SizeText(const char* text, int* w, int* h) const;

  // Renders at most 511 characters of text. With maxWidth non-zero the text
  // first loses characters from its end until it is narrower than maxWidth,
  // but never its first one. With a null target the new surface is returned
  // and the caller frees it; otherwise it is blitted onto target at (x, y)
  // and the result only tells success (non-null) from failure.
  SDL_Surface* DrawText2(SDL_Surface* target, const char* text, unsigned x, unsigned y,
                         unsigned maxWidth);

  TTF_Font* font = nullptr;
  SDL_Color color = {0, 0, 0, 0};
  int32_t fontHeight = 0;
};
