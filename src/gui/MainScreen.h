#pragma once
// The main screen's keys (screen 0): moving through albums and tracks,
// typing album and track numbers, the operator-menu access sequence and
// opening the other screens, and the selected title's scroll, apart from the
// rest of the GUI. They work on the GUI's selection.
#include <cstdint>

#include "base/RString.h"

class SDLGui;

class MainScreen {
 public:
  explicit MainScreen(SDLGui& gui) : gui(gui) {}
  MainScreen(const MainScreen&) = delete;
  MainScreen& operator=(const MainScreen&) = delete;

  // One key on the main screen: the operator-menu access sequence first,
  // then the first key role bound to key.
  void keydown_main(int key);
  // Track selection one row up / down, wrapping at the album's ends.
  void keydown_main_up();
  void keydown_main_down();
  // Album selection one (four with navigation4) back / on, sliding the
  // carousel; genres of three albums or fewer do not wrap. Both end any
  // number entry.
  void keydown_main_left();
  void keydown_main_right();
  // "0".."9" when key is bound to n0..n9, the empty text otherwise.
  RString GetNumber(int key) const;
  // The access sequence's keys after the long coin press: up, then down.
  int MenuSequenceKey(int step) const;
  // The keyboard or the searcher drawn over the main screen, with
  // searchText as it is.
  void ShowKeyboardScreen();
  // The selected title starts again from its beginning after a pause.
  void RestartTitleScroll();
  // A selected title too wide for the tracks list scrolls, on the main
  // screen only.
  void ScrollSelectedTitle();
  void SideKeyReleased() { sideKeyHeldSince = 0; }

 private:
  // Whether the key is the step's sequence key; it then advances the
  // sequence instead of doing its own action.
  bool AdvanceMenuSequence(int key);
  void DispatchMainKey(int key);
  void PowerOffMachine();
  void OpenGenresListScreen();
  void OpenKeyboardOrSearcher();
  void DiscoverKey();
  void SellWifiCode();
  void OpenAlphabetAfterLongHold();
  void MoveAlbum(int step);
  void TypeDigit(int key);
  void TypeAlbumDigit();
  void TypeTrackDigit();
  void CancelDigit();
  void FinishTrackMove();
  // The selected track's row, its title starting offset characters on.
  RString SelectedTrackRow(uint32_t offset) const;
  void StepTitleScroll();

  SDLGui& gui;
  // When the side key started being held (0: it is up).
  uint32_t sideKeyHeldSince = 0;
};
