// Main-screen panels: each is composed off-screen over its piece of the
// background, then copied to the screen.
#include <algorithm>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"

void SDLGui::ComposePanel(SDL_Surface* save, int x, int y) {
  if (save == nullptr) return;
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

// The credits in the coin-operated mode, otherwise the name of the mode.
RString SDLGui::CreditsText() const {
  const RString& mode = config->playmode;
  RString text = "";
  if (mode == "jukebox")
    text.sprintf(config->countertype == "Creditos" ? "Creditos: %d" : "Pesos: %d", credits);
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
  if (creditsSave != nullptr && text.GetLength() > 0) {
    int textW = 0, textH = 0;
    modeFont.SizeText(text.c_str(), &textW, &textH);
    const int x = std::max(skin->wcredits / 2 - textW / 2, 0);
    modeFont.DrawText2(creditsSave, text.c_str(), x, 0, skin->wcredits);
  }
  if (update) UpdateCredits();
}

void SDLGui::UpdateCredits() { ShowPanel(creditsSave, skin->xcredits, skin->ycredits); }

void SDLGui::DrawVolumen(bool update) {
  ComposePanel(volumeSave, skin->xvolumen, skin->yvolumen);
  if (volumeSave != nullptr) {
    SDL_Rect bar = MakeRect(0, 0, static_cast<int>(skin->wvolumen * config->volumen / 100.0),
                            skin->hvolumen);
    SDL_FillRect(volumeSave, &bar, SDL_MapRGB(volumeSave->format, 200, 200, 200));
  }
  if (update) UpdateVolumen();
}

void SDLGui::UpdateVolumen() { ShowPanel(volumeSave, skin->xvolumen, skin->yvolumen); }

int SDLGui::CreateGenresList() {
  genresList->Free();
  int index = 0;
  for (RItemList* node = library->GetFirst(); node != nullptr; node = node->next) {
    const RString& name = static_cast<GenreElement*>(node->data)->GetName();
    RString row;
    row.sprintf("%d.- %s", ++index, name.c_str() != nullptr ? name.c_str() : "");
    genresList->AddItem(row);
  }
  return index;
}
