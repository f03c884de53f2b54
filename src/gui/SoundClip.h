#pragma once
// SoundClip: a short sound file (WAV) played through SDL's own audio device
// without waiting for it. SDL's audio starts with the first Play; the device
// is opened for each playing and can be given back once the clip is over, so
// that other programs find it free. Without a usable audio device the clip
// stays silent, and it is not tried again.
#include <SDL.h>

#include "base/RString.h"

class SoundClip {
 public:
  // file is an internal path; it is read at the first Play.
  explicit SoundClip(const RString& file);
  ~SoundClip();
  SoundClip(const SoundClip&) = delete;
  SoundClip& operator=(const SoundClip&) = delete;

  // Starts the clip from its beginning, again when it still plays, and
  // returns at once; false when it cannot be heard (no file, no device).
  bool Play();
  // Whether the device still has samples of the clip to play.
  bool Playing() const;
  // Gives the audio device back when the clip has ended.
  void CloseWhenDone();

 private:
  static void Mix(void* clip, Uint8* stream, int length);
  bool Load();
  bool OpenDevice();
  void CloseDevice();

  RString file_;
  SDL_AudioSpec spec_{};
  Uint8* samples_ = nullptr;
  Uint32 length_ = 0;
  // Next sample byte to play; the audio thread advances it under SDL's
  // audio lock.
  Uint32 position_ = 0;
  bool deviceOpen_ = false;
  bool audioStarted_ = false;
  bool unavailable_ = false;
};
