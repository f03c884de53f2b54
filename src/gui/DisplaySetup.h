#pragma once
// The display's set-up at start: the video mode, the text writers, the
// panels' surfaces and the lists, every image, the video window and the
// TV-out picture, filled into the GUI's state.
#include <SDL.h>

#include <cstddef>
#include <memory>

#include "base/RString.h"
#include "gui/ListBox.h"
#include "gui/Surface.h"
#include "gui/fontsdl.h"

class SDLGui;

class DisplaySetup {
 public:
  explicit DisplaySetup(SDLGui& gui) : gui(gui) {}
  DisplaySetup(const DisplaySetup&) = delete;
  DisplaySetup& operator=(const DisplaySetup&) = delete;

  // SDL's video subsystem and the video mode (doubled in width with TV-out);
  // 0 with a log line on failure.
  int OpenDisplay();
  // The ten writers from "arial.ttf" with the configured sizes and colours.
  // Without the font the screen would show no credits, titles or prices:
  // false then.
  bool LoadWriters();
  // Panel save surfaces, key highlights and list boxes (the operator
  // menu's too); returns the genres list's row count.
  int ReserveSurfaces();
  // Every image of the screens; false when a required one is missing (the
  // later ones are then not loaded).
  bool LoadImages();
  // Places SDL's window and creates the video window over the media panel,
  // or over the TV-out area; 0 when the window system refused it.
  int CreatePlayerWindow();
  void PlaceCursor();
  void PrepareTvOut();
  std::unique_ptr<ListBox> NewList(const SDL_Rect& area, SDL_TTFWriter& writer, bool withBar);

 private:
  // One image file, the size it is scaled to (0 × 0 keeps its own) and the
  // line printed when it cannot be loaded (none when null).
  struct ImageSpec {
    RString file;
    Surface* slot;
    int width;
    int height;
    const char* missing;
  };
  bool LoadImage(const ImageSpec& image);
  template <size_t N>
  bool LoadAll(const ImageSpec (&images)[N]);
  void LoadDialogImage(const char* file, Surface& image, Surface& save);
  void CreateSearcherLists();
  void PlaceWindowOnPrimaryMonitor();
  void ListAdvertising();

  SDLGui& gui;
  Uint32 videoModeFlags = 0;
};
