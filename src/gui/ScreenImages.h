#pragma once
// Every picture the screens show and every off-screen panel they compose
// into, owned as handles that free themselves. Filled by the display set-up.
#include "gui/Surface.h"

struct ScreenImages {
  Surface background;
  // Each main-screen panel composed off-screen over its piece of background.
  Surface genreSave, coversSave, titlesSave, creditsSave, playingSave, volumeSave, coverMediaSave;
  Surface marqueeSave;
  // The marquee panel's piece of the background in the panel's format, made
  // once: each step starts from it.
  Surface marqueeBackdrop;
  // Dialog images and what they cover while shown.
  Surface genresDialogImage, genresDialogSave;
  Surface resultDialogImage, resultDialogSave;
  Surface jumpDialogImage, jumpDialogSave;
  Surface keyboardImage;
  Surface searchPhoneImage, searchPhoneSave;
  // Key highlights: ordinary, wide (erase and search), the space bar's.
  Surface keyHighlights[3];
  // The default cover at the carousel's size.
  Surface coverSurface;
  // Touch buttons: menu, accept, left, right, up, down.
  Surface buttonImages[6];
  Surface backImage;
  // The searcher's spinner: two grey frames, two red ones.
  Surface gearIcons[4];
  Surface onlineIcon, offlineIcon;
  Surface karaokeImage05, karaokeImage610;
  Surface digitImages[10];
  Surface tvOutImage;
};
