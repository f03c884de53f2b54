#include "gui/VolumeControl.h"

#include <algorithm>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "programs/ExternalPrograms.h"

namespace {

const int kVolumeStep = 2;
const uint32_t kVolumeBarShown = 3000;

int ClampPercent(int percent) { return std::clamp(percent, 0, 100); }

}  // namespace

void VolumeControl::UpVol() { StepVolume(kVolumeStep); }

void VolumeControl::DownVol() { StepVolume(-kVolumeStep); }

// A step at the limit changes nothing but still shows the bar.
void VolumeControl::StepVolume(int step) {
  int32_t& volume = gui.config->volumen;
  const int limit = step > 0 ? 100 : 0;
  if (step > 0 ? volume >= limit : volume <= limit) {
    volume = limit;
  } else {
    volume = ClampPercent(volume + step);
    ApplyVolume(volume);
    gui.cashbox->SetVolume(volume);
  }
  if (!gui.video.VideoPlaying() || gui.miniVideo) gui.panels.DrawVolumen(true);
  shownAt = platform::Ticks();
}

// The cabinet's audio device and its volume tool both come down to the
// system's master mixer here.
void VolumeControl::ApplyVolume(int percent) { SetMasterVolume(ClampPercent(percent)); }

// The bar stays 3000 ms, drawn again on every pass unless a video covers it,
// and then gives way to the background.
void VolumeControl::ShowVolumeBarUntilDue() {
  if (shownAt == 0) return;
  if (platform::Ticks() - shownAt > kVolumeBarShown) {
    gui.panels.ComposePanel(gui.volumeSave, gui.skin->xvolumen, gui.skin->yvolumen);
    gui.panels.ShowPanel(gui.volumeSave, gui.skin->xvolumen, gui.skin->yvolumen);
    shownAt = 0;
  } else if (!gui.video.VideoPlaying()) {
    gui.panels.DrawVolumen(true);
  }
}
