// The genre list: the customer picks another genre of the catalogue.
#include "gui/GenresListScreen.h"

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"

void GenresListScreen::keydown_genreslist(int key) {
  const bool moves = SDLGui::KeyIs(key, gui.config->up) || SDLGui::KeyIs(key, gui.config->down) ||
                     SDLGui::KeyIs(key, gui.config->left) || SDLGui::KeyIs(key, gui.config->right);
  if (moves) {
    gui.MoveInList(*gui.genresList, key);
  } else if (SDLGui::KeyIs(key, gui.config->menu)) {
    if (gui.config->usegenremenus) {
      gui.DrawAll();
      gui.alphabetScreen.OpenAlphabetAtInitial(true);
    } else {
      gui.CloseDialog();
    }
  } else if (SDLGui::KeyIs(key, gui.config->cancel)) {
    gui.CloseDialog();
  } else if (SDLGui::KeyIs(key, gui.config->enter)) {
    ChooseGenre();
  } else {
    gui.CommonDialogKey(key, true);
  }
}

// A genre without albums cannot be chosen; the list stays.
void GenresListScreen::ChooseGenre() {
  const int genre = gui.genresList->GetSelected();
  if (genre < 0 || genre >= gui.library->GetTotalGenres() || gui.library->GetTotalDiscs(genre) == 0) {
    gui.messageBox.ShowNotice("El genero seleccionado no contiene albums", MessageBox::kNoticeTime);
    return;
  }
  gui.selGenre = static_cast<uint32_t>(genre);
  gui.selDisc = 0;
  gui.selTrack = 0;
  gui.Carousel().ResetCoversCache();
  gui.DrawBackground(true);
  gui.CloseDialog();
}

int GenresListScreen::CreateGenresList() {
  gui.genresList->Free();
  int index = 0;
  for (RItemList* node = gui.library->GetFirst(); node != nullptr; node = node->next) {
    RString row;
    row.sprintf("%d.- %s", ++index, static_cast<GenreElement*>(node->data)->GetName().Chars());
    gui.genresList->AddItem(row);
  }
  return index;
}

// The dialog image goes on the screen first; the list keeps what lies under
// it as its backdrop.
void GenresListScreen::DrawGenresList(bool update) {
  gui.genresList->SetSelected(static_cast<int>(gui.selGenre));
  if (!update) {
    gui.genresList->Draw(nullptr, false);
    return;
  }
  SDL_Rect to = SDLGui::MakeRect(gui.skin->xgenreslist, gui.skin->ygenreslist, 0, 0);
  SDL_BlitSurface(gui.genresDialogImage, nullptr, gui.screen, &to);
  gui.UpdateScreenArea(
      SDLGui::MakeRect(gui.skin->xgenreslist, gui.skin->ygenreslist, gui.skin->wgenreslist, gui.skin->hgenreslist));
  gui.genresList->SaveBackground(gui.screen, nullptr);
  gui.genresList->Draw(gui.screen, false);
}

void GenresListScreen::CenterGenresListOnDialog() {
  if (gui.genresDialogImage == nullptr) return;
  gui.skin->wgenreslist = gui.genresDialogImage->w;
  gui.skin->hgenreslist = gui.genresDialogImage->h;
  gui.skin->xgenreslist = gui.skin->width / 2 - gui.skin->wgenreslist / 2;
  gui.skin->ygenreslist = gui.skin->height / 2 - gui.skin->hgenreslist / 2;
}
