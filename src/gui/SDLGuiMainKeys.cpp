// The main screen's keys: moving through albums and tracks, typing album and
// track numbers, and opening the other screens and actions.
#include <algorithm>
#include <cstdio>
#include <iterator>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/System.h"

namespace {

const uint32_t kTitleScrollPause = 3000;
const uint32_t kHoldOpensAlphabet = 3000;
const int kFourAlbums = 4;

// The album at target, wrapped once around the genre as single and
// four-album moves wrap; a four-album move in a genre of two albums would
// still leave the genre, so the result is kept inside it.
int WrappedAlbum(int target, int albums) {
  if (target > albums - 1)
    target -= albums;
  else if (target < 0)
    target += albums;
  return std::clamp(target, 0, albums - 1);
}

}  // namespace

bool SDLGui::JukeboxMode() const { return config->playmode == "jukebox"; }

// A key other than the one the access sequence waits for ends it, and the
// screen is drawn whole again without its message.
void SDLGui::keydown_main(int key) {
  if (menuSequenceStep != 0 && !KeyIs(key, MenuSequenceKey(menuSequenceStep))) {
    menuSequenceStep = 0;
    DrawAll();
  }
  if (AdvanceMenuSequence(key)) return;
  DispatchMainKey(key);
}

// Both keys are on every cabinet (touch buttons included) and only move the
// track highlight otherwise, so a sequence left half-way costs nothing.
int SDLGui::MenuSequenceKey(int step) const {
  if (step == 1) return config->up;
  if (step == 2) return config->down;
  return 0;
}

bool SDLGui::AdvanceMenuSequence(int key) {
  if (menuSequenceStep == 0 || !KeyIs(key, MenuSequenceKey(menuSequenceStep))) return false;
  if (menuSequenceStep == 1) {
    menuSequenceStep = 2;
    DrawAll();
    ShowMsg("---Esta apunto de abrir el Menu Inteligente---", genreFont, 0, false, false);
  } else {
    std::puts("Abrir menu inteligente");
    menuSequenceStep = 0;
    OpenMenuConfig();
    if (dialog == kMainScreen) redrawMode = kFullRedraw;
  }
  return true;
}

// The first role bound to key wins, so a key bound twice acts as the role
// listed first.
void SDLGui::DispatchMainKey(int key) {
  static const KeyRole kRoles[] = {
      {&MapKeys::up, &SDLGui::keydown_main_up},
      {&MapKeys::exit, &SDLGui::QuitProgram},
      {&MapKeys::apagar, &SDLGui::PowerOffMachine},
      {&MapKeys::down, &SDLGui::keydown_main_down},
      {&MapKeys::left, &SDLGui::keydown_main_left},
      {&MapKeys::right, &SDLGui::keydown_main_right},
      {&MapKeys::enter, &SDLGui::EnterPlay},
      {&MapKeys::menu, &SDLGui::OpenGenresListScreen},
      {&MapKeys::abc, &SDLGui::OpenKeyboardOrSearcher},
      {&MapKeys::cancel, &SDLGui::CancelDigit},
      {&MapKeys::discover, &SDLGui::DiscoverKey},
      {&MapKeys::wifi, &SDLGui::SellWifiCode},
      {&MapKeys::configmenu, &SDLGui::OpenMenuConfig},
      {&MapKeys::cancelsong, &SDLGui::StopPlayer},
      {&MapKeys::cancelsong2, &SDLGui::StopPlayer},
      // Coins are credited when their key goes up.
      {&MapKeys::coin1, &SDLGui::IgnoreKey},
      {&MapKeys::coin2, &SDLGui::IgnoreKey},
      {&MapKeys::coin3, &SDLGui::IgnoreKey},
      {&MapKeys::coin4, &SDLGui::IgnoreKey},
      {&MapKeys::coin5, &SDLGui::IgnoreKey},
      {&MapKeys::coin6, &SDLGui::IgnoreKey},
      {&MapKeys::upvol, &SDLGui::UpVol},
      {&MapKeys::downvol, &SDLGui::DownVol},
      {&MapKeys::upvol2, &SDLGui::UpVol},
      {&MapKeys::downvol2, &SDLGui::DownVol},
      {&MapKeys::abcnext, &SDLGui::OpenAlphabetNext},
      {&MapKeys::abcprev, &SDLGui::OpenAlphabetPrev},
  };
  if (ActOnFirstRole(key, kRoles, std::size(kRoles))) return;
  if (GetNumber(key).GetLength() > 0)
    TypeDigit(key);
  else if (IsQuitKey(key))
    QuitProgram();
}

void SDLGui::PowerOffMachine() {
  if (!platform::PowerOff()) std::puts("No se pudo apagar el equipo");
}

void SDLGui::OpenGenresListScreen() {
  if (!CanEnter(kGenresScreen)) return;
  enteringTrack = 0;
  DrawGenresList(true);
  dialog = kGenresScreen;
}

void SDLGui::OpenKeyboardOrSearcher() {
  if (config->disableKeyboard) {
    dialog = kMainScreen;
    redrawMode = kFullRedraw;
    return;
  }
  if (!CanEnter(kKeyboardScreen)) return;
  searchText = "";
  cursorPos = 0;
  ShowKeyboardScreen();
}

// The searcher keeps what it covers, to draw itself over it again, and
// its lists keep their backdrop from the drawn searcher.
void SDLGui::ShowKeyboardScreen() {
  dialog = kKeyboardScreen;
  if (!config->phonekeyboard) {
    RedrawCurrentDialog();
    return;
  }
  SDL_Rect from = searcher.SearcherArea();
  SDL_BlitSurface(screen, &from, searchPhoneSave, nullptr);
  for (ListBox* list : {localResultsList.get(), onlineResultsList.get()}) {
    list->Free();
    list->SetSelected(-1);
  }
  searcher.DrawSearch(false);
  for (ListBox* list : {localResultsList.get(), onlineResultsList.get()}) list->SaveBackground(screen, nullptr);
}

void SDLGui::DiscoverKey() {
  const int key = ShowMsg("Presiona la tecla a descubrir", genreFont, -1, true, true);
  RString text;
  text.sprintf("Tecla pulsada: 0x%X", static_cast<unsigned>(key));
  ShowNotice(text, kNoticeTime);
}

// In the coin-operated mode a code needs credit: without it the customer is
// asked for a coin, which the waiting message credits.
void SDLGui::SellWifiCode() {
  if (!JukeboxMode()) {
    if (!wifiScreen.makeWifiCode()) wifiScreen.TellCodeNotMade();
    return;
  }
  if (Credits() <= 0) {
    const int key =
        ShowMsg("Inserte 1 moneda para obtener un codigo de wifi", genreFont, -1, true, true);
    std::printf("Tecla: %d\n", key);
    std::printf("Creditos: %d\n", Credits());
    if (Credits() <= 0) return;
  }
  wifiScreen.AskWifiCode();
}

void SDLGui::OpenAlphabetAfterLongHold() {
  const uint32_t now = platform::Ticks();
  if (sideKeyHeldSince == 0) {
    sideKeyHeldSince = now;
  } else if (now - sideKeyHeldSince > kHoldOpensAlphabet) {
    sideKeyHeldSince = 0;
    OpenAlphabetNext();
  }
}

// An album without tracks keeps track 0 selected.
void SDLGui::keydown_main_up() {
  if (selTrack > 0) {
    --selTrack;
    tracksList->Up();
  } else {
    selTrack = std::max(SelectedAlbumTracks() - 1, 0);
    tracksList->SetSelected(static_cast<int>(selTrack));
  }
  FinishTrackMove();
}

void SDLGui::keydown_main_down() {
  if (static_cast<int>(selTrack) < SelectedAlbumTracks() - 1) {
    ++selTrack;
    tracksList->Down();
  } else {
    selTrack = 0;
    tracksList->SetSelected(0);
  }
  FinishTrackMove();
}

void SDLGui::FinishTrackMove() {
  ShowTracksList(false);
  DrawButtons(true);
  RestartTitleScroll();
}

void SDLGui::keydown_main_left() { MoveAlbum(-1); }

void SDLGui::keydown_main_right() { MoveAlbum(1); }

// direction is -1 (left) or 1 (right).
void SDLGui::MoveAlbum(int direction) {
  enteringTrack = 0;
  typedNumber = "";
  DrawGenre(true);
  const int albums = SelectedGenreDiscs();
  const int current = static_cast<int>(selDisc);
  const bool atEdge = direction < 0 ? current == 0 : current >= albums - 1;
  if (albums == 0 || (albums <= CoverRing::kSmallGenreDiscs && atEdge)) return;

  const int stride = config->navigation4 ? kFourAlbums : 1;
  selDisc = static_cast<uint32_t>(WrappedAlbum(current + direction * stride, albums));
  for (int i = 0; i < stride; ++i) direction < 0 ? SlideLeft() : SlideRight();
  selTrack = 0;
  redrawMode = kPartialRedraw;
  RestartTitleScroll();
  if (config->abcportadas) OpenAlphabetAfterLongHold();
}

void SDLGui::RestartTitleScroll() {
  titleScrollOffset = 0;
  titleScrollAt = platform::Ticks() + kTitleScrollPause;
}

RString SDLGui::GetNumber(int key) const {
  const int32_t digitKeys[] = {config->n0, config->n1, config->n2, config->n3, config->n4,
                               config->n5, config->n6, config->n7, config->n8, config->n9};
  for (int digit = 0; digit < 10; ++digit) {
    if (KeyIs(key, digitKeys[digit])) {
      const char text[2] = {static_cast<char>('0' + digit), '\0'};
      return text;
    }
  }
  return "";
}

void SDLGui::TypeDigit(int key) {
  typedNumber += GetNumber(key);
  if (enteringTrack)
    TypeTrackDigit();
  else
    TypeAlbumDigit();
  DrawGenre(true);
}

// A complete album number selects the album and asks for the track.
void SDLGui::TypeAlbumDigit() {
  const int albums = SelectedGenreDiscs();
  const uint32_t width = DigitCount(albums);
  if (typedNumber.GetLength() > width) typedNumber.RemoveLastChar();
  if (typedNumber.GetLength() != width) return;
  const int album = typedNumber.ToInteger();
  if (album < 1 || album > albums) {
    ShowNotice("El disco seleccionado no existe", kNoticeTime);
    typedNumber.RemoveLastChar();
    return;
  }
  selDisc = static_cast<uint32_t>(album - 1);
  selTrack = 0;
  ResetCoversCache();
  redrawMode = kFullRedraw;
  enteringTrack = 1;
  typedNumber = "";
}

// A complete track number selects the track (and with numenter buys it);
// track number 0 marks the whole album. Its digits stay typed.
void SDLGui::TypeTrackDigit() {
  const int tracks = SelectedAlbumTracks();
  const uint32_t width = DigitCount(tracks);
  if (typedNumber.GetLength() > width) {
    typedNumber.RemoveLastChar();
    return;
  }
  if (typedNumber.GetLength() != width) return;
  const int track = typedNumber.ToInteger();
  if (track > tracks) {
    ShowNotice("La pista seleccionada no existe", kNoticeTime);
    typedNumber.RemoveLastChar();
  } else if (track == 0) {
    ShowTracksList(true);
  } else {
    selTrack = static_cast<uint32_t>(track - 1);
    tracksList->SetSelected(track - 1);
    ShowTracksList(false);
    if (config->numenter) EnterPlay();
  }
}

// With no track digit left the album number comes back, ready to be edited.
void SDLGui::CancelDigit() {
  if (enteringTrack && typedNumber.GetLength() == 0) {
    enteringTrack = 0;
    typedNumber.sprintf("%0*u", DigitCount(SelectedGenreDiscs()), selDisc + 1);
  } else {
    typedNumber.RemoveLastChar();
  }
  DrawGenre(true);
}

void SDLGui::ShowTracksList(bool highlightAll) {
  SDL_Rect from = MakeRect(skin->xtrackslist, skin->ytrackslist, skin->wtrackslist,
                           skin->htrackslist);
  SDL_BlitSurface(background, &from, tracksList->GetSurface(), nullptr);
  tracksList->Draw(screen, highlightAll);
}

// 0 in a genre without albums.
int SDLGui::SelectedAlbumTracks() const {
  if (static_cast<int>(selDisc) >= SelectedGenreDiscs()) return 0;
  return library->GetTotalTracks(selGenre, selDisc);
}
