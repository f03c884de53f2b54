// The on-screen keyboard and the results of its search: the customer
// moves a highlight over 42 keys to type a text, searches the catalogue's
// album and track titles for every word of it, and picks a track among the
// matches.
#include "gui/KeyboardScreen.h"

#include <cstdint>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/KeyboardLayout.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"

namespace {

// Where the first key's corner lies inside the keyboard image.
const int kFirstKeyX = 20, kFirstKeyY = 80;
const int kKeyboardAboveCentre = 50;

bool Inside(const SDL_Rect& area, int x, int y) {
  return x >= area.x && x < area.x + area.w && y >= area.y && y < area.y + area.h;
}

// Albums and tracks a pass of the main loop examines: a few milliseconds.
const int kSongSearchSlice = 20000;

// The results dialog stands on the middle of a 1024 × 768 screen.
const int kResultsCentreX = 512, kResultsCentreY = 384;

}  // namespace

SDL_Surface* KeyboardScreen::KeyHighlightOf(int index) const {
  if (index == keyboard::kEraseKey || index == keyboard::kSearchKey) return gui.keyHighlights[1];
  if (index == keyboard::kSpaceKey) return gui.keyHighlights[2];
  return gui.keyHighlights[0];
}

SDL_Rect KeyboardScreen::KeyboardArea() const {
  const int w = gui.keyboardImage != nullptr ? gui.keyboardImage->w : 0;
  const int h = gui.keyboardImage != nullptr ? gui.keyboardImage->h : 0;
  return SDLGui::MakeRect(gui.skin->width / 2 - w / 2, gui.skin->height / 2 - h / 2 - kKeyboardAboveCentre, w, h);
}

// Key edges are exclusive on all four sides.
int KeyboardScreen::KeyboardKeyAtPoint(int x, int y) const {
  const SDL_Rect keyboard = KeyboardArea();
  for (int index = 0; index < keyboard::kKeyCount; ++index) {
    const SDL_Surface* highlight = KeyHighlightOf(index);
    if (highlight == nullptr) continue;
    const keyboard::Key& key = keyboard::KeyOf(index);
    const int left = keyboard.x + key.x + kFirstKeyX;
    const int top = keyboard.y + key.y + kFirstKeyY;
    if (x > left && x < left + highlight->w && y > top && y < top + highlight->h) return index;
  }
  return -1;
}

void KeyboardScreen::EditSearchText(int index) {
  switch (index) {
    case keyboard::kCursorRightKey:
      if (gui.cursorPos < gui.searchText.GetLength()) ++gui.cursorPos;
      break;
    case keyboard::kCursorLeftKey:
      if (gui.cursorPos > 0) --gui.cursorPos;
      break;
    case keyboard::kEraseKey:
      if (gui.cursorPos > 0) gui.searchText.RemoveChar(--gui.cursorPos);
      break;
    case keyboard::kSearchKey:
      break;
    default:
      gui.searchText.InsertChar(static_cast<char>(keyboard::KeyOf(index).character), gui.cursorPos++);
      break;
  }
}

void KeyboardScreen::DrawKeyboard() {
  if (gui.keyboardImage == nullptr) return;
  const SDL_Rect area = KeyboardArea();
  SDL_Rect to = area;
  SDL_BlitSurface(gui.keyboardImage, nullptr, gui.screen, &to);
  if (gui.searchText.GetLength() > 0)
    gui.keyboardFont.DrawText2(gui.screen, gui.searchText.Chars(), area.x + kTextX, area.y + kTextY,
                               gui.keyboardImage->w - kTextX);
  const keyboard::Key& key = keyboard::KeyOf(gui.keyboardKey);
  to = SDLGui::MakeRect(area.x + kFirstKeyX + key.x, area.y + kFirstKeyY + key.y, 0, 0);
  SDL_BlitSurface(KeyHighlightOf(gui.keyboardKey), nullptr, gui.screen, &to);
  gui.UpdateScreenArea(area);
}

void KeyboardScreen::keydown_keyboard(int key) {
  if (SDLGui::KeyIs(key, gui.config->up)) {
    gui.keyboardKey = keyboard::KeyAbove(gui.keyboardKey);
  } else if (SDLGui::KeyIs(key, gui.config->down)) {
    gui.keyboardKey = keyboard::KeyBelow(gui.keyboardKey);
  } else if (SDLGui::KeyIs(key, gui.config->left)) {
    gui.keyboardKey = gui.keyboardKey == 0 ? keyboard::kKeyCount - 1 : gui.keyboardKey - 1;
  } else if (SDLGui::KeyIs(key, gui.config->right)) {
    gui.keyboardKey = gui.keyboardKey == keyboard::kKeyCount - 1 ? 0 : gui.keyboardKey + 1;
  } else if (SDLGui::KeyIs(key, gui.config->menu) || SDLGui::KeyIs(key, gui.config->cancel) ||
             SDLGui::KeyIs(key, gui.config->abc)) {
    gui.CloseDialog();
    return;
  } else if (SDLGui::KeyIs(key, gui.config->enter)) {
    PressKeyboardKey(gui.keyboardKey);
    return;
  } else {
    gui.CommonDialogKey(key, false);
  }
  DrawKeyboard();
}

void KeyboardScreen::PressKeyboardKey(int index) {
  if (index == keyboard::kSearchKey) {
    SearchFromKeyboard();
    return;
  }
  EditSearchText(index);
  DrawKeyboard();
}

void KeyboardScreen::SearchFromKeyboard() {
  if (gui.searchText.GetLength() == 0) return;
  StartSongSearch();
  WalkSongSearch();
}

bool KeyboardScreen::FindSong() {
  StartSongSearch();
  songSearch.Walk(0);
  return ListedSongs();
}

void KeyboardScreen::StartSongSearch() {
  gui.resultsList->Free();
  gui.resultEntries.clear();
  songSearch.Start(*gui.library, gui.config->favoritos != 0, gui.searchText);
}

void KeyboardScreen::FollowSongSearch() {
  if (songSearch.Running()) WalkSongSearch();
}

void KeyboardScreen::WalkSongSearch() {
  if (!songSearch.Walk(kSongSearchSlice)) EndSongSearch();
}

bool KeyboardScreen::ListedSongs() {
  gui.resultsList->SetSelected(0);
  return !gui.resultEntries.empty();
}

// The keyboard is drawn again over what a touch's "Buscando" left.
void KeyboardScreen::EndSongSearch() {
  if (ListedSongs())
    ShowResults();
  else
    gui.messageBox.ShowNotice("No hubo resultado de canciones", MessageBox::kNoticeTime);
  if (gui.dialog == SDLGui::kKeyboardScreen) DrawKeyboard();
}

void KeyboardScreen::AddResult(const QueueElement& position, const GenreElement& genre, const DiscElement& disc,
                               const RString& track) {
  RString row;
  row.sprintf("%s/%s/%s", genre.GetName().Chars(), disc.GetTitle().Chars(), track.Chars());
  gui.resultsList->AddItem(row);
  gui.resultEntries.push_back(position);
}

void KeyboardScreen::ShowResults() {
  gui.dialog = SDLGui::kResultsScreen;
  if (gui.resultDialogImage != nullptr) {
    const SDL_Rect area =
        SDLGui::MakeRect(kResultsCentreX - gui.resultDialogImage->w / 2, kResultsCentreY - gui.resultDialogImage->h / 2,
                         gui.resultDialogImage->w, gui.resultDialogImage->h);
    SDL_Rect to = area;
    SDL_BlitSurface(gui.resultDialogImage, nullptr, gui.screen, &to);
    gui.UpdateScreenArea(area);
  }
  gui.resultsList->SaveBackground(gui.screen, nullptr);
  gui.resultsList->Draw(gui.screen, false);
}

void KeyboardScreen::keydown_result(int key) {
  const bool moves = SDLGui::KeyIs(key, gui.config->up) || SDLGui::KeyIs(key, gui.config->down) ||
                     SDLGui::KeyIs(key, gui.config->left) || SDLGui::KeyIs(key, gui.config->right);
  if (moves)
    gui.MoveInList(*gui.resultsList, key);
  else if (SDLGui::KeyIs(key, gui.config->menu) || SDLGui::KeyIs(key, gui.config->cancel))
    gui.CloseDialog();
  else if (SDLGui::KeyIs(key, gui.config->enter))
    ChooseResult();
  else
    gui.CommonDialogKey(key, false);
}

// The row's track is selected on the main screen, not bought. The row keeps
// its catalogue position, so titles holding "/" lead back to their track.
void KeyboardScreen::ChooseResult() {
  const int row = gui.resultsList->GetSelected();
  if (row < 0 || row >= static_cast<int>(gui.resultEntries.size())) {
    gui.messageBox.ShowNotice("No hubo resultado de canciones", MessageBox::kNoticeTime);
    return;
  }
  gui.JumpToMatch(gui.resultEntries[static_cast<size_t>(row)]);
}

// A touch outside the keyboard closes it; on a key it acts as that key.
bool KeyboardScreen::TouchKeyboard(int x, int y) {
  if (!Inside(KeyboardArea(), x, y)) {
    gui.dialog = SDLGui::kMainScreen;
    gui.redrawMode = SDLGui::kFullRedraw;
    return true;
  }
  const int index = KeyboardKeyAtPoint(x, y);
  if (index < 0) return true;
  gui.keyboardKey = index;
  if (index == keyboard::kSearchKey) {
    if (gui.searchText.GetLength() > 0) {
      gui.messageBox.ShowMsg("Buscando", gui.genreFont, 0, false, false);
      SearchFromKeyboard();
    }
    return false;
  }
  const bool types =
      index != keyboard::kEraseKey && index != keyboard::kCursorLeftKey && index != keyboard::kCursorRightKey;
  if (types && gui.searchText.GetLength() > 0 && gui.searchText.GetChar(gui.searchText.GetLength() - 1) == '|') {
    gui.searchText.RemoveLastChar();
    if (gui.cursorPos > gui.searchText.GetLength()) gui.cursorPos = gui.searchText.GetLength();
  }
  EditSearchText(index);
  gui.RedrawCurrentDialog();
  return true;
}
