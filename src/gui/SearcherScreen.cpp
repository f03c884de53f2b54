// The phone-keypad searcher: letters typed on the number keys, the
// catalogue searched a slice per pass while the customer types, the on-line
// search on enter, and downloads of on-line results started from its list.
#include "gui/SearcherScreen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "catalogue/CatalogueSearch.h"
#include "catalogue/Downloads.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "programs/ExternalPrograms.h"
#include "programs/ProgramOutputs.h"

namespace {

// Albums and tracks examined per pass of the main loop.
const int kSliceItems = 99;
const int kLeastSearched = 3;
const SDL_Rect kSpinnerPlace = {790, 160, 0, 0};
const char* const kResultsFile = "results.txt";
const char* const kKaraokeGenre = "Karaoke";
// A track of none of the kinds.
const char kOtherKind = 'X';
const char kKeypadEnye = '\xD1';

bool Selected(const ListBox& list) { return list.GetSelected() != -1; }

// What a slice of the search while typing finds: albums whose title holds
// every word, and tracks whose shown title does, with their rows.
class TypingMatches : public CatalogueWalk::Visitor {
 public:
  TypingMatches(const MainLibrary& library, const std::vector<std::string>& words) : library_(library), words_(words) {}

  void Album(const CataloguePlace& at, const GenreElement&, const DiscElement& disc) override {
    if (!HoldsEveryWord(disc.GetTitle(), words_)) return;
    std::printf("Agregando: %s\n", disc.GetTitle().Chars());
    albums.push_back(at);
  }
  void Track(const CataloguePlace& at, const GenreElement& genre, const DiscElement& disc) override {
    const RString title = MainPanels::ShownTitle(disc.GetTrack(at.track)->GetTitle());
    if (!HoldsEveryWord(title, words_)) return;
    RString row;
    row.sprintf("[%c] %s", KindOf(at, genre), title.Chars());
    tracks.push_back(at);
    trackRows.push_back(row);
  }

  std::vector<CataloguePlace> albums, tracks;
  std::vector<RString> trackRows;

 private:
  char KindOf(const CataloguePlace& at, const GenreElement& genre) const {
    if (genre.GetName() == kKaraokeGenre) return 'K';
    if (library_.IsVideo(at.genre, at.disc, at.track)) return 'V';
    if (library_.IsMusic(at.genre, at.disc, at.track)) return 'M';
    return kOtherKind;
  }

  const MainLibrary& library_;
  const std::vector<std::string>& words_;
};

}  // namespace

SDL_Rect SearcherScreen::SearcherArea() const {
  const int w = gui.searchPhoneImage != nullptr ? gui.searchPhoneImage->w : 0;
  const int h = gui.searchPhoneImage != nullptr ? gui.searchPhoneImage->h : 0;
  return SDLGui::MakeRect(gui.skin->width / 2 - w / 2, gui.skin->height / 2 - h / 2, w, h);
}

void SearcherScreen::DrawSearch(bool withLists) {
  const SDL_Rect area = SearcherArea();
  SDL_Rect to = area;
  SDL_BlitSurface(gui.searchPhoneSave, nullptr, gui.screen, &to);
  to = area;
  SDL_BlitSurface(gui.searchPhoneImage, nullptr, gui.screen, &to);
  if (gui.searchText.GetLength() > 0)
    gui.keyboardFont.DrawText2(gui.screen, gui.searchText.Chars(), area.x + kTextX, area.y + kTextY, area.w - kTextX);
  gui.UpdateScreenArea(area);
  if (!withLists) return;
  gui.localResultsList->Draw(gui.screen, false);
  gui.onlineResultsList->Draw(gui.screen, false);
}

// Keys -----------------------------------------------------------------------

void SearcherScreen::keydown_searcher(int key) {
  ListBox& albums = *gui.localResultsList;
  ListBox& tracks = *gui.onlineResultsList;
  if (SDLGui::KeyIs(key, gui.config->up)) {
    if (albums.GetSelected() == 0 || (!Selected(albums) && tracks.GetSelected() == 0)) {
      (albums.GetSelected() == 0 ? albums : tracks).SetSelected(-1);
    } else if (Selected(albums) || Selected(tracks)) {
      (Selected(albums) ? albums : tracks).Up();
      DrawSearch(true);
      return;
    } else if (gui.keyDownAt == 0) {
      gui.keyDownAt = platform::Ticks();  // the space/erase key, finished on its release
    }
  } else if (SDLGui::KeyIs(key, gui.config->down)) {
    if (Selected(albums))
      albums.Down();
    else if (Selected(tracks))
      tracks.Down();
    else
      (albums.Count() > 0 ? albums : tracks).SetSelected(0);
    DrawSearch(true);
    return;
  } else if (SDLGui::KeyIs(key, gui.config->left) && Selected(tracks)) {
    tracks.SetSelected(-1);
    albums.SetSelected(0);
    DrawSearch(true);
    return;
  } else if (SDLGui::KeyIs(key, gui.config->right) && Selected(albums)) {
    albums.SetSelected(-1);
    tracks.SetSelected(0);
    DrawSearch(true);
    return;
  } else if (SDLGui::KeyIs(key, gui.config->left) || SDLGui::KeyIs(key, gui.config->right)) {
    StepSearcherLetter(SDLGui::KeyIs(key, gui.config->left) ? -1 : 1);
  } else if (SDLGui::KeyIs(key, gui.config->n0)) {
    if (gui.cursorPos == 0) return;
    gui.searchText.InsertChar(' ', gui.cursorPos++);
  } else if (SDLGui::KeyIs(key, gui.config->n1)) {
    if (gui.searchText.GetLength() > 0 && gui.cursorPos > 0)
      gui.searchText.RemoveChar(--gui.cursorPos);
    else if (gui.searchText.GetLength() > 0)
      gui.searchText = "";
  } else if (SDLGui::KeyIs(key, gui.config->menu) || SDLGui::KeyIs(key, gui.config->cancel) ||
             SDLGui::KeyIs(key, gui.config->abc)) {
    gui.CloseDialog();
  } else if (SDLGui::KeyIs(key, gui.config->enter)) {
    SearcherEnter();
    return;
  } else {
    static const char* const kKeypad[] = {"ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ"};
    const int32_t digitKeys[] = {gui.config->n2, gui.config->n3, gui.config->n4, gui.config->n5,
                                 gui.config->n6, gui.config->n7, gui.config->n8, gui.config->n9};
    int digit = 0;
    while (digit < 8 && !SDLGui::KeyIs(key, digitKeys[digit])) ++digit;
    if (digit < 8)
      TypeKeypadLetter(kKeypad[digit]);
    else
      gui.CommonDialogKey(key, true);
  }
  if (gui.dialog != SDLGui::kKeyboardScreen) return;
  // Only a changed text starts the search over: a coin or a volume key
  // leaves the lists, on-line results included, as they are.
  AsyncSearch(false);
  DrawSearch(true);
}

// A repeated key within the multi-tap time turns the letter before the
// cursor into the key's next one, round; "Ñ" on the MNO key turns into "O".
void SearcherScreen::TypeKeypadLetter(const char* letters) {
  const uint32_t now = platform::Ticks();
  const char before = gui.cursorPos > 0 ? static_cast<char>(gui.searchText.GetChar(gui.cursorPos - 1)) : '\0';
  const char* at = before != '\0' ? std::strchr(letters, before) : nullptr;
  const bool enye = before == kKeypadEnye && letters[0] == 'M';
  char letter = letters[0];
  if ((at != nullptr || enye) && now - gui.lastTapAt <= kMultiTapTimeout) {
    letter = enye ? 'O' : (at[1] != '\0' ? at[1] : letters[0]);
    gui.searchText.RemoveChar(--gui.cursorPos);
  }
  gui.searchText.InsertChar(letter, gui.cursorPos++);
  gui.lastTapAt = now;
}

// Quick presses turn the last letter through the alphabet; after a pause a
// press adds the letter next to the last one.
void SearcherScreen::StepSearcherLetter(int step) {
  const uint32_t now = platform::Ticks();
  const signed char before =
      gui.cursorPos > 0 ? static_cast<signed char>(gui.searchText.GetChar(gui.cursorPos - 1)) : 0;
  if (gui.cursorPos > 0 && now - gui.lastTapAt < kMultiTapTimeout) gui.searchText.RemoveChar(--gui.cursorPos);
  char letter;
  if (step < 0)
    letter = before <= 'A' || before > 'Z' ? 'Z' : static_cast<char>(before - 1);
  else
    letter = before < 'A' || before > 'Y' ? 'A' : static_cast<char>(before + 1);
  gui.searchText.InsertChar(letter, gui.cursorPos++);
  gui.lastTapAt = now;
}

void SearcherScreen::SearcherEnter() {
  const int trackRows = static_cast<int>(gui.trackMatches.size());
  const int row = gui.onlineResultsList->GetSelected();
  if (Selected(*gui.localResultsList)) {
    const QueueElement& album = gui.albumMatches[static_cast<size_t>(gui.localResultsList->GetSelected())];
    std::printf("Saltando al elemento: %u,%u,%u\n", album.genre, album.disc, album.track);
    gui.JumpToMatch(album);
  } else if (row >= 0 && row < trackRows) {
    gui.JumpToMatch(gui.trackMatches[static_cast<size_t>(row)]);
  } else if (row >= trackRows) {
    StartDownloadOfRow(row);
  } else if (gui.searchText.GetLength() >= kLeastSearched) {
    SearchOnline();
  }
}

// Search while typing ------------------------------------------------------

bool SearcherScreen::AsyncSearch(bool restart) {
  if (onlineSearch.Running()) return false;
  if (gui.searchText.GetLength() < kLeastSearched) {
    gui.searchRunning = 0;
    return false;
  }
  if (restart || gui.searchText != searchedText || !searchWalk) {
    searchWalk.emplace(*gui.library, gui.config->favoritos != 0, SearchScope::kOrdinaryGenresAndDownloads);
    gui.localResultsList->Free();
    gui.onlineResultsList->Free();
    gui.albumMatches.clear();
    gui.trackMatches.clear();
    gui.onlineTitles.clear();
    gui.onlineUrls.clear();
    onlineSearchDone = 0;
    searchedText = gui.searchText;
    searchWords = SearchWords(gui.searchText);
  }
  TypingMatches matches(*gui.library, searchWords);
  const bool stopped = searchWalk->Walk(matches, kSliceItems);
  for (const CataloguePlace& album : matches.albums) {
    gui.localResultsList->AddItem(gui.library->GetDiscTitle(album.genre, album.disc));
    gui.albumMatches.push_back(QueueElement{album.genre, album.disc, 0, 0});
  }
  for (size_t i = 0; i < matches.tracks.size(); ++i) {
    const CataloguePlace& track = matches.tracks[i];
    gui.onlineResultsList->AddItem(matches.trackRows[i]);
    gui.trackMatches.push_back(QueueElement{track.genre, track.disc, track.track, 0});
  }
  const bool listed = !matches.albums.empty() || !matches.tracks.empty();
  if (stopped) return PauseSearch(listed, searchWalk->StoppedBeforeTrack());
  if (gui.searchRunning) DrawSearch(true);
  gui.searchRunning = 0;
  return listed;
}

// The search goes on at the next pass; the lists show what this slice
// found, and a stop before a track turns the spinner.
bool SearcherScreen::PauseSearch(bool listed, bool beforeTrack) {
  if (beforeTrack && gui.searchRunning) ShowSpinnerStep();
  gui.searchRunning = 1;
  if (listed) {
    gui.localResultsList->Draw(gui.screen, false);
    gui.onlineResultsList->Draw(gui.screen, false);
  }
  return true;
}

void SearcherScreen::ShowSpinnerStep() {
  SDL_Surface* frame = gui.gearIcons[spinnerPhase ? 0 : 1];
  spinnerPhase = !spinnerPhase;
  if (frame == nullptr || gui.gearIcons[0] == nullptr) return;
  SDL_Rect to = kSpinnerPlace;
  SDL_BlitSurface(frame, nullptr, gui.screen, &to);
  gui.UpdateScreenArea(SDLGui::MakeRect(kSpinnerPlace.x, kSpinnerPlace.y, gui.gearIcons[0]->w, gui.gearIcons[0]->h));
}

// On-line search and downloads --------------------------------------------

// The lists are given over to the on-line results; the search while typing
// does not fill them again.
void SearcherScreen::SearchOnline() {
  std::puts("Iniciando busqueda en youtube");
  gui.localResultsList->Free();
  gui.onlineResultsList->Free();
  gui.albumMatches.clear();
  gui.trackMatches.clear();
  gui.messageBox.ShowMsg("Realizando busqueda en linea", gui.genreFont, 0, false, false);
  youtube_search();
  if (!onlineSearch.Running()) CloseOnlineSearch();
}

void SearcherScreen::youtube_search() {
  gui.searchRunning = 0;
  if (onlineSearchDone) return;
  if (gui.gearIcons[2] != nullptr && gui.gearIcons[0] != nullptr) {
    SDL_Rect to = kSpinnerPlace;
    SDL_BlitSurface(gui.gearIcons[2], nullptr, gui.screen, &to);
    gui.UpdateScreenArea(SDLGui::MakeRect(kSpinnerPlace.x, kSpinnerPlace.y, gui.gearIcons[0]->w, gui.gearIcons[0]->h));
  }
  onlineSearchDone = 1;
  platform::DeleteFile(kResultsFile);
  if (!onlineSearch.Start(gui.searchText)) ListOnlineResults(false);
}

void SearcherScreen::FollowOnlineSearch() {
  if (!onlineSearch.Running()) return;
  const OnlineSearchRun::Outcome outcome = onlineSearch.Poll();
  if (outcome == OnlineSearchRun::Outcome::kRunning) return;
  ListOnlineResults(outcome == OnlineSearchRun::Outcome::kEnded);
  CloseOnlineSearch();
}

void SearcherScreen::ListOnlineResults(bool ended) {
  if (!ended) std::puts("La busqueda en linea no termino a tiempo");
  ReadOnlineResults();
}

// The message is drawn again and taken away at once: no key the customer
// pressed meanwhile is spent on closing it. The search while typing does
// not fill the lists again.
void SearcherScreen::CloseOnlineSearch() {
  if (!searchWalk)
    searchWalk.emplace(*gui.library, gui.config->favoritos != 0, SearchScope::kOrdinaryGenresAndDownloads);
  searchWalk->Finish();
  gui.searchRunning = 0;
  if (gui.dialog != SDLGui::kKeyboardScreen) return;
  gui.messageBox.ShowMsg("Realizando busqueda en linea", gui.genreFont, 0, false, true);
  DrawSearch(true);
}

// A record cut short keeps its row but has no address to download. A row
// that would not be one plain name in the downloads folder is left out.
void SearcherScreen::ReadOnlineResults() {
  gui.onlineTitles.clear();
  gui.onlineUrls.clear();
  const std::optional<std::vector<OnlineResult>> results = ReadSearchResults(kResultsFile);
  if (!results) {
    std::puts("No se pudo abrir archivo de resultados");
    return;
  }
  for (const OnlineResult& result : *results) {
    std::printf("line: %s\n", result.title.Chars());
    const RString row = RString("[D] ") + result.title;
    if (!platform::IsPlainListedName(row.Chars())) {
      std::printf("Resultado rechazado, nombre no valido: %s\n", row.Chars());
      continue;
    }
    gui.onlineResultsList->AddItem(row);
    gui.onlineTitles.push_back(row);
    gui.onlineUrls.push_back(result.url);
  }
}

// The price is taken when the download completes; here only the credits
// are checked, and a row is started once.
void SearcherScreen::StartDownloadOfRow(int row) {
  const size_t result = static_cast<size_t>(row) - gui.trackMatches.size();
  if (gui.JukeboxMode() && gui.Credits() < std::max(gui.config->creditsdownloads, 0)) {
    gui.messageBox.ShowNotice("Creditos insuficientes para DESCARGA", MessageBox::kRefusalTime);
    return;
  }
  const RString text = gui.onlineResultsList->GetItem(row);
  std::printf("Seleccionado: %s\n", text.Chars());
  if (result >= gui.onlineUrls.size() || gui.onlineUrls[result].GetLength() == 0 ||
      !IsSafeDownloadName(DownloadName(text))) {
    gui.messageBox.ShowNotice("El elemento seleccionado no se puede descargar", MessageBox::kRefusalTime);
    return;
  }
  if (text.GetChar(1) != 'D') {
    gui.messageBox.ShowNotice("El elemento seleccionado ya esta siendo descargado", MessageBox::kRefusalTime);
    return;
  }
  std::printf("Download index %zu\n", result);
  std::printf("Download url %s\n", gui.onlineUrls[result].Chars());
  gui.messageBox.ShowNotice(RString("Descargando: ") + gui.onlineTitles[result], MessageBox::kNoticeTime);
  std::puts("Iniciando descarga");
  StartDownload(DownloadName(text), gui.onlineUrls[result], DownloadsFolder(*gui.library));
  gui.onlineResultsList->SetItem(RString("[%]") + text.AfterFirst(']'), row);
  DrawSearch(true);
}
