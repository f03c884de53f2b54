#pragma once
// A scrolling list of text rows with one selected row and a scroll bar. The
// list draws itself into a surface of its own size and shows it with one
// blit, so moving the selection redraws only the list.
#include <SDL.h>

#include "base/RList.h"
#include "base/RString.h"
#include "gui/fontsdl.h"

class ListBox {
 public:
  // An empty list with row 0 selected; writer (not owned) gives the rows'
  // font, colour and height.
  ListBox(SDL_Rect rect, SDL_TTFWriter* writer);
  ~ListBox();
  ListBox(const ListBox&) = delete;
  ListBox& operator=(const ListBox&) = delete;

  // Shrinks the text area by padX and padY on each side.
  void SetPadding(int padX, int padY);
  // Colour of the selection bar and the scroll bar.
  void SetVerticalBarColor(SDL_Color color);

  void AddItem(const RString& text);
  // Replaces item i; nothing happens when there is no item i.
  void SetItem(const RString& text, int i);
  // The list's own copy of item i; null when there is no item i.
  const char* GetItem(int i) const;
  int Count() const { return items.Count(); }
  // Drops every item and the selection.
  void Free();

  int GetSelected() const { return selected; }
  // Selects item i and scrolls it into view; -1 leaves the list without
  // selection and without scroll bar for good. Other indexes outside the
  // list are ignored.
  void SetSelected(int i);
  // Move the selection one row, scrolling when it leaves the view; no wrap.
  void Up();
  void Down();

  int GetNVisibles() const { return nVisibles; }
  // The drawing surface, for callers that paint the backdrop before Draw.
  SDL_Surface* GetSurface() const { return surface; }
  // Copies area of screen (rect when null) as the backdrop of every Draw.
  void SaveBackground(SDL_Surface* screen, const SDL_Rect* area);
  // Renders the list, all of it highlighted when highlight is true, and
  // shows it when screen is not null.
  void Draw(SDL_Surface* screen, bool highlight);
  // Shows the last rendering on screen.
  void Update(SDL_Surface* screen);
  // Whether text is too wide for a row and must scroll sideways instead.
  bool MustMove(const RString& text) const;

  SDL_Surface* surface = nullptr;
  SDL_Surface* background = nullptr;
  SDL_Rect rect;
  SDL_Rect innerRect;
  RList items;  // owned char[] copies
  SDL_TTFWriter* writer;
  int primerVisible = 0;
  int nVisibles = 0;
  int selected = 0;
  bool showBar = true;
  Uint32 barColor = 0;
  int padX = 0;
  int padY = 0;
  bool highlightAll = false;

 private:
  int RowHeight() const { return writer->GetFontHeight(); }
  void CountVisibleRows(int innerHeight);
  void FillOnSurface(int x, int y, int w, int h);
  void DrawRows();
  void DrawScrollBar();
  void DeleteTexts();
};
