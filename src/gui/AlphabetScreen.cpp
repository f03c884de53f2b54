// The alphabet jump: one big letter stepped round the alphabet, and a jump
// to the first album of the genre at that letter.
#include "gui/AlphabetScreen.h"

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"

void AlphabetScreen::keydown_abclist(int key) {
  if (SDLGui::KeyIs(key, gui.config->up) || SDLGui::KeyIs(key, gui.config->left) ||
      SDLGui::KeyIs(key, gui.config->abcprev)) {
    StepLetter(-1);
  } else if (SDLGui::KeyIs(key, gui.config->down) || SDLGui::KeyIs(key, gui.config->right) ||
             SDLGui::KeyIs(key, gui.config->abcnext)) {
    StepLetter(1);
  } else if (SDLGui::KeyIs(key, gui.config->menu)) {
    OpenKeyboardFromAlphabet();
  } else if (SDLGui::KeyIs(key, gui.config->cancel) || SDLGui::KeyIs(key, gui.config->abc)) {
    gui.CloseDialog();
  } else if (SDLGui::KeyIs(key, gui.config->enter)) {
    JumpToLetter();
  } else {
    gui.CommonDialogKey(key, true);
  }
}

// Round from Z to A and from A to Z.
void AlphabetScreen::StepLetter(int step) {
  gui.abcLetter =
      step < 0 ? (gui.abcLetter < 'B' ? 'Z' : gui.abcLetter - 1) : (gui.abcLetter >= 'Z' ? 'A' : gui.abcLetter + 1);
  DrawABC();
}

// In a genre without albums the selection stays.
void AlphabetScreen::JumpToLetter() {
  const int album = gui.Carousel().SelectedGenreDiscs() > 0 ? gui.library->SearchAlbumChar(gui.selGenre, gui.abcLetter) : -1;
  if (album >= 0) gui.selDisc = static_cast<uint32_t>(album);
  gui.selTrack = 0;
  gui.Carousel().ResetCoversCache();
  gui.CloseDialog();
}

void AlphabetScreen::DrawABC() {
  if (gui.jumpDialogImage == nullptr) return;
  RString letter;
  letter.sprintf("%c", gui.abcLetter);
  int letterW = 0, letterH = 0;
  gui.alphabetFont.SizeText(letter.Chars(), &letterW, &letterH);
  const SDL_Rect area = SDLGui::MakeRect(gui.skin->width / 2 - gui.jumpDialogImage->w / 2,
                                         gui.skin->height / 2 - gui.jumpDialogImage->h / 2, gui.jumpDialogImage->w,
                                         gui.jumpDialogImage->h);
  SDL_Rect to = area;
  SDL_BlitSurface(gui.jumpDialogImage, nullptr, gui.screen, &to);
  gui.alphabetFont.DrawText2(gui.screen, letter.Chars(), gui.skin->width / 2 - letterW / 2,
                             gui.skin->height / 2 - letterH / 2, gui.jumpDialogImage->w + 100);
  gui.UpdateScreenArea(area);
}

// A genre without albums opens at "A", as does an initial out of A..Z.
void AlphabetScreen::OpenAlphabetAtInitial(bool upperCase) {
  if (!gui.CanEnter(SDLGui::kAlphabetScreen)) return;
  gui.enteringTrack = 0;
  gui.dialog = SDLGui::kAlphabetScreen;
  int initial = gui.Carousel().SelectedGenreDiscs() > 0 ? gui.library->GetDiscTitle(gui.selGenre, gui.selDisc).GetChar(0) : 0;
  if (upperCase && initial >= 'a' && initial <= 'z') initial += 'A' - 'a';
  gui.abcLetter = initial >= 'A' && initial <= 'Z' ? initial : 'A';
  gui.RedrawCurrentDialog();
}

// The text typed so far stays, the cursor at its start.
void AlphabetScreen::OpenKeyboardFromAlphabet() {
  if (gui.config->disableKeyboard || !gui.CanEnter(SDLGui::kKeyboardScreen)) {
    gui.CloseDialog();
    return;
  }
  gui.cursorPos = 0;
  gui.mainScreen.ShowKeyboardScreen();
}
