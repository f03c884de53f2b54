// The phone-keypad searcher: letters typed on the number keys, the
// catalogue searched a slice per pass while the customer types, the on-line
// search on enter, and downloads of on-line results started from its list.
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
const uint32_t kSearchPoll = 10;
// A track of none of the kinds.
const char kOtherKind = 'X';
const char kKeypadEnye = '\xD1';

bool Selected(const ListBox& list) { return list.GetSelected() != -1; }

// What a slice of the search while typing finds: albums whose title holds
// every word, and tracks whose shown title does, with their rows.
class TypingMatches : public CatalogueWalk::Visitor {
 public:
  TypingMatches(const MainLibrary& library, const std::vector<std::string>& words)
      : library_(library), words_(words) {}

  void Album(const CataloguePlace& at, const GenreElement&, const DiscElement& disc) override {
    if (!HoldsEveryWord(disc.GetTitle(), words_)) return;
    std::printf("Agregando: %s\n", disc.GetTitle().Chars());
    albums.push_back(at);
  }
  void Track(const CataloguePlace& at, const GenreElement& genre, const DiscElement& disc) override {
    const RString title = SDLGui::ShownTitle(disc.GetTrack(at.track)->GetTitle());
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

SDL_Rect SDLGui::SearcherArea() const {
  const int w = searchPhoneImage != nullptr ? searchPhoneImage->w : 0;
  const int h = searchPhoneImage != nullptr ? searchPhoneImage->h : 0;
  return MakeRect(skin->width / 2 - w / 2, skin->height / 2 - h / 2, w, h);
}

void SDLGui::DrawSearch(bool withLists) {
  const SDL_Rect area = SearcherArea();
  SDL_Rect to = area;
  SDL_BlitSurface(searchPhoneSave, nullptr, screen, &to);
  to = area;
  SDL_BlitSurface(searchPhoneImage, nullptr, screen, &to);
  if (searchText.GetLength() > 0)
    keyboardFont.DrawText2(screen, searchText.Chars(), area.x + searchTextX, area.y + searchTextY,
                           area.w - searchTextX);
  UpdateScreenArea(area);
  if (!withLists) return;
  localResultsList->Draw(screen, false);
  onlineResultsList->Draw(screen, false);
}

// Keys -----------------------------------------------------------------------

void SDLGui::keydown_searcher(int key) {
  ListBox& albums = *localResultsList;
  ListBox& tracks = *onlineResultsList;
  if (KeyIs(key, config->up)) {
    if (albums.GetSelected() == 0 || (!Selected(albums) && tracks.GetSelected() == 0)) {
      (albums.GetSelected() == 0 ? albums : tracks).SetSelected(-1);
    } else if (Selected(albums) || Selected(tracks)) {
      (Selected(albums) ? albums : tracks).Up();
      DrawSearch(true);
      return;
    } else if (keyDownAt == 0) {
      keyDownAt = platform::Ticks();  // the space/erase key, finished on its release
    }
  } else if (KeyIs(key, config->down)) {
    if (Selected(albums))
      albums.Down();
    else if (Selected(tracks))
      tracks.Down();
    else
      (albums.Count() > 0 ? albums : tracks).SetSelected(0);
    DrawSearch(true);
    return;
  } else if (KeyIs(key, config->left) && Selected(tracks)) {
    tracks.SetSelected(-1);
    albums.SetSelected(0);
    DrawSearch(true);
    return;
  } else if (KeyIs(key, config->right) && Selected(albums)) {
    albums.SetSelected(-1);
    tracks.SetSelected(0);
    DrawSearch(true);
    return;
  } else if (KeyIs(key, config->left) || KeyIs(key, config->right)) {
    StepSearcherLetter(KeyIs(key, config->left) ? -1 : 1);
  } else if (KeyIs(key, config->n0)) {
    if (cursorPos == 0) return;
    searchText.InsertChar(' ', cursorPos++);
  } else if (KeyIs(key, config->n1)) {
    if (searchText.GetLength() > 0 && cursorPos > 0)
      searchText.RemoveChar(--cursorPos);
    else if (searchText.GetLength() > 0)
      searchText = "";
  } else if (KeyIs(key, config->menu) || KeyIs(key, config->cancel) || KeyIs(key, config->abc)) {
    CloseDialog();
  } else if (KeyIs(key, config->enter)) {
    SearcherEnter();
    return;
  } else {
    static const char* const kKeypad[] = {"ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ"};
    const int32_t digitKeys[] = {config->n2, config->n3, config->n4, config->n5,
                                 config->n6, config->n7, config->n8, config->n9};
    int digit = 0;
    while (digit < 8 && !KeyIs(key, digitKeys[digit])) ++digit;
    if (digit < 8)
      TypeKeypadLetter(kKeypad[digit]);
    else
      CommonDialogKey(key, true);
  }
  if (dialog != kKeyboardScreen) return;
  // Only a changed text starts the search over: a coin or a volume key
  // leaves the lists, on-line results included, as they are.
  AsyncSearch(false);
  DrawSearch(true);
}

// A repeated key within the multi-tap time turns the letter before the
// cursor into the key's next one, round; "Ñ" on the MNO key turns into "O".
void SDLGui::TypeKeypadLetter(const char* letters) {
  const uint32_t now = platform::Ticks();
  const char before = cursorPos > 0 ? static_cast<char>(searchText.GetChar(cursorPos - 1)) : '\0';
  const char* at = before != '\0' ? std::strchr(letters, before) : nullptr;
  const bool enye = before == kKeypadEnye && letters[0] == 'M';
  char letter = letters[0];
  if ((at != nullptr || enye) && now - lastTapAt <= multiTapTimeout) {
    letter = enye ? 'O' : (at[1] != '\0' ? at[1] : letters[0]);
    searchText.RemoveChar(--cursorPos);
  }
  searchText.InsertChar(letter, cursorPos++);
  lastTapAt = now;
}

// Quick presses turn the last letter through the alphabet; after a pause a
// press adds the letter next to the last one.
void SDLGui::StepSearcherLetter(int step) {
  const uint32_t now = platform::Ticks();
  const signed char before = cursorPos > 0 ? static_cast<signed char>(searchText.GetChar(cursorPos - 1)) : 0;
  if (cursorPos > 0 && now - lastTapAt < multiTapTimeout) searchText.RemoveChar(--cursorPos);
  char letter;
  if (step < 0)
    letter = before <= 'A' || before > 'Z' ? 'Z' : static_cast<char>(before - 1);
  else
    letter = before < 'A' || before > 'Y' ? 'A' : static_cast<char>(before + 1);
  searchText.InsertChar(letter, cursorPos++);
  lastTapAt = now;
}

void SDLGui::SearcherEnter() {
  const int trackRows = static_cast<int>(trackMatches.size());
  const int row = onlineResultsList->GetSelected();
  if (Selected(*localResultsList)) {
    const QueueElement& album = albumMatches[static_cast<size_t>(localResultsList->GetSelected())];
    std::printf("Saltando al elemento: %u,%u,%u\n", album.genre, album.disc, album.track);
    JumpToMatch(album);
  } else if (row >= 0 && row < trackRows) {
    JumpToMatch(trackMatches[static_cast<size_t>(row)]);
  } else if (row >= trackRows) {
    StartDownloadOfRow(row);
  } else if (searchText.GetLength() >= kLeastSearched) {
    SearchOnline();
  }
}

// Search while typing ------------------------------------------------------

bool SDLGui::AsyncSearch(bool restart) {
  if (searchText.GetLength() < kLeastSearched) {
    searchRunning = 0;
    return false;
  }
  if (restart || searchText != searchedText || !searchWalk) {
    searchWalk.emplace(*library, config->favoritos != 0, SearchScope::kOrdinaryGenresAndDownloads);
    localResultsList->Free();
    onlineResultsList->Free();
    albumMatches.clear();
    trackMatches.clear();
    onlineTitles.clear();
    onlineUrls.clear();
    onlineSearchDone = 0;
    searchedText = searchText;
    searchWords = SearchWords(searchText);
  }
  TypingMatches matches(*library, searchWords);
  const bool stopped = searchWalk->Walk(matches, kSliceItems);
  for (const CataloguePlace& album : matches.albums) {
    localResultsList->AddItem(library->GetDiscTitle(album.genre, album.disc));
    albumMatches.push_back(QueueElement{album.genre, album.disc, 0, 0});
  }
  for (size_t i = 0; i < matches.tracks.size(); ++i) {
    const CataloguePlace& track = matches.tracks[i];
    onlineResultsList->AddItem(matches.trackRows[i]);
    trackMatches.push_back(QueueElement{track.genre, track.disc, track.track, 0});
  }
  const bool listed = !matches.albums.empty() || !matches.tracks.empty();
  if (stopped) return PauseSearch(listed, searchWalk->StoppedBeforeTrack());
  if (searchRunning) DrawSearch(true);
  searchRunning = 0;
  return listed;
}

// The search goes on at the next pass; the lists show what this slice
// found, and a stop before a track turns the spinner.
bool SDLGui::PauseSearch(bool listed, bool beforeTrack) {
  if (beforeTrack && searchRunning) ShowSpinnerStep();
  searchRunning = 1;
  if (listed) {
    localResultsList->Draw(screen, false);
    onlineResultsList->Draw(screen, false);
  }
  return true;
}

void SDLGui::ShowSpinnerStep() {
  SDL_Surface* frame = gearIcons[spinnerPhase ? 0 : 1];
  spinnerPhase = !spinnerPhase;
  if (frame == nullptr || gearIcons[0] == nullptr) return;
  SDL_Rect to = kSpinnerPlace;
  SDL_BlitSurface(frame, nullptr, screen, &to);
  UpdateScreenArea(MakeRect(kSpinnerPlace.x, kSpinnerPlace.y, gearIcons[0]->w, gearIcons[0]->h));
}

// On-line search and downloads --------------------------------------------

// The lists are given over to the on-line results; the search while typing
// does not fill them again.
void SDLGui::SearchOnline() {
  std::puts("Iniciando busqueda en youtube");
  localResultsList->Free();
  onlineResultsList->Free();
  albumMatches.clear();
  trackMatches.clear();
  ShowMsg("Realizando busqueda en linea", genreFont, 0, false, false);
  youtube_search();
  // Drawn again and taken away at once: no key the customer presses now is
  // spent on closing it.
  ShowMsg("Realizando busqueda en linea", genreFont, 0, false, true);
  DrawSearch(true);
  if (!searchWalk) searchWalk.emplace(*library, config->favoritos != 0, SearchScope::kOrdinaryGenresAndDownloads);
  searchWalk->Finish();
  searchRunning = 0;
}

void SDLGui::youtube_search() {
  searchRunning = 0;
  if (onlineSearchDone) return;
  if (gearIcons[2] != nullptr && gearIcons[0] != nullptr) {
    SDL_Rect to = kSpinnerPlace;
    SDL_BlitSurface(gearIcons[2], nullptr, screen, &to);
    UpdateScreenArea(MakeRect(kSpinnerPlace.x, kSpinnerPlace.y, gearIcons[0]->w, gearIcons[0]->h));
  }
  onlineSearchDone = 1;
  platform::DeleteFile(kResultsFile);
  if (!RunOnlineSearchScript()) std::puts("La busqueda en linea no termino a tiempo");
  ReadOnlineResults();
  DrawSearch(true);
}

bool SDLGui::RunOnlineSearchScript() {
  platform::ChildProcess search;
  if (!search.Start(OnlineSearchCommand(searchText))) return false;
  const uint32_t start = platform::Ticks();
  while (!search.WaitFor(kSearchPoll)) {
    KeepInputWhileWaiting();
    if (quitRequested || platform::Ticks() - start > kOnlineSearchLimit) return false;
  }
  return true;
}

// A record cut short keeps its row but has no address to download. A row
// that would not be one plain name in the downloads folder is left out.
void SDLGui::ReadOnlineResults() {
  onlineTitles.clear();
  onlineUrls.clear();
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
    onlineResultsList->AddItem(row);
    onlineTitles.push_back(row);
    onlineUrls.push_back(result.url);
  }
}

// The price is taken when the download completes; here only the credits
// are checked, and a row is started once.
void SDLGui::StartDownloadOfRow(int row) {
  const size_t result = static_cast<size_t>(row) - trackMatches.size();
  if (JukeboxMode() && Credits() < std::max(config->creditsdownloads, 0)) {
    ShowNotice("Creditos insuficientes para DESCARGA", kRefusalTime);
    return;
  }
  const RString text = onlineResultsList->GetItem(row);
  std::printf("Seleccionado: %s\n", text.Chars());
  if (result >= onlineUrls.size() || onlineUrls[result].GetLength() == 0 ||
      !IsSafeDownloadName(DownloadName(text))) {
    ShowNotice("El elemento seleccionado no se puede descargar", kRefusalTime);
    return;
  }
  if (text.GetChar(1) != 'D') {
    ShowNotice("El elemento seleccionado ya esta siendo descargado", kRefusalTime);
    return;
  }
  std::printf("Download index %zu\n", result);
  std::printf("Download url %s\n", onlineUrls[result].Chars());
  ShowNotice(RString("Descargando: ") + onlineTitles[result], kNoticeTime);
  std::puts("Iniciando descarga");
  StartDownload(DownloadName(text), onlineUrls[result], DownloadsFolder(*library));
  onlineResultsList->SetItem(RString("[%]") + text.AfterFirst(']'), row);
  DrawSearch(true);
}
