#include "gui/SoundClip.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"

namespace {

// Samples per audio buffer: short, so that the sound follows the coin.
const Uint16 kBufferSamples = 1024;
// How often the worker looks whether the clip is over.
const std::chrono::milliseconds kEndCheck(10);

}  // namespace

SoundClip::SoundClip(const RString& file) : file_(file), worker_(&SoundClip::Work, this) {}

SoundClip::~SoundClip() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

void SoundClip::Play() {
  if (unavailable_) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    asked_ = true;
    busy_ = true;
  }
  wake_.notify_one();
}

bool SoundClip::Playing() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return busy_;
}

void SoundClip::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return asked_ || stopping_; });
    if (stopping_) break;
    PlayThrough(lock);
    busy_ = asked_;
  }
  lock.unlock();
  CloseDevice();
  if (audioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  if (samples_ != nullptr) SDL_FreeWAV(samples_);
}

// The lock is let go around every audio call, so that asking never waits
// for the device.
void SoundClip::PlayThrough(std::unique_lock<std::mutex>& lock) {
  while (asked_ && !stopping_) {
    asked_ = false;
    lock.unlock();
    const bool heard = !unavailable_ && Load() && (deviceOpen_ || OpenDevice());
    if (heard) {
      SDL_LockAudio();
      position_ = 0;
      SDL_UnlockAudio();
      SDL_PauseAudio(0);
    }
    lock.lock();
    while (heard && !asked_ && !stopping_ && SamplesLeft()) wake_.wait_for(lock, kEndCheck);
  }
  lock.unlock();
  CloseDevice();
  lock.lock();
}

bool SoundClip::SamplesLeft() const {
  SDL_LockAudio();
  const bool left = position_ < length_;
  SDL_UnlockAudio();
  return left;
}

// The device plays the clip in its own format; SDL converts it to what the
// hardware takes.
void SoundClip::Mix(void* userdata, Uint8* stream, int length) {
  SoundClip& clip = *static_cast<SoundClip*>(userdata);
  std::memset(stream, clip.spec_.silence, static_cast<size_t>(length));
  const Uint32 left = clip.length_ - clip.position_;
  const Uint32 count = std::min(left, static_cast<Uint32>(length));
  if (count == 0) return;
  SDL_MixAudio(stream, clip.samples_ + clip.position_, count, SDL_MIX_MAXVOLUME);
  clip.position_ += count;
}

// A missing file is looked for again at the next playing.
bool SoundClip::Load() {
  if (samples_ != nullptr) return true;
  FILE* file = platform::OpenFile(file_.Chars(), "rb");
  if (file == nullptr) return false;
  SDL_RWops* source = SDL_RWFromFP(file, 1);
  if (source == nullptr) {
    std::fclose(file);
    return false;
  }
  if (SDL_LoadWAV_RW(source, 1, &spec_, &samples_, &length_) == nullptr) {
    std::printf("No se pudo leer el sonido %s: %s\n", file_.c_str(), SDL_GetError());
    samples_ = nullptr;
    return false;
  }
  position_ = length_;
  return true;
}

bool SoundClip::OpenDevice() {
  if (!SDL_WasInit(SDL_INIT_AUDIO)) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
      unavailable_ = true;
      return false;
    }
    audioStarted_ = true;
  }
  SDL_AudioSpec wanted = spec_;
  wanted.samples = kBufferSamples;
  wanted.callback = &SoundClip::Mix;
  wanted.userdata = this;
  if (SDL_OpenAudio(&wanted, nullptr) < 0) {
    unavailable_ = true;
    return false;
  }
  spec_.silence = wanted.silence;
  deviceOpen_ = true;
  return true;
}

void SoundClip::CloseDevice() {
  if (!deviceOpen_) return;
  SDL_CloseAudio();
  deviceOpen_ = false;
}
