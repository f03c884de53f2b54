// The alphabet jump: one big letter stepped round the alphabet, and a jump
// to the first album of the genre at that letter.
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"

void SDLGui::keydown_abclist(int key) {
  if (KeyIs(key, config->up) || KeyIs(key, config->left) || KeyIs(key, config->abcprev)) {
    StepLetter(-1);
  } else if (KeyIs(key, config->down) || KeyIs(key, config->right) || KeyIs(key, config->abcnext)) {
    StepLetter(1);
  } else if (KeyIs(key, config->menu)) {
    OpenKeyboardFromAlphabet();
  } else if (KeyIs(key, config->cancel) || KeyIs(key, config->abc)) {
    CloseDialog();
  } else if (KeyIs(key, config->enter)) {
    JumpToLetter();
  } else {
    CommonDialogKey(key, true);
  }
}

// Round from Z to A and from A to Z.
void SDLGui::StepLetter(int step) {
  abcLetter = step < 0 ? (abcLetter < 'B' ? 'Z' : abcLetter - 1) : (abcLetter >= 'Z' ? 'A' : abcLetter + 1);
  DrawABC();
}

// In a genre without albums the selection stays.
void SDLGui::JumpToLetter() {
  const int album = SelectedGenreDiscs() > 0 ? library->SearchAlbumChar(selGenre, abcLetter) : -1;
  if (album >= 0) selDisc = static_cast<uint32_t>(album);
  selTrack = 0;
  ResetCoversCache();
  CloseDialog();
}

void SDLGui::DrawABC() {
  if (jumpDialogImage == nullptr) return;
  RString letter;
  letter.sprintf("%c", abcLetter);
  int letterW = 0, letterH = 0;
  alphabetFont.SizeText(letter.Chars(), &letterW, &letterH);
  const SDL_Rect area = MakeRect(skin->width / 2 - jumpDialogImage->w / 2, skin->height / 2 - jumpDialogImage->h / 2,
                                 jumpDialogImage->w, jumpDialogImage->h);
  SDL_Rect to = area;
  SDL_BlitSurface(jumpDialogImage, nullptr, screen, &to);
  alphabetFont.DrawText2(screen, letter.Chars(), skin->width / 2 - letterW / 2, skin->height / 2 - letterH / 2,
                         jumpDialogImage->w + 100);
  UpdateScreenArea(area);
}

// A genre without albums opens at "A", as does an initial out of A..Z.
void SDLGui::OpenAlphabetAtInitial(bool upperCase) {
  if (!CanEnter(kAlphabetScreen)) return;
  enteringTrack = 0;
  dialog = kAlphabetScreen;
  int initial = SelectedGenreDiscs() > 0 ? library->GetDiscTitle(selGenre, selDisc).GetChar(0) : 0;
  if (upperCase && initial >= 'a' && initial <= 'z') initial += 'A' - 'a';
  abcLetter = initial >= 'A' && initial <= 'Z' ? initial : 'A';
  RedrawCurrentDialog();
}

// The text typed so far stays, the cursor at its start.
void SDLGui::OpenKeyboardFromAlphabet() {
  if (config->disableKeyboard || !CanEnter(kKeyboardScreen)) {
    CloseDialog();
    return;
  }
  cursorPos = 0;
  mainScreen.ShowKeyboardScreen();
}
