// Main-screen panels: each is composed off-screen over its piece of the
// background, then copied to the screen with only its rectangle updated.
#include <SDL_gfxPrimitives.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
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

int SDLGui::DigitCount(int count) {
  int digits = 1;
  for (; count >= 10; count /= 10) ++digits;
  return digits;
}

RString SDLGui::NumberedRow(int number, int count, const RString& text) {
  RString row;
  row.sprintf("%0*d.- %s", DigitCount(count), number, text.Chars());
  return row;
}

// A title without "." before its end has no extension to leave out.
RString SDLGui::ShownTitle(const RString& title) {
  const RString shown = title.BeforeLast('.');
  return shown.GetLength() > 0 ? shown : title;
}

bool SDLGui::TrackExists(const QueueElement& entry) const {
  const GenreElement* genre = library->GetGenre(entry.genre);
  const DiscElement* disc = genre != nullptr ? genre->GetDisc(entry.disc) : nullptr;
  return disc != nullptr && entry.track < static_cast<uint32_t>(disc->GetTotalTracks());
}

void SDLGui::ComposePanel(SDL_Surface* save, int x, int y) {
  if (save == nullptr || background == nullptr) return;
  SDL_Rect from = MakeRect(x, y, save->w, save->h);
  SDL_BlitSurface(background, &from, save, nullptr);
}

void SDLGui::PlacePanel(SDL_Surface* save, int x, int y) {
  SDL_Rect to = MakeRect(x, y, 0, 0);
  SDL_BlitSurface(save, nullptr, screen, &to);
}

void SDLGui::ShowPanel(SDL_Surface* save, int x, int y) {
  if (save == nullptr) return;
  PlacePanel(save, x, y);
  UpdateScreenArea(MakeRect(x, y, save->w, save->h));
}

// Genre header -----------------------------------------------------------

// The genre's name, or the album and track numbers being typed.
RString SDLGui::GenreHeader() const {
  RString header;
  if (enteringTrack) {
    header.sprintf("Disco: %0*u    Pista: %s", DigitCount(SelectedGenreDiscs()), selDisc + 1,
                   typedNumber.Chars());
  } else if (typedNumber.GetLength() > 0) {
    header.sprintf("Disco: %s", typedNumber.Chars());
  } else {
    const GenreElement* genre = library->GetGenre(selGenre);
    header.sprintf("Genero: %s", genre != nullptr ? genre->GetName().Chars() : "");
  }
  return header;
}

void SDLGui::DrawGenre(bool update) {
  ComposePanel(genreSave, skin->xgenre, skin->ygenre);
  WriteText(genreFont, genreSave, GenreHeader(), 0, 0, 0);
  if (update) UpdateGenre();
}

void SDLGui::UpdateGenre() { ShowPanel(genreSave, skin->xgenre, skin->ygenre); }

// Disc titles and covers -------------------------------------------------

// The titles are numbered by position in the genre; in the all-music genre
// by the disc's own index.
void SDLGui::DrawTitles(bool update) {
  ComposePanel(titlesSave, skin->xtitles, skin->ytitles);
  const int discs = SelectedGenreDiscs();
  const int step = skin->wcover + skin->coverseparation;
  for (int i = 0; i < CoversOnScreen(); ++i) {
    const CoverSlot* slot = coverRing.At(CoverRing::kSelected + i);
    if (slot == nullptr) {
      std::printf("Error, pcover puntero incorrecto en DrawTitles");
      continue;
    }
    if (slot->disc >= static_cast<uint32_t>(discs)) continue;
    const int number =
        (selGenre == 0 ? library->GetDiscIndex(selGenre, slot->disc) : slot->disc) + 1;
    WriteText(titlesFont, titlesSave,
              NumberedRow(number, discs, library->GetDiscTitle(selGenre, slot->disc)), step * i, 0,
              skin->wcover);
  }
  if (update) UpdateTitles();
}

void SDLGui::UpdateTitles() { ShowPanel(titlesSave, skin->xtitles, skin->ytitles); }

void SDLGui::DrawCovers(bool update) {
  ComposePanel(coversSave, skin->xcovers, skin->ycovers);
  const int step = skin->wcover + skin->coverseparation;
  for (int i = 0; coversSave != nullptr && i < CoversOnScreen(); ++i) {
    const CoverSlot* slot = coverRing.At(CoverRing::kSelected + i);
    if (slot == nullptr) {
      std::printf("Error al obtener la portada %d de la cache de portadas\n", i);
      continue;
    }
    if (i == 0) {
      DrawSelectedCover(ShownCover(*slot, true));
    } else {
      SDL_Rect to = MakeRect(step * i + skin->coverseparation, 0, 0, 0);
      SDL_BlitSurface(ShownCover(*slot, false), nullptr, coversSave, &to);
    }
  }
  if (update) UpdateCovers();
}

// The selected cover, one gap larger in each direction than the others,
// framed.
void SDLGui::DrawSelectedCover(SDL_Surface* enlarged) {
  if (enlarged == nullptr) return;
  SDL_BlitSurface(enlarged, nullptr, coversSave, nullptr);
  const int right = enlarged->w;
  const int bottom = enlarged->h - 1;
  for (int k = 0; k < kSelectedFrames; ++k)
    rectangleColor(coversSave, static_cast<Sint16>(k), static_cast<Sint16>(k),
                   static_cast<Sint16>(right - k), static_cast<Sint16>(bottom - k),
                   kSelectedFrameColor);
}

void SDLGui::UpdateCovers() { ShowPanel(coversSave, skin->xcovers, skin->ycovers); }

// Tracks and queue -------------------------------------------------------

void SDLGui::DrawTracks(bool update) {
  tracksList->Free();
  const GenreElement* genre = library->GetGenre(selGenre);
  const DiscElement* disc = genre != nullptr ? genre->GetDisc(selDisc) : nullptr;
  if (disc != nullptr) {
    const int count = disc->GetTotalTracks();
    for (int t = 0; t < count; ++t)
      tracksList->AddItem(NumberedRow(t + 1, count, ShownTitle(disc->GetTrack(static_cast<unsigned>(t))->GetTitle())));
  }
  tracksList->SetSelected(static_cast<int>(selTrack));
  ComposeList(*tracksList, background);
  tracksList->Draw(update ? screen : nullptr, false);
}

void SDLGui::UpdateTracks() { tracksList->Update(screen); }

// The playing item at position 0 is the now-playing panel's. The last
// visible row counts the entries that do not fit.
void SDLGui::DrawQueue(bool update) {
  if (config->noshowqueue) return;
  queueList->Free();
  const int visible = queueList->GetNVisibles();
  const std::vector<QueueElement> entries = queue->GetElements();
  int removed = 0;
  for (size_t i = 1; i < entries.size(); ++i) {
    const int position = static_cast<int>(i) - removed;
    if (position >= visible) break;
    if (position + 1 == visible) {
      const int hidden = queue->Count() - visible + 1;
      RString more;
      more.sprintf(hidden == 1 ? "+%d cancion" : "+%d canciones", hidden);
      queueList->AddItem(more);
      break;
    }
    const QueueElement& entry = entries[i];
    if (!TrackExists(entry)) {
      queue->RemoveIf(position, entry);  // unless the playback thread moved it
      ++removed;
      continue;
    }
    queueList->AddItem(QueueRow(
        ShownTitle(library->GetTrackTitle(entry.genre, entry.disc, entry.track)), entry.vip));
  }
  ComposeList(*queueList, background);
  queueList->Draw(update ? screen : nullptr, false);
}

void SDLGui::UpdateQueue() {
  if (!config->noshowqueue) queueList->Update(screen);
}

// Credits, now playing, volume -------------------------------------------

// The credits in the coin-operated mode, otherwise the name of the mode.
RString SDLGui::CreditsText() const {
  const RString& mode = config->playmode;
  RString text = "";
  if (mode == "jukebox")
    text.sprintf(config->countertype == "Creditos" ? "Creditos: %d" : "Pesos: %d", Credits());
  else if (mode == "fiesta")
    text = "Fiesta";
  else if (mode == "continuo")
    text = "Continuo";
  else if (mode == "aleatorio")
    text = "Aleatorio";
  return text;
}

void SDLGui::DrawCredits(bool update) {
  ComposePanel(creditsSave, skin->xcredits, skin->ycredits);
  const RString text = CreditsText();
  if (text.GetLength() > 0) {
    int textW = 0;
    modeFont.SizeText(text.Chars(), &textW, nullptr);
    WriteText(modeFont, creditsSave, text, skin->wcredits / 2 - textW / 2, 0, skin->wcredits);
  }
  if (update) UpdateCredits();
}

void SDLGui::UpdateCredits() { ShowPanel(creditsSave, skin->xcredits, skin->ycredits); }

// A full-screen video covers the main screen; the panel is then left alone.
void SDLGui::DrawPlayingInfo(bool update) {
  if (!config->tvout && !miniVideo && player != nullptr && player->IsVideoOnQueue()) return;
  ComposePanel(playingSave, skin->xinfo, skin->yinfo);
  const std::optional<QueueElement> playing = queue->GetElementFromQueue(0);
  if (playing && TrackExists(*playing)) {
    const QueueElement& item = *playing;
    RString lines[4];
    lines[0].sprintf("Reproduciendo: %02u:%02u", playSeconds / 60, playSeconds % 60);
    lines[1].sprintf("Genero: %u.- %s", item.genre + 1, library->GetGenreName(item.genre).Chars());
    lines[2].sprintf("Album: %u.- %s", item.disc + 1,
                     library->GetDiscTitle(item.genre, item.disc).Chars());
    lines[3].sprintf("Pista: %u.- %s", item.track + 1,
                     ShownTitle(library->GetTrackTitle(item.genre, item.disc, item.track)).Chars());
    const int lineHeight = playingFont.GetFontHeight();
    for (int k = 0; k < 4; ++k)
      WriteText(playingFont, playingSave, lines[k], 0, k * lineHeight, skin->winfo);
  }
  if (update) UpdatePlayingInfo();
}

void SDLGui::UpdatePlayingInfo() {
  if (dialog == kMainScreen) ShowPanel(playingSave, skin->xinfo, skin->yinfo);
}

// The playing item's cover, or the default cover when its disc has none or
// it cannot be read, and while the cover loader reads it.
void SDLGui::DrawCoverMedia(bool update) {
  ComposePanel(coverMediaSave, skin->xmedia, skin->ymedia);
  const std::optional<QueueElement> playing = queue->GetElementFromQueue(0);
  if (coverMediaSave != nullptr && playing && TrackExists(*playing)) {
    SDL_Surface* cover = PlayingCover(playing->genre, playing->disc);
    if (cover == nullptr) cover = ScaledCopy(coverSurface, skin->wmedia, skin->hmedia);
    if (cover == nullptr) return;
    SDL_BlitSurface(cover, nullptr, coverMediaSave, nullptr);
    SDL_FreeSurface(cover);
  }
  if (update) UpdateCoverMedia();
}

void SDLGui::UpdateCoverMedia() { ShowPanel(coverMediaSave, skin->xmedia, skin->ymedia); }

void SDLGui::DrawVolumen(bool update) {
  ComposePanel(volumeSave, skin->xvolumen, skin->yvolumen);
  if (volumeSave != nullptr) {
    SDL_Rect bar =
        MakeRect(0, 0, static_cast<int>(skin->wvolumen * config->volumen / 100.0), skin->hvolumen);
    if (bar.w > 0) SDL_FillRect(volumeSave, &bar, SDL_MapRGB(volumeSave->format, 200, 200, 200));
  }
  if (update) UpdateVolumen();
}

void SDLGui::UpdateVolumen() { ShowPanel(volumeSave, skin->xvolumen, skin->yvolumen); }

// Touch buttons ------------------------------------------------------------

void SDLGui::DrawButtons(bool update) {
  if (!config->touchscreen || dialog == kKeyboardScreen) return;
  for (int i = 0; i < 6; ++i) {
    SDL_Surface* button = buttonImages[i];
    if (button == nullptr) continue;
    SDL_Rect to = kButtonPlaces[i];
    SDL_BlitSurface(button, nullptr, screen, &to);
    if (update)
      UpdateScreenArea(MakeRect(kButtonPlaces[i].x, kButtonPlaces[i].y, button->w, button->h));
  }
}

bool SDLGui::JukeboxMode() const { return config->playmode == "jukebox"; }

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
