#pragma once
// SoundClip: a short sound file (WAV) played through SDL's own audio device
// without waiting for it. A worker thread of the clip makes every audio
// call: reading the file, opening the device, and giving it back once the
// clip is over, so that other programs find it free. Opening and closing a
// device can take tens of milliseconds (closing waits out the device's
// last buffer); the caller's loop never waits for either. Without a usable
// audio device the clip stays silent, and it is not tried again.
#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/RString.h"

class SoundClip {
 public:
  // file is an internal path; it is read at the first playing.
  explicit SoundClip(const RString& file);
  // Stops the clip and gives the device back.
  ~SoundClip();
  SoundClip(const SoundClip&) = delete;
  SoundClip& operator=(const SoundClip&) = delete;

  // Asks for the clip from its beginning, again when it still plays, and
  // returns at once. Nothing is asked of a device already found unusable.
  void Play();
  // Whether a playing asked for is not over yet: still to start, sounding,
  // or the device not given back.
  bool Playing() const;

 private:
  static void Mix(void* clip, Uint8* stream, int length);
  void Work();
  // Plays the clip until it is over, starting again when asked to, or
  // until the clip is being destroyed. Called with the lock held.
  void PlayThrough(std::unique_lock<std::mutex>& lock);
  bool SamplesLeft() const;
  bool Load();
  bool OpenDevice();
  void CloseDevice();

  RString file_;
  // Only the worker touches these, and the audio thread the samples'
  // position, under SDL's audio lock.
  SDL_AudioSpec spec_{};
  Uint8* samples_ = nullptr;
  Uint32 length_ = 0;
  Uint32 position_ = 0;
  bool deviceOpen_ = false;
  bool audioStarted_ = false;

  std::atomic<bool> unavailable_{false};
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool asked_ = false;     // a playing asked for and not started yet
  bool busy_ = false;      // from the asking until the device is given back
  bool stopping_ = false;  // the clip is being destroyed
  std::thread worker_;
};
