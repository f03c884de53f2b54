#pragma once
// The on-screen keyboard (the keyboard screen without phonekeyboard) and
// the results of its search (screen 4): their keys, touches and drawing,
// apart from the rest of the GUI. They work on the GUI's typed text and
// results list.
#include <SDL.h>

#include "base/RString.h"
#include "gui/SongSearch.h"
#include "playback/Queue.h"

class DiscElement;
class GenreElement;
class SDLGui;

class KeyboardScreen {
 public:
  explicit KeyboardScreen(SDLGui& gui) : gui(gui) {}
  KeyboardScreen(const KeyboardScreen&) = delete;
  KeyboardScreen& operator=(const KeyboardScreen&) = delete;

  // A highlight moved over 42 keys, enter types or acts.
  void DrawKeyboard();
  void keydown_keyboard(int key);
  // The left button on the keyboard screen; false when the pending input
  // is to be kept (the search key).
  bool TouchKeyboard(int x, int y);
  // The keyboard image's rectangle on the screen: centred horizontally,
  // 50 pixels above the vertical centre.
  SDL_Rect KeyboardArea() const;
  // Where the typed text starts inside the keyboard image.
  static constexpr int kTextX = 40, kTextY = 20;
  // Fills resultsList (and resultEntries) with the tracks whose album or
  // track title holds every word of searchText (SongSearch) at once;
  // whether any did.
  bool FindSong();
  // Each pass: the next slice of a search started from the keyboard; at its
  // end the results open, or the customer is told there are none.
  void FollowSongSearch();
  // While it runs, input is kept for after it, as during any wait.
  bool SongSearchRunning() const { return songSearch.Running(); }
  // Each row of the results leads to its track on the main screen.
  void keydown_result(int key);

 private:
  // The highlight image of a key: wide for erase and search, the space
  // bar's, or the ordinary one.
  SDL_Surface* KeyHighlightOf(int index) const;
  // The key under a screen point, or -1.
  int KeyboardKeyAtPoint(int x, int y) const;
  // Keys 37, 38, 40 and the typing keys applied to searchText and cursorPos.
  void EditSearchText(int index);
  void PressKeyboardKey(int index);
  // Searches searchText, its first slice at once (FollowSongSearch). Nothing
  // for an empty text.
  void SearchFromKeyboard();
  void StartSongSearch();
  void WalkSongSearch();
  // The first result selected; whether there is one.
  bool ListedSongs();
  // With matches the results open, without them the customer is told so.
  void EndSongSearch();
  void AddResult(const QueueElement& position, const GenreElement& genre, const DiscElement& disc,
                 const RString& track);
  void ShowResults();
  void ChooseResult();

  SDLGui& gui;
  SongSearch songSearch{[this](const CataloguePlace& at, const GenreElement& genre, const DiscElement& disc,
                               const RString& track) {
    AddResult(QueueElement{at.genre, at.disc, at.track, 0}, genre, disc, track);
  }};
};
