// The on-screen keyboard and the results of its search: the customer
// moves a highlight over 42 keys to type a text, searches the catalogue's
// album and track titles for every word of it, and picks a track among the
// matches.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/CatalogueSearch.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/KeyboardLayout.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"

namespace {

// Where the first key's corner lies inside the keyboard image.
const int kFirstKeyX = 20, kFirstKeyY = 80;
const int kKeyboardAboveCentre = 50;

// Tracks whose album title and track title (with its extension) hold every
// word between them. Titles are folded once for all words, and an album
// title that holds some words leaves only the others for its tracks' titles.
class KeyboardMatches : public CatalogueWalk::Visitor {
 public:
  using Found = std::function<void(const CataloguePlace&, const GenreElement&, const DiscElement&, const RString&)>;
  KeyboardMatches(const std::vector<std::string>& words, Found found) : words_(words), found_(std::move(found)) {}

  void Album(const CataloguePlace&, const GenreElement&, const DiscElement& disc) override {
    disc.GetTitle().FoldForMatching(albumTitle_);
    leftForTracks_.clear();
    for (const std::string& word : words_)
      if (!RString::ContainsFolded(albumTitle_, word)) leftForTracks_.push_back(&word);
  }
  void Track(const CataloguePlace& at, const GenreElement& genre, const DiscElement& disc) override {
    const RString& title = disc.GetTrack(at.track)->GetTitle();
    title.FoldForMatching(trackTitle_);
    for (const std::string* word : leftForTracks_)
      if (!RString::ContainsFolded(trackTitle_, *word)) return;
    found_(at, genre, disc, title);
  }

 private:
  const std::vector<std::string>& words_;
  Found found_;
  std::string albumTitle_, trackTitle_;
  std::vector<const std::string*> leftForTracks_;
};

// The results dialog stands on the middle of a 1024 × 768 screen.
const int kResultsCentreX = 512, kResultsCentreY = 384;

}  // namespace

SDL_Surface* SDLGui::KeyHighlightOf(int index) const {
  if (index == keyboard::kEraseKey || index == keyboard::kSearchKey) return keyHighlights[1];
  if (index == keyboard::kSpaceKey) return keyHighlights[2];
  return keyHighlights[0];
}

SDL_Rect SDLGui::KeyboardArea() const {
  const int w = keyboardImage != nullptr ? keyboardImage->w : 0;
  const int h = keyboardImage != nullptr ? keyboardImage->h : 0;
  return MakeRect(skin->width / 2 - w / 2, skin->height / 2 - h / 2 - kKeyboardAboveCentre, w, h);
}

// Key edges are exclusive on all four sides.
int SDLGui::KeyboardKeyAtPoint(int x, int y) const {
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

void SDLGui::EditSearchText(int index) {
  switch (index) {
    case keyboard::kCursorRightKey:
      if (cursorPos < searchText.GetLength()) ++cursorPos;
      break;
    case keyboard::kCursorLeftKey:
      if (cursorPos > 0) --cursorPos;
      break;
    case keyboard::kEraseKey:
      if (cursorPos > 0) searchText.RemoveChar(--cursorPos);
      break;
    case keyboard::kSearchKey:
      break;
    default:
      searchText.InsertChar(static_cast<char>(keyboard::KeyOf(index).character), cursorPos++);
      break;
  }
}

void SDLGui::DrawKeyboard() {
  if (keyboardImage == nullptr) return;
  const SDL_Rect area = KeyboardArea();
  SDL_Rect to = area;
  SDL_BlitSurface(keyboardImage, nullptr, screen, &to);
  if (searchText.GetLength() > 0)
    keyboardFont.DrawText2(screen, searchText.Chars(), area.x + kKeyboardTextX, area.y + kKeyboardTextY,
                           keyboardImage->w - kKeyboardTextX);
  const keyboard::Key& key = keyboard::KeyOf(keyboardKey);
  to = MakeRect(area.x + kFirstKeyX + key.x, area.y + kFirstKeyY + key.y, 0, 0);
  SDL_BlitSurface(KeyHighlightOf(keyboardKey), nullptr, screen, &to);
  UpdateScreenArea(area);
}

void SDLGui::keydown_keyboard(int key) {
  if (KeyIs(key, config->up)) {
    keyboardKey = keyboard::KeyAbove(keyboardKey);
  } else if (KeyIs(key, config->down)) {
    keyboardKey = keyboard::KeyBelow(keyboardKey);
  } else if (KeyIs(key, config->left)) {
    keyboardKey = keyboardKey == 0 ? keyboard::kKeyCount - 1 : keyboardKey - 1;
  } else if (KeyIs(key, config->right)) {
    keyboardKey = keyboardKey == keyboard::kKeyCount - 1 ? 0 : keyboardKey + 1;
  } else if (KeyIs(key, config->menu) || KeyIs(key, config->cancel) || KeyIs(key, config->abc)) {
    CloseDialog();
    return;
  } else if (KeyIs(key, config->enter)) {
    PressKeyboardKey(keyboardKey);
    return;
  } else {
    CommonDialogKey(key, false);
  }
  DrawKeyboard();
}

void SDLGui::PressKeyboardKey(int index) {
  if (index == keyboard::kSearchKey) {
    SearchFromKeyboard();
    return;
  }
  EditSearchText(index);
  DrawKeyboard();
}

void SDLGui::SearchFromKeyboard() {
  if (searchText.GetLength() == 0) return;
  if (FindSong())
    ShowResults();
  else
    ShowNotice("No hubo resultado de canciones", kNoticeTime);
}

// Words are what lies between runs of spaces; a text of spaces has none and
// finds nothing.
bool SDLGui::FindSong() {
  resultsList->Free();
  resultEntries.clear();
  const std::vector<std::string> words = SearchWords(searchText);
  if (words.empty()) return false;
  KeyboardMatches matches(words, [this](const CataloguePlace& at, const GenreElement& genre,
                                        const DiscElement& disc, const RString& track) {
    AddResult(QueueElement{at.genre, at.disc, at.track, 0}, genre, disc, track);
  });
  CatalogueWalk(*library, config->favoritos != 0, SearchScope::kOrdinaryGenres).Walk(matches);
  resultsList->SetSelected(0);
  return !resultEntries.empty();
}

void SDLGui::AddResult(const QueueElement& position, const GenreElement& genre, const DiscElement& disc,
                       const RString& track) {
  RString row;
  row.sprintf("%s/%s/%s", genre.GetName().Chars(), disc.GetTitle().Chars(), track.Chars());
  resultsList->AddItem(row);
  resultEntries.push_back(position);
}

void SDLGui::ShowResults() {
  dialog = kResultsScreen;
  if (resultDialogImage != nullptr) {
    const SDL_Rect area = MakeRect(kResultsCentreX - resultDialogImage->w / 2,
                                   kResultsCentreY - resultDialogImage->h / 2, resultDialogImage->w,
                                   resultDialogImage->h);
    SDL_Rect to = area;
    SDL_BlitSurface(resultDialogImage, nullptr, screen, &to);
    UpdateScreenArea(area);
  }
  resultsList->SaveBackground(screen, nullptr);
  resultsList->Draw(screen, false);
}

void SDLGui::keydown_result(int key) {
  const bool moves = KeyIs(key, config->up) || KeyIs(key, config->down) || KeyIs(key, config->left) ||
                     KeyIs(key, config->right);
  if (moves)
    MoveInList(*resultsList, key);
  else if (KeyIs(key, config->menu) || KeyIs(key, config->cancel))
    CloseDialog();
  else if (KeyIs(key, config->enter))
    ChooseResult();
  else
    CommonDialogKey(key, false);
}

// The row's track is selected on the main screen, not bought. The row keeps
// its catalogue position, so titles holding "/" lead back to their track.
void SDLGui::ChooseResult() {
  const int row = resultsList->GetSelected();
  if (row < 0 || row >= static_cast<int>(resultEntries.size())) {
    ShowNotice("No hubo resultado de canciones", kNoticeTime);
    return;
  }
  JumpToMatch(resultEntries[static_cast<size_t>(row)]);
}

