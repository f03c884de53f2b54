// The ring of scaled covers around the selected disc.
#include "gui/SDLGui.h"

void SDLGui::InitCoversCache() {
  for (int i = 0; i < kCoverSlots; ++i) coverCache.AddItem(new CoverSlot);
}

// The default cover is shared by the slots and owned by the GUI.
void SDLGui::FreeCoversCache() {
  for (RItemList* node = coverCache.GetFirst(); node != nullptr; node = node->next) {
    CoverSlot* slot = static_cast<CoverSlot*>(node->data);
    if (slot->cover != coverSurface) SDL_FreeSurface(slot->cover);
    delete slot;
  }
  coverCache.Clear();
}
