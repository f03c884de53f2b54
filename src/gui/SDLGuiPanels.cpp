// Main-screen helpers: the play mode and the tracks list as it stands.
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"

bool SDLGui::JukeboxMode() const { return config->playmode == "jukebox"; }

void SDLGui::ShowTracksList(bool highlightAll) {
  SDL_Rect from = MakeRect(skin->xtrackslist, skin->ytrackslist, skin->wtrackslist,
                           skin->htrackslist);
  SDL_BlitSurface(background, &from, tracksList->GetSurface(), nullptr);
  tracksList->Draw(screen, highlightAll);
}

// 0 in a genre without albums.
int SDLGui::SelectedAlbumTracks() const {
  if (static_cast<int>(selDisc) >= carousel.SelectedGenreDiscs()) return 0;
  return library->GetTotalTracks(selGenre, selDisc);
}
