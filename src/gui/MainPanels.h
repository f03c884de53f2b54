#pragma once
// The main screen's panels apart from the rest of the GUI: genre header,
// disc titles and covers, tracks, queue, credits, now playing, the playing
// item's cover, volume and the touch buttons. They draw the GUI's state.
#include <SDL.h>

#include "base/RString.h"

class SDLGui;
struct QueueElement;

class MainPanels {
 public:
  explicit MainPanels(SDLGui& gui) : gui(gui) {}
  MainPanels(const MainPanels&) = delete;
  MainPanels& operator=(const MainPanels&) = delete;

  // Each Draw... composes its panel off-screen over its piece of the
  // background and, with update, shows it; each Update... copies the composed
  // panel to the screen and updates exactly its rectangle.
  void DrawGenre(bool update);
  void UpdateGenre();
  void DrawTitles(bool update);
  void UpdateTitles();
  void DrawCovers(bool update);
  void UpdateCovers();
  void DrawTracks(bool update);
  void UpdateTracks();
  // The waiting entries; entries whose track is gone leave the queue here.
  void DrawQueue(bool update);
  void UpdateQueue();
  void DrawCredits(bool update);
  void UpdateCredits();
  void DrawPlayingInfo(bool update);
  // Shows the panel only on the main screen.
  void UpdatePlayingInfo();
  void DrawCoverMedia(bool update);
  void UpdateCoverMedia();
  void DrawVolumen(bool update);
  void UpdateVolumen();
  // The six touch buttons, straight onto the screen.
  void DrawButtons(bool update);

  // A numbered row "007.- text": the number zero-padded to as many digits
  // as count has.
  static RString NumberedRow(int number, int count, const RString& text);
  // The decimal digits of a count: the width of numbered rows and of typed
  // album and track numbers.
  static int DigitCount(int count);
  // A track title as shown: without its extension.
  static RString ShownTitle(const RString& title);
  // Whether the entry still names a track of the catalogue.
  bool TrackExists(const QueueElement& entry) const;

  // The panel's rectangle of the background becomes save's backdrop.
  void ComposePanel(SDL_Surface* save, int x, int y);
  // Copies save onto the screen at (x, y); ShowPanel also shows that
  // rectangle.
  void PlacePanel(SDL_Surface* save, int x, int y);
  void ShowPanel(SDL_Surface* save, int x, int y);

 private:
  RString CreditsText() const;
  RString GenreHeader() const;
  void DrawSelectedCover(SDL_Surface* enlarged);

  SDLGui& gui;
};
