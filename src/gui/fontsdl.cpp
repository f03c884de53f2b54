#include "gui/fontsdl.h"

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "platform/Paths.h"

namespace {

// Texts longer than this are cut before they are measured for drawing.
constexpr size_t kMaxDrawnLength = 511;

// The NUL-terminated UCS-2 form of at most maxLength characters of a
// Windows-1252 text; a null text is empty. SDL_ttf's 8-bit calls would take
// the bytes as Latin-1 and turn "€" or the curly quotes into controls.
std::vector<Uint16> ToUcs2(const char* text, size_t maxLength) {
  std::vector<Uint16> chars;
  for (; text != nullptr && *text != '\0' && chars.size() < maxLength; ++text)
    chars.push_back(platform::Windows1252ToUnicode(static_cast<unsigned char>(*text)));
  chars.push_back(0);
  return chars;
}

bool MeasureUcs2(TTF_Font* font, const Uint16* chars, int* w, int* h) {
  int width = 0;
  int height = 0;
  const bool measured = font != nullptr && TTF_SizeUNICODE(font, chars, &width, &height) == 0;
  if (w != nullptr) *w = measured ? width : 0;
  if (h != nullptr) *h = measured ? height : 0;
  return measured;
}

// Drops characters from the end until the text is narrower than maxWidth,
// keeping at least the first one.
void ShortenToWidth(TTF_Font* font, std::vector<Uint16>& chars, unsigned maxWidth) {
  for (int i = static_cast<int>(chars.size()) - 2; i > 0; --i) {
    int width = 0;
    MeasureUcs2(font, chars.data(), &width, nullptr);
    if (static_cast<unsigned>(width) < maxWidth) return;
    chars[i] = 0;
  }
}

SDL_Surface* RenderUcs2(TTF_Font* font, const Uint16* chars, SDL_Color color) {
  if (font == nullptr) {
    SDL_SetError("no font loaded");
    return nullptr;
  }
  return TTF_RenderUNICODE_Blended(font, chars, color);
}

}  // namespace

SDL_TTFWriter::SDL_TTFWriter() {
  if (TTF_WasInit() == 0 && TTF_Init() == -1) printf("Error: TTF_Init: %s\n", SDL_GetError());
}

SDL_TTFWriter::~SDL_TTFWriter() {
  if (font != nullptr && TTF_WasInit() != 0) TTF_CloseFont(font);
}

bool SDL_TTFWriter::LoadFont(const RString& path, SDL_Color textColor, unsigned size) {
  if (font != nullptr) TTF_CloseFont(font);
  const std::string hostPath = platform::ToHostPath(path.Chars());
  font = TTF_OpenFont(hostPath.c_str(), static_cast<int>(size));
  if (font == nullptr) {
    printf("TTF_OpenFont: %s\n", SDL_GetError());
    return false;
  }
  fontHeight = TTF_FontHeight(font);
  color = textColor;
  return true;
}

bool SDL_TTFWriter::SizeText(const char* text, int* w, int* h) const {
  const std::vector<Uint16> chars = ToUcs2(text, std::numeric_limits<size_t>::max());
  return MeasureUcs2(font, chars.data(), w, h);
}

SDL_Surface* SDL_TTFWriter::DrawText2(SDL_Surface* target, const char* text, unsigned x,
                                      unsigned y, unsigned maxWidth) {
  std::vector<Uint16> chars = ToUcs2(text, kMaxDrawnLength);
  if (maxWidth != 0) ShortenToWidth(font, chars, maxWidth);

  SDL_Surface* rendered = RenderUcs2(font, chars.data(), color);
  if (rendered == nullptr) {
    printf("Error al crear texto: %s\n", SDL_GetError());
    return nullptr;
  }
  if (target == nullptr) return rendered;

  SDL_Rect where = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
  SDL_BlitSurface(rendered, nullptr, target, &where);
  SDL_FreeSurface(rendered);
  return target;
}
