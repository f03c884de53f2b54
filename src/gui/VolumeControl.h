#pragma once
// The volume keys: steps of the system's master volume, saved with the
// credits, and the bar that shows it for 3000 ms.
#include <cstdint>

class SDLGui;

class VolumeControl {
 public:
  explicit VolumeControl(SDLGui& gui) : gui(gui) {}
  VolumeControl(const VolumeControl&) = delete;
  VolumeControl& operator=(const VolumeControl&) = delete;

  void UpVol();
  void DownVol();
  // Sets the system's master volume in percent.
  static void ApplyVolume(int percent);
  // A step of draw: the bar drawn again, or given way to the background.
  void ShowVolumeBarUntilDue();
  // When the bar was last shown; 0 once it has gone.
  uint32_t ShownAt() const { return shownAt; }

 private:
  void StepVolume(int step);

  SDLGui& gui;
  uint32_t shownAt = 0;
};
