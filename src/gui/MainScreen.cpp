// The main screen's keys: moving through albums and tracks, typing album and
// track numbers, and opening the other screens and actions; the selected
// title's scroll.
#include "gui/MainScreen.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/System.h"

namespace {

const uint32_t kTitleScrollPause = 3000;
const int32_t kTitleScrollStep = 301;
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

// A key other than the one the access sequence waits for ends it, and the
// screen is drawn whole again without its message.
void MainScreen::keydown_main(int key) {
  if (gui.menuSequenceStep != 0 && !SDLGui::KeyIs(key, MenuSequenceKey(gui.menuSequenceStep))) {
    gui.menuSequenceStep = 0;
    gui.DrawAll();
  }
  if (AdvanceMenuSequence(key)) return;
  DispatchMainKey(key);
}

// Both keys are on every cabinet (touch buttons included) and only move the
// track highlight otherwise, so a sequence left half-way costs nothing.
int MainScreen::MenuSequenceKey(int step) const {
  if (step == 1) return gui.config->up;
  if (step == 2) return gui.config->down;
  return 0;
}

bool MainScreen::AdvanceMenuSequence(int key) {
  if (gui.menuSequenceStep == 0 || !SDLGui::KeyIs(key, MenuSequenceKey(gui.menuSequenceStep))) return false;
  if (gui.menuSequenceStep == 1) {
    gui.menuSequenceStep = 2;
    gui.DrawAll();
    gui.messageBox.ShowMsg("---Esta apunto de abrir el Menu Inteligente---", gui.genreFont, 0, false, false);
  } else {
    std::puts("Abrir menu inteligente");
    gui.menuSequenceStep = 0;
    gui.OpenMenuConfig();
    if (gui.dialog == SDLGui::kMainScreen) gui.redrawMode = SDLGui::kFullRedraw;
  }
  return true;
}

// The first role bound to key wins, so a key bound twice acts as the role
// listed first.
void MainScreen::DispatchMainKey(int key) {
  struct Role {
    int32_t MapKeys::*binding;
    void (*action)(MainScreen& screen);
  };
  static const Role kRoles[] = {
      {&MapKeys::up, [](MainScreen& s) { s.keydown_main_up(); }},
      {&MapKeys::exit, [](MainScreen& s) { s.gui.QuitProgram(); }},
      {&MapKeys::apagar, [](MainScreen& s) { s.PowerOffMachine(); }},
      {&MapKeys::down, [](MainScreen& s) { s.keydown_main_down(); }},
      {&MapKeys::left, [](MainScreen& s) { s.keydown_main_left(); }},
      {&MapKeys::right, [](MainScreen& s) { s.keydown_main_right(); }},
      {&MapKeys::enter, [](MainScreen& s) { s.gui.purchases.EnterPlay(); }},
      {&MapKeys::menu, [](MainScreen& s) { s.OpenGenresListScreen(); }},
      {&MapKeys::abc, [](MainScreen& s) { s.OpenKeyboardOrSearcher(); }},
      {&MapKeys::cancel, [](MainScreen& s) { s.CancelDigit(); }},
      {&MapKeys::discover, [](MainScreen& s) { s.DiscoverKey(); }},
      {&MapKeys::wifi, [](MainScreen& s) { s.SellWifiCode(); }},
      {&MapKeys::configmenu, [](MainScreen& s) { s.gui.OpenMenuConfig(); }},
      {&MapKeys::cancelsong, [](MainScreen& s) { s.gui.StopPlayer(); }},
      {&MapKeys::cancelsong2, [](MainScreen& s) { s.gui.StopPlayer(); }},
      // Coins are credited when their key goes up.
      {&MapKeys::coin1, [](MainScreen&) {}},
      {&MapKeys::coin2, [](MainScreen&) {}},
      {&MapKeys::coin3, [](MainScreen&) {}},
      {&MapKeys::coin4, [](MainScreen&) {}},
      {&MapKeys::coin5, [](MainScreen&) {}},
      {&MapKeys::coin6, [](MainScreen&) {}},
      {&MapKeys::upvol, [](MainScreen& s) { s.gui.volume.UpVol(); }},
      {&MapKeys::downvol, [](MainScreen& s) { s.gui.volume.DownVol(); }},
      {&MapKeys::upvol2, [](MainScreen& s) { s.gui.volume.UpVol(); }},
      {&MapKeys::downvol2, [](MainScreen& s) { s.gui.volume.DownVol(); }},
      {&MapKeys::abcnext, [](MainScreen& s) { s.gui.alphabetScreen.OpenAlphabetNext(); }},
      {&MapKeys::abcprev, [](MainScreen& s) { s.gui.alphabetScreen.OpenAlphabetPrev(); }},
  };
  for (const Role& role : kRoles) {
    if (!SDLGui::KeyIs(key, gui.config->*role.binding)) continue;
    role.action(*this);
    return;
  }
  if (GetNumber(key).GetLength() > 0)
    TypeDigit(key);
  else if (gui.inputs.IsQuitKey(key))
    gui.QuitProgram();
}

void MainScreen::PowerOffMachine() {
  if (!platform::PowerOff()) std::puts("No se pudo apagar el equipo");
}

void MainScreen::OpenGenresListScreen() {
  if (!gui.CanEnter(SDLGui::kGenresScreen)) return;
  gui.enteringTrack = 0;
  gui.genresScreen.DrawGenresList(true);
  gui.dialog = SDLGui::kGenresScreen;
}

void MainScreen::OpenKeyboardOrSearcher() {
  if (gui.config->disableKeyboard) {
    gui.dialog = SDLGui::kMainScreen;
    gui.redrawMode = SDLGui::kFullRedraw;
    return;
  }
  if (!gui.CanEnter(SDLGui::kKeyboardScreen)) return;
  gui.searchText = "";
  gui.cursorPos = 0;
  ShowKeyboardScreen();
}

// The searcher keeps what it covers, to draw itself over it again, and
// its lists keep their backdrop from the drawn searcher.
void MainScreen::ShowKeyboardScreen() {
  gui.dialog = SDLGui::kKeyboardScreen;
  if (!gui.config->phonekeyboard) {
    gui.RedrawCurrentDialog();
    return;
  }
  SDL_Rect from = gui.searcher.SearcherArea();
  SDL_BlitSurface(gui.screen, &from, gui.searchPhoneSave, nullptr);
  for (ListBox* list : {gui.localResultsList.get(), gui.onlineResultsList.get()}) {
    list->Free();
    list->SetSelected(-1);
  }
  gui.searcher.DrawSearch(false);
  for (ListBox* list : {gui.localResultsList.get(), gui.onlineResultsList.get()})
    list->SaveBackground(gui.screen, nullptr);
}

void MainScreen::DiscoverKey() {
  const int key = gui.messageBox.ShowMsg("Presiona la tecla a descubrir", gui.genreFont, -1, true, true);
  RString text;
  text.sprintf("Tecla pulsada: 0x%X", static_cast<unsigned>(key));
  gui.messageBox.ShowNotice(text, MessageBox::kNoticeTime);
}

// In the coin-operated mode a code needs credit: without it the customer is
// asked for a coin, which the waiting message credits.
void MainScreen::SellWifiCode() {
  if (!gui.JukeboxMode()) {
    if (!gui.wifiScreen.makeWifiCode()) gui.wifiScreen.TellCodeNotMade();
    return;
  }
  if (gui.Credits() <= 0) {
    const int key = gui.messageBox.ShowMsg("Inserte 1 moneda para obtener un codigo de wifi", gui.genreFont, -1, true, true);
    std::printf("Tecla: %d\n", key);
    std::printf("Creditos: %d\n", gui.Credits());
    if (gui.Credits() <= 0) return;
  }
  gui.wifiScreen.AskWifiCode();
}

void MainScreen::OpenAlphabetAfterLongHold() {
  const uint32_t now = platform::Ticks();
  if (sideKeyHeldSince == 0) {
    sideKeyHeldSince = now;
  } else if (now - sideKeyHeldSince > kHoldOpensAlphabet) {
    sideKeyHeldSince = 0;
    gui.alphabetScreen.OpenAlphabetNext();
  }
}

// An album without tracks keeps track 0 selected.
void MainScreen::keydown_main_up() {
  if (gui.selTrack > 0) {
    --gui.selTrack;
    gui.tracksList->Up();
  } else {
    gui.selTrack = std::max(gui.SelectedAlbumTracks() - 1, 0);
    gui.tracksList->SetSelected(static_cast<int>(gui.selTrack));
  }
  FinishTrackMove();
}

void MainScreen::keydown_main_down() {
  if (static_cast<int>(gui.selTrack) < gui.SelectedAlbumTracks() - 1) {
    ++gui.selTrack;
    gui.tracksList->Down();
  } else {
    gui.selTrack = 0;
    gui.tracksList->SetSelected(0);
  }
  FinishTrackMove();
}

void MainScreen::FinishTrackMove() {
  gui.ShowTracksList(false);
  gui.Panels().DrawButtons(true);
  RestartTitleScroll();
}

void MainScreen::keydown_main_left() { MoveAlbum(-1); }

void MainScreen::keydown_main_right() { MoveAlbum(1); }

// direction is -1 (left) or 1 (right).
void MainScreen::MoveAlbum(int direction) {
  gui.enteringTrack = 0;
  gui.typedNumber = "";
  gui.Panels().DrawGenre(true);
  const int albums = gui.Carousel().SelectedGenreDiscs();
  const int current = static_cast<int>(gui.selDisc);
  const bool atEdge = direction < 0 ? current == 0 : current >= albums - 1;
  if (albums == 0 || (albums <= CoverRing::kSmallGenreDiscs && atEdge)) return;

  const int stride = gui.config->navigation4 ? kFourAlbums : 1;
  gui.selDisc = static_cast<uint32_t>(WrappedAlbum(current + direction * stride, albums));
  for (int i = 0; i < stride; ++i) direction < 0 ? gui.Carousel().SlideLeft() : gui.Carousel().SlideRight();
  gui.selTrack = 0;
  gui.redrawMode = SDLGui::kPartialRedraw;
  RestartTitleScroll();
  if (gui.config->abcportadas) OpenAlphabetAfterLongHold();
}

void MainScreen::RestartTitleScroll() {
  gui.titleScrollOffset = 0;
  gui.titleScrollAt = platform::Ticks() + kTitleScrollPause;
}

RString MainScreen::GetNumber(int key) const {
  const int32_t digitKeys[] = {gui.config->n0, gui.config->n1, gui.config->n2, gui.config->n3, gui.config->n4,
                               gui.config->n5, gui.config->n6, gui.config->n7, gui.config->n8, gui.config->n9};
  for (int digit = 0; digit < 10; ++digit) {
    if (SDLGui::KeyIs(key, digitKeys[digit])) {
      const char text[2] = {static_cast<char>('0' + digit), '\0'};
      return text;
    }
  }
  return "";
}

void MainScreen::TypeDigit(int key) {
  gui.typedNumber += GetNumber(key);
  if (gui.enteringTrack)
    TypeTrackDigit();
  else
    TypeAlbumDigit();
  gui.Panels().DrawGenre(true);
}

// A complete album number selects the album and asks for the track.
void MainScreen::TypeAlbumDigit() {
  const int albums = gui.Carousel().SelectedGenreDiscs();
  const uint32_t width = MainPanels::DigitCount(albums);
  if (gui.typedNumber.GetLength() > width) gui.typedNumber.RemoveLastChar();
  if (gui.typedNumber.GetLength() != width) return;
  const int album = gui.typedNumber.ToInteger();
  if (album < 1 || album > albums) {
    gui.messageBox.ShowNotice("El disco seleccionado no existe", MessageBox::kNoticeTime);
    gui.typedNumber.RemoveLastChar();
    return;
  }
  gui.selDisc = static_cast<uint32_t>(album - 1);
  gui.selTrack = 0;
  gui.Carousel().ResetCoversCache();
  gui.redrawMode = SDLGui::kFullRedraw;
  gui.enteringTrack = 1;
  gui.typedNumber = "";
}

// A complete track number selects the track (and with numenter buys it);
// track number 0 marks the whole album. Its digits stay typed.
void MainScreen::TypeTrackDigit() {
  const int tracks = gui.SelectedAlbumTracks();
  const uint32_t width = MainPanels::DigitCount(tracks);
  if (gui.typedNumber.GetLength() > width) {
    gui.typedNumber.RemoveLastChar();
    return;
  }
  if (gui.typedNumber.GetLength() != width) return;
  const int track = gui.typedNumber.ToInteger();
  if (track > tracks) {
    gui.messageBox.ShowNotice("La pista seleccionada no existe", MessageBox::kNoticeTime);
    gui.typedNumber.RemoveLastChar();
  } else if (track == 0) {
    gui.ShowTracksList(true);
  } else {
    gui.selTrack = static_cast<uint32_t>(track - 1);
    gui.tracksList->SetSelected(track - 1);
    gui.ShowTracksList(false);
    if (gui.config->numenter) gui.purchases.EnterPlay();
  }
}

// With no track digit left the album number comes back, ready to be edited.
void MainScreen::CancelDigit() {
  if (gui.enteringTrack && gui.typedNumber.GetLength() == 0) {
    gui.enteringTrack = 0;
    gui.typedNumber.sprintf("%0*u", MainPanels::DigitCount(gui.Carousel().SelectedGenreDiscs()), gui.selDisc + 1);
  } else {
    gui.typedNumber.RemoveLastChar();
  }
  gui.Panels().DrawGenre(true);
}

// A selected title too wide for the tracks list moves one character to the
// left every 301 ms; scrolled out, it starts again after 3000 ms. The list
// stays put under a full-screen video.
void MainScreen::ScrollSelectedTitle() {
  if (gui.tracksList->Count() == 0 || static_cast<int>(gui.selTrack) >= gui.SelectedAlbumTracks()) return;
  if (gui.video.VideoOnQueue() && !gui.miniVideo && !gui.config->tvout) return;
  if (!gui.tracksList->MustMove(SelectedTrackRow(0))) return;
  // A time still to come (the pause) counts as not yet due.
  const auto sinceStep = static_cast<int32_t>(platform::Ticks() - gui.titleScrollAt);
  if (gui.dialog == SDLGui::kMainScreen && sinceStep >= kTitleScrollStep) StepTitleScroll();
  gui.Panels().DrawButtons(true);
}

RString MainScreen::SelectedTrackRow(uint32_t offset) const {
  const RString title = MainPanels::ShownTitle(gui.library->GetTrackTitle(gui.selGenre, gui.selDisc, gui.selTrack));
  return MainPanels::NumberedRow(static_cast<int>(gui.selTrack) + 1, gui.SelectedAlbumTracks(),
                             title.GetSubString(offset, title.GetLength()));
}

void MainScreen::StepTitleScroll() {
  const RString title = MainPanels::ShownTitle(gui.library->GetTrackTitle(gui.selGenre, gui.selDisc, gui.selTrack));
  if (gui.titleScrollOffset >= title.GetLength()) {
    RestartTitleScroll();
    return;
  }
  gui.tracksList->SetItem(SelectedTrackRow(gui.titleScrollOffset), static_cast<int>(gui.selTrack));
  // A whole album offered for sale stays highlighted.
  gui.tracksList->Draw(gui.screen, gui.tracksList->highlightAll);
  ++gui.titleScrollOffset;
  gui.titleScrollAt = platform::Ticks();
}
