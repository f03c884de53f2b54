// Main-screen panels: each is composed off-screen over its piece of the
// background, then copied to the screen with only its rectangle updated.
#include <SDL_gfxPrimitives.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/MainPanels.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "playback/Player.h"
#include "playback/Queue.h"

namespace {

// Frame of the selected cover, in SDL_gfx's RGBA order: opaque cyan.
const Uint32 kSelectedFrameColor = 0x00FFFFFF;
const int kSelectedFrames = 3;

// The touch buttons in the order of buttonImages, at fixed screen points.
const SDL_Rect kButtonPlaces[6] = {
    {850, 580, 0, 0},  // menu
    {700, 580, 0, 0},  // accept
    {0, 195, 0, 0},    // left
    {890, 195, 0, 0},  // right
    {230, 385, 0, 0},  // up
    {230, 660, 0, 0},  // down
};



// Draws text on a composed panel; nothing without the panel's surface.
void WriteText(SDL_TTFWriter& writer, SDL_Surface* panel, const RString& text, int x, int y,
               int maxWidth) {
  if (panel == nullptr) return;
  writer.DrawText2(panel, text.Chars(), static_cast<unsigned>(std::max(x, 0)),
                   static_cast<unsigned>(std::max(y, 0)),
                   static_cast<unsigned>(std::max(maxWidth, 0)));
}

// A list box's backdrop is its rectangle of the background image.
void ComposeList(ListBox& list, SDL_Surface* background) {
  SDL_Rect area = list.rect;
  list.SaveBackground(background, &area);
}

// A waiting entry's row; VIP entries are marked.
RString QueueRow(const RString& title, bool vip) {
  if (!vip) return title;
  RString row;
  row.sprintf("[*] %s", title.Chars());
  return row;
}

}  // namespace

int MainPanels::DigitCount(int count) {
  int digits = 1;
  for (; count >= 10; count /= 10) ++digits;
  return digits;
}

RString MainPanels::NumberedRow(int number, int count, const RString& text) {
  RString row;
  row.sprintf("%0*d.- %s", DigitCount(count), number, text.Chars());
  return row;
}

// A title without "." before its end has no extension to leave out.
RString MainPanels::ShownTitle(const RString& title) {
  const RString shown = title.BeforeLast('.');
  return shown.GetLength() > 0 ? shown : title;
}

bool MainPanels::TrackExists(const QueueElement& entry) const {
  const GenreElement* genre = gui.library->GetGenre(entry.genre);
  const DiscElement* disc = genre != nullptr ? genre->GetDisc(entry.disc) : nullptr;
  return disc != nullptr && entry.track < static_cast<uint32_t>(disc->GetTotalTracks());
}

void MainPanels::ComposePanel(SDL_Surface* save, int x, int y) {
  if (save == nullptr || gui.background == nullptr) return;
  SDL_Rect from = SDLGui::MakeRect(x, y, save->w, save->h);
  SDL_BlitSurface(gui.background, &from, save, nullptr);
}

void MainPanels::PlacePanel(SDL_Surface* save, int x, int y) {
  SDL_Rect to = SDLGui::MakeRect(x, y, 0, 0);
  SDL_BlitSurface(save, nullptr, gui.screen, &to);
}

void MainPanels::ShowPanel(SDL_Surface* save, int x, int y) {
  if (save == nullptr) return;
  PlacePanel(save, x, y);
  gui.UpdateScreenArea(SDLGui::MakeRect(x, y, save->w, save->h));
}

// Genre header -----------------------------------------------------------

// The genre's name, or the album and track numbers being typed.
RString MainPanels::GenreHeader() const {
  RString header;
  if (gui.enteringTrack) {
    header.sprintf("Disco: %0*u    Pista: %s", DigitCount(gui.Carousel().SelectedGenreDiscs()), gui.selDisc + 1,
                   gui.typedNumber.Chars());
  } else if (gui.typedNumber.GetLength() > 0) {
    header.sprintf("Disco: %s", gui.typedNumber.Chars());
  } else {
    const GenreElement* genre = gui.library->GetGenre(gui.selGenre);
    header.sprintf("Genero: %s", genre != nullptr ? genre->GetName().Chars() : "");
  }
  return header;
}

void MainPanels::DrawGenre(bool update) {
  ComposePanel(gui.genreSave, gui.skin->xgenre, gui.skin->ygenre);
  WriteText(gui.genreFont, gui.genreSave, GenreHeader(), 0, 0, 0);
  if (update) UpdateGenre();
}

void MainPanels::UpdateGenre() { ShowPanel(gui.genreSave, gui.skin->xgenre, gui.skin->ygenre); }

// Disc titles and covers -------------------------------------------------

// The titles are numbered by position in the genre; in the all-music genre
// by the disc's own index.
void MainPanels::DrawTitles(bool update) {
  ComposePanel(gui.titlesSave, gui.skin->xtitles, gui.skin->ytitles);
  const int discs = gui.Carousel().SelectedGenreDiscs();
  const int step = gui.skin->wcover + gui.skin->coverseparation;
  for (int i = 0; i < gui.Carousel().CoversOnScreen(); ++i) {
    const CoverRing::Slot* slot = gui.carousel.Ring().At(CoverRing::kSelected + i);
    if (slot == nullptr) {
      std::printf("Error, pcover puntero incorrecto en DrawTitles");
      continue;
    }
    if (slot->disc >= static_cast<uint32_t>(discs)) continue;
    const int number =
        (gui.selGenre == 0 ? gui.library->GetDiscIndex(gui.selGenre, slot->disc) : slot->disc) + 1;
    WriteText(gui.titlesFont, gui.titlesSave,
              NumberedRow(number, discs, gui.library->GetDiscTitle(gui.selGenre, slot->disc)), step * i, 0,
              gui.skin->wcover);
  }
  if (update) UpdateTitles();
}

void MainPanels::UpdateTitles() { ShowPanel(gui.titlesSave, gui.skin->xtitles, gui.skin->ytitles); }

void MainPanels::DrawCovers(bool update) {
  ComposePanel(gui.coversSave, gui.skin->xcovers, gui.skin->ycovers);
  const int step = gui.skin->wcover + gui.skin->coverseparation;
  for (int i = 0; gui.coversSave != nullptr && i < gui.Carousel().CoversOnScreen(); ++i) {
    const CoverRing::Slot* slot = gui.carousel.Ring().At(CoverRing::kSelected + i);
    if (slot == nullptr) {
      std::printf("Error al obtener la portada %d de la cache de portadas\n", i);
      continue;
    }
    if (i == 0) {
      DrawSelectedCover(gui.Carousel().ShownCover(*slot, true));
    } else {
      SDL_Rect to = SDLGui::MakeRect(step * i + gui.skin->coverseparation, 0, 0, 0);
      SDL_BlitSurface(gui.Carousel().ShownCover(*slot, false), nullptr, gui.coversSave, &to);
    }
  }
  if (update) UpdateCovers();
}

// The selected cover, one gap larger in each direction than the others,
// framed.
void MainPanels::DrawSelectedCover(SDL_Surface* enlarged) {
  if (enlarged == nullptr) return;
  SDL_BlitSurface(enlarged, nullptr, gui.coversSave, nullptr);
  const int right = enlarged->w;
  const int bottom = enlarged->h - 1;
  for (int k = 0; k < kSelectedFrames; ++k)
    rectangleColor(gui.coversSave, static_cast<Sint16>(k), static_cast<Sint16>(k),
                   static_cast<Sint16>(right - k), static_cast<Sint16>(bottom - k),
                   kSelectedFrameColor);
}

void MainPanels::UpdateCovers() { ShowPanel(gui.coversSave, gui.skin->xcovers, gui.skin->ycovers); }

// Tracks and queue -------------------------------------------------------

void MainPanels::DrawTracks(bool update) {
  gui.tracksList->Free();
  const GenreElement* genre = gui.library->GetGenre(gui.selGenre);
  const DiscElement* disc = genre != nullptr ? genre->GetDisc(gui.selDisc) : nullptr;
  if (disc != nullptr) {
    const int count = disc->GetTotalTracks();
    for (int t = 0; t < count; ++t)
      gui.tracksList->AddItem(
          NumberedRow(t + 1, count, ShownTitle(disc->GetTrack(static_cast<unsigned>(t))->GetTitle())));
  }
  gui.tracksList->SetSelected(static_cast<int>(gui.selTrack));
  ComposeList(*gui.tracksList, gui.background);
  gui.tracksList->Draw(update ? gui.screen : nullptr, false);
}

void MainPanels::UpdateTracks() { gui.tracksList->Update(gui.screen); }

// The playing item at position 0 is the now-playing panel's. The last
// visible row counts the entries that do not fit.
void MainPanels::DrawQueue(bool update) {
  if (gui.config->noshowqueue) return;
  gui.queueList->Free();
  const int visible = gui.queueList->GetNVisibles();
  const std::vector<QueueElement> entries = gui.queue->GetElements();
  int removed = 0;
  for (size_t i = 1; i < entries.size(); ++i) {
    const int position = static_cast<int>(i) - removed;
    if (position >= visible) break;
    if (position + 1 == visible) {
      const int hidden = gui.queue->Count() - visible + 1;
      RString more;
      more.sprintf(hidden == 1 ? "+%d cancion" : "+%d canciones", hidden);
      gui.queueList->AddItem(more);
      break;
    }
    const QueueElement& entry = entries[i];
    if (!TrackExists(entry)) {
      gui.queue->RemoveIf(position, entry);  // unless the playback thread moved it
      ++removed;
      continue;
    }
    gui.queueList->AddItem(QueueRow(
        ShownTitle(gui.library->GetTrackTitle(entry.genre, entry.disc, entry.track)), entry.vip));
  }
  ComposeList(*gui.queueList, gui.background);
  gui.queueList->Draw(update ? gui.screen : nullptr, false);
}

void MainPanels::UpdateQueue() {
  if (!gui.config->noshowqueue) gui.queueList->Update(gui.screen);
}

// Credits, now playing, volume -------------------------------------------

// The credits in the coin-operated mode, otherwise the name of the mode.
RString MainPanels::CreditsText() const {
  const RString& mode = gui.config->playmode;
  RString text = "";
  if (mode == "jukebox")
    text.sprintf(gui.config->countertype == "Creditos" ? "Creditos: %d" : "Pesos: %d", gui.Credits());
  else if (mode == "fiesta")
    text = "Fiesta";
  else if (mode == "continuo")
    text = "Continuo";
  else if (mode == "aleatorio")
    text = "Aleatorio";
  return text;
}

void MainPanels::DrawCredits(bool update) {
  ComposePanel(gui.creditsSave, gui.skin->xcredits, gui.skin->ycredits);
  const RString text = CreditsText();
  if (text.GetLength() > 0) {
    int textW = 0;
    gui.modeFont.SizeText(text.Chars(), &textW, nullptr);
    WriteText(gui.modeFont, gui.creditsSave, text, gui.skin->wcredits / 2 - textW / 2, 0, gui.skin->wcredits);
  }
  if (update) UpdateCredits();
}

void MainPanels::UpdateCredits() { ShowPanel(gui.creditsSave, gui.skin->xcredits, gui.skin->ycredits); }

// A full-screen video covers the main screen; the panel is then left alone.
void MainPanels::DrawPlayingInfo(bool update) {
  if (!gui.config->tvout && !gui.miniVideo && gui.player != nullptr && gui.player->IsVideoOnQueue()) return;
  ComposePanel(gui.playingSave, gui.skin->xinfo, gui.skin->yinfo);
  const std::optional<QueueElement> playing = gui.queue->GetElementFromQueue(0);
  if (playing && TrackExists(*playing)) {
    const QueueElement& item = *playing;
    RString lines[4];
    lines[0].sprintf("Reproduciendo: %02u:%02u", gui.playSeconds / 60, gui.playSeconds % 60);
    lines[1].sprintf("Genero: %u.- %s", item.genre + 1, gui.library->GetGenreName(item.genre).Chars());
    lines[2].sprintf("Album: %u.- %s", item.disc + 1,
                     gui.library->GetDiscTitle(item.genre, item.disc).Chars());
    lines[3].sprintf("Pista: %u.- %s", item.track + 1,
                     ShownTitle(gui.library->GetTrackTitle(item.genre, item.disc, item.track)).Chars());
    const int lineHeight = gui.playingFont.GetFontHeight();
    for (int k = 0; k < 4; ++k)
      WriteText(gui.playingFont, gui.playingSave, lines[k], 0, k * lineHeight, gui.skin->winfo);
  }
  if (update) UpdatePlayingInfo();
}

void MainPanels::UpdatePlayingInfo() {
  if (gui.dialog == SDLGui::kMainScreen) ShowPanel(gui.playingSave, gui.skin->xinfo, gui.skin->yinfo);
}

// The playing item's cover, or the default cover when its disc has none or
// it cannot be read, and while the cover loader reads it.
void MainPanels::DrawCoverMedia(bool update) {
  ComposePanel(gui.coverMediaSave, gui.skin->xmedia, gui.skin->ymedia);
  const std::optional<QueueElement> playing = gui.queue->GetElementFromQueue(0);
  if (gui.coverMediaSave != nullptr && playing && TrackExists(*playing)) {
    SDL_Surface* cover = gui.Carousel().PlayingCover(playing->genre, playing->disc);
    if (cover == nullptr) cover = SDLGui::ScaledCopy(gui.coverSurface, gui.skin->wmedia, gui.skin->hmedia);
    if (cover == nullptr) return;
    SDL_BlitSurface(cover, nullptr, gui.coverMediaSave, nullptr);
    SDL_FreeSurface(cover);
  }
  if (update) UpdateCoverMedia();
}

void MainPanels::UpdateCoverMedia() { ShowPanel(gui.coverMediaSave, gui.skin->xmedia, gui.skin->ymedia); }

void MainPanels::DrawVolumen(bool update) {
  ComposePanel(gui.volumeSave, gui.skin->xvolumen, gui.skin->yvolumen);
  if (gui.volumeSave != nullptr) {
    SDL_Rect bar =
        SDLGui::MakeRect(0, 0, static_cast<int>(gui.skin->wvolumen * gui.config->volumen / 100.0), gui.skin->hvolumen);
    if (bar.w > 0) SDL_FillRect(gui.volumeSave, &bar, SDL_MapRGB(gui.volumeSave->format, 200, 200, 200));
  }
  if (update) UpdateVolumen();
}

void MainPanels::UpdateVolumen() { ShowPanel(gui.volumeSave, gui.skin->xvolumen, gui.skin->yvolumen); }

// Touch buttons ------------------------------------------------------------

void MainPanels::DrawButtons(bool update) {
  if (!gui.config->touchscreen || gui.dialog == SDLGui::kKeyboardScreen) return;
  for (int i = 0; i < 6; ++i) {
    SDL_Surface* button = gui.buttonImages[i];
    if (button == nullptr) continue;
    SDL_Rect to = kButtonPlaces[i];
    SDL_BlitSurface(button, nullptr, gui.screen, &to);
    if (update)
      gui.UpdateScreenArea(SDLGui::MakeRect(kButtonPlaces[i].x, kButtonPlaces[i].y, button->w, button->h));
  }
}
