#pragma once
// The media player's video window apart from the rest of the GUI: full
// screen, small over the media panel while the customer uses the screen,
// and hidden under boxes it would cover.
#include <SDL.h>

#include <cstdint>

class SDLGui;

class VideoPlacement {
 public:
  explicit VideoPlacement(SDLGui& gui) : gui(gui) {}
  VideoPlacement(const VideoPlacement&) = delete;
  VideoPlacement& operator=(const VideoPlacement&) = delete;

  void FullVideo();
  void HideVideoWindow();
  void ShowVideoWindow();
  // A key or touch while a video plays brings the video to the small window.
  void NoteInputDuringVideo();
  void MiniVideo();
  // A small video goes back to full screen after timeoutvideohide seconds
  // without input.
  void FullAfterIdle();
  // Hides the video window when it lies over box; whether it did.
  bool HideVideoOver(const SDL_Rect& box);
  bool VideoPlaying() const;
  bool VideoOnQueue() const;

 private:
  void SetVideoArea(const SDL_Rect& area);

  SDLGui& gui;
  uint32_t lastInputDuringVideo = 0;
};
