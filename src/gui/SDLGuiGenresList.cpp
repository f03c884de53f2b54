// The genre list: the customer picks another genre of the catalogue.
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"

void SDLGui::keydown_genreslist(int key) {
  const bool moves = KeyIs(key, config->up) || KeyIs(key, config->down) || KeyIs(key, config->left) ||
                     KeyIs(key, config->right);
  if (moves) {
    MoveInList(*genresList, key);
  } else if (KeyIs(key, config->menu)) {
    if (config->usegenremenus) {
      DrawAll();
      OpenAlphabetAtInitial(true);
    } else {
      CloseDialog();
    }
  } else if (KeyIs(key, config->cancel)) {
    CloseDialog();
  } else if (KeyIs(key, config->enter)) {
    ChooseGenre();
  } else {
    CommonDialogKey(key, true);
  }
}

// A genre without albums cannot be chosen; the list stays.
void SDLGui::ChooseGenre() {
  const int genre = genresList->GetSelected();
  if (genre < 0 || genre >= library->GetTotalGenres() || library->GetTotalDiscs(genre) == 0) {
    ShowNotice("El genero seleccionado no contiene albums", kNoticeTime);
    return;
  }
  selGenre = static_cast<uint32_t>(genre);
  selDisc = 0;
  selTrack = 0;
  ResetCoversCache();
  DrawBackground(true);
  CloseDialog();
}
