#pragma once
// The phone-keypad searcher (the keyboard screen with phonekeyboard): its
// keys, its drawing and the search while typing, apart from the rest of the
// GUI. It works on the GUI's typed text, lists and pictures.
#include <SDL.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/RString.h"
#include "catalogue/CatalogueSearch.h"
#include "programs/OnlineSearchRun.h"

class SDLGui;

class SearcherScreen {
 public:
  explicit SearcherScreen(SDLGui& gui) : gui(gui) {}
  SearcherScreen(const SearcherScreen&) = delete;
  SearcherScreen& operator=(const SearcherScreen&) = delete;

  // The searcher image over what it covered, the typed text, and with lists
  // both result lists.
  void DrawSearch(bool withLists);
  void keydown_searcher(int key);
  // One slice of the search while typing: at most 99 albums and tracks
  // examined, going on where the last slice stopped (from the start with
  // restart). Albums whose title holds every word go to the first list,
  // tracks to the second. Nothing below 3 characters. Whether the slice
  // listed a match or stopped early.
  bool AsyncSearch(bool restart);
  // The on-line search for the text, once per text: the script is started
  // here, and its results follow the track matches in the second list once
  // FollowOnlineSearch finds it through.
  void youtube_search();
  // Each pass: whether the on-line search script has ended or run past
  // kOnlineSearchLimit (it is then stopped); its results are listed then.
  void FollowOnlineSearch();
  // While it runs, input is kept for after it, as during any wait.
  bool OnlineSearchRunning() const { return onlineSearch.Running(); }
  // The searcher's image rectangle on the screen.
  SDL_Rect SearcherArea() const;
  // Where the typed text starts inside the searcher image.
  static constexpr int kTextX = 120, kTextY = 42;
  static constexpr uint32_t kOnlineSearchLimit = 30000;

 private:
  // Multi-tap letters of n2..n9, and left/right stepping the last letter.
  void TypeKeypadLetter(const char* letters);
  void StepSearcherLetter(int step);
  void SearcherEnter();
  void SearchOnline();
  void StartDownloadOfRow(int row);
  // The results listed, to be drawn as the search closes; ended is false
  // when the script could not start or had to be stopped.
  void ListOnlineResults(bool ended);
  // The message taken away, the search while typing ended.
  void CloseOnlineSearch();
  void ReadOnlineResults();
  bool PauseSearch(bool listed, bool beforeTrack);
  void ShowSpinnerStep();

  static constexpr uint32_t kMultiTapTimeout = 1500;

  SDLGui& gui;
  // Where the search while typing goes on, and for which text.
  std::optional<CatalogueWalk> searchWalk;
  uint8_t spinnerPhase = 0;
  uint8_t onlineSearchDone = 0;
  RString searchedText = "";
  std::vector<std::string> searchWords;
  OnlineSearchRun onlineSearch{kOnlineSearchLimit};
};
