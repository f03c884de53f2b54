#include "gui/ListBox.h"

#include <algorithm>
#include <cstring>

namespace {

// Width of the scroll bar at the right edge of the list.
constexpr int kScrollBarWidth = 20;

char* CopyText(const RString& text) {
  const char* chars = text.Chars();
  char* copy = new char[strlen(chars) + 1];
  strcpy(copy, chars);
  return copy;
}

SDL_Surface* NewRgbSurface(int w, int h) {
  return SDL_CreateRGBSurface(0, w, h, 32, 0, 0, 0, 0);
}

}  // namespace

ListBox::ListBox(SDL_Rect rect, SDL_TTFWriter* writer)
    : surface(NewRgbSurface(rect.w, rect.h)), rect(rect), innerRect(rect), writer(writer) {
  CountVisibleRows(rect.h);
}

ListBox::~ListBox() {
  DeleteTexts();
  SDL_FreeSurface(surface);
  SDL_FreeSurface(background);
}

// A font that failed to load has no height; its lists show no rows.
void ListBox::CountVisibleRows(int innerHeight) {
  nVisibles = RowHeight() > 0 ? std::max(innerHeight, 0) / RowHeight() : 0;
}

void ListBox::SetPadding(int x, int y) {
  padX = x;
  padY = y;
  const int innerWidth = rect.w - 2 * x;
  const int innerHeight = rect.h - 2 * y;
  innerRect = {static_cast<Sint16>(rect.x + x), static_cast<Sint16>(rect.y + y),
               static_cast<Uint16>(std::max(innerWidth, 0)),
               static_cast<Uint16>(std::max(innerHeight, 0))};
  CountVisibleRows(innerHeight);
}

void ListBox::SetVerticalBarColor(SDL_Color color) {
  if (surface != nullptr) barColor = SDL_MapRGB(surface->format, color.r, color.g, color.b);
}

void ListBox::AddItem(const RString& text) { items.AddItem(CopyText(text)); }

void ListBox::SetItem(const RString& text, int i) {
  RItemList* node = items.GetItemRaw(i);
  if (node == nullptr) return;
  delete[] static_cast<char*>(node->data);
  node->data = CopyText(text);
}

const char* ListBox::GetItem(int i) const { return static_cast<const char*>(items.GetItem(i)); }

void ListBox::DeleteTexts() {
  for (RItemList* node = items.GetFirst(); node != nullptr; node = node->next)
    delete[] static_cast<char*>(node->data);
  items.Clear();
}

void ListBox::Free() {
  DeleteTexts();
  primerVisible = 0;
  selected = -1;
  highlightAll = false;
}

void ListBox::SetSelected(int i) {
  highlightAll = false;
  if (i < -1 || i >= Count()) return;
  selected = i;
  if (i == -1) {
    primerVisible = 0;
    showBar = false;
  } else if (Count() < nVisibles) {
    primerVisible = 0;
  } else if (i + nVisibles < Count()) {
    primerVisible = i;
  } else {
    primerVisible = Count() - nVisibles;
  }
}

void ListBox::Down() {
  if (selected < Count() - 1) {
    ++selected;
    if (selected - primerVisible > nVisibles - 1) ++primerVisible;
  }
  highlightAll = false;
}

void ListBox::Up() {
  if (selected > 0) {
    --selected;
    if (selected < primerVisible) primerVisible = selected;
  }
  highlightAll = false;
}

void ListBox::SaveBackground(SDL_Surface* screen, const SDL_Rect* area) {
  if (background == nullptr) background = NewRgbSurface(rect.w, rect.h);
  if (background == nullptr) return;
  SDL_Rect source = area != nullptr ? *area : rect;
  SDL_BlitSurface(screen, &source, background, nullptr);
}

void ListBox::FillOnSurface(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  SDL_Rect area = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                   static_cast<Uint16>(h)};
  SDL_FillRect(surface, &area, barColor);
}

void ListBox::Draw(SDL_Surface* screen, bool highlight) {
  if (surface == nullptr) return;
  if (background != nullptr) SDL_BlitSurface(background, nullptr, surface, nullptr);
  highlightAll = highlight;
  if (highlightAll)
    SDL_FillRect(surface, nullptr, barColor);
  else if (selected != -1)
    FillOnSurface(padX, (selected - primerVisible) * RowHeight() + padY, innerRect.w, RowHeight());
  DrawRows();
  if (showBar) DrawScrollBar();
  if (screen != nullptr) Update(screen);
}

void ListBox::DrawRows() {
  RItemList* node = items.GetItemRaw(primerVisible);
  for (int row = 0; node != nullptr && row < nVisibles; ++row, node = node->next) {
    writer->DrawText2(surface, static_cast<const char*>(node->data), padX,
                      padY + row * RowHeight(), innerRect.w);
  }
}

// The thumb's height is the visible share of the list's height; its top
// moves in equal steps from the top to the bottom as the list scrolls.
void ListBox::DrawScrollBar() {
  if (Count() <= nVisibles) return;
  const int thumbHeight = static_cast<int>(static_cast<double>(nVisibles) / Count() * rect.h);
  const int thumbTop = static_cast<int>(static_cast<double>(rect.h - thumbHeight) /
                                        (Count() - nVisibles) * primerVisible);
  FillOnSurface(rect.w - kScrollBarWidth, thumbTop, kScrollBarWidth, thumbHeight);
}

void ListBox::Update(SDL_Surface* screen) {
  SDL_Rect where = rect;
  SDL_BlitSurface(surface, nullptr, screen, &where);
  SDL_UpdateRect(screen, rect.x, rect.y, rect.w, rect.h);
}

bool ListBox::MustMove(const RString& text) const {
  int width = 0;
  writer->SizeText(text.c_str(), &width, nullptr);
  return width > rect.w - kScrollBarWidth;
}
