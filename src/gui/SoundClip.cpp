#include "gui/SoundClip.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"

namespace {

// Samples per audio buffer: short, so that the sound follows the coin.
const Uint16 kBufferSamples = 1024;

}  // namespace

SoundClip::SoundClip(const RString& file) : file_(file) {}

SoundClip::~SoundClip() {
  CloseDevice();
  if (audioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  if (samples_ != nullptr) SDL_FreeWAV(samples_);
}

bool SoundClip::Play() {
  if (unavailable_ || !Load()) return false;
  if (!deviceOpen_ && !OpenDevice()) return false;
  SDL_LockAudio();
  position_ = 0;
  SDL_UnlockAudio();
  SDL_PauseAudio(0);
  return true;
}

bool SoundClip::Playing() const {
  if (!deviceOpen_) return false;
  SDL_LockAudio();
  const bool playing = position_ < length_;
  SDL_UnlockAudio();
  return playing;
}

void SoundClip::CloseWhenDone() {
  if (deviceOpen_ && !Playing()) CloseDevice();
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

// A missing file is looked for again at the next Play.
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
