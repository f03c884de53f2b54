#pragma once
// The alphabet (screen 2): one big letter, stepped round A..Z; enter jumps
// to the first album of the genre at that letter. Its keys and drawing,
// apart from the rest of the GUI; the letter is the GUI's abcLetter.
class SDLGui;

class AlphabetScreen {
 public:
  explicit AlphabetScreen(SDLGui& gui) : gui(gui) {}
  AlphabetScreen(const AlphabetScreen&) = delete;
  AlphabetScreen& operator=(const AlphabetScreen&) = delete;

  void keydown_abclist(int key);
  void DrawABC();
  // The alphabet at the selected album's initial, upper-cased or as it is.
  void OpenAlphabetAtInitial(bool upperCase);
  void OpenAlphabetNext() { OpenAlphabetAtInitial(true); }
  void OpenAlphabetPrev() { OpenAlphabetAtInitial(false); }

 private:
  void StepLetter(int step);
  void JumpToLetter();
  // menu on the alphabet: the keyboard with the text typed so far.
  void OpenKeyboardFromAlphabet();

  SDLGui& gui;
};
