// What one cover costs the main loop, as a whole process: the time to
// decode and scale it to a carousel slot and the peak memory.
//   cover_measure png WIDTH HEIGHT FILE    makes a PNG of one colour
//   cover_measure jpeg WIDTH HEIGHT FILE   makes a JPEG of noise
//   cover_measure pjpeg WIDTH HEIGHT FILE  the same, progressive
//   cover_measure FILE                     decodes and scales FILE
#include <SDL.h>
#include <sys/resource.h>
#include <turbojpeg.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "gui/CoverDecoder.h"
#include "gui/SDLGui.h"
#include "support/Png.h"

namespace {

std::string MakeJpeg(int width, int height, int flags) {
  std::vector<unsigned char> pixels(size_t(width) * height * 3);
  std::mt19937 random(1);
  for (unsigned char& byte : pixels) byte = static_cast<unsigned char>(random());
  tjhandle encoder = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  tjCompress2(encoder, pixels.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420, 85, flags);
  std::string data(reinterpret_cast<char*>(jpeg), size);
  tjFree(jpeg);
  tjDestroy(encoder);
  return data;
}

rusage Usage() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage;
}

long CpuMilliseconds(const rusage& usage) {
  return usage.ru_utime.tv_sec * 1000L + usage.ru_utime.tv_usec / 1000 + usage.ru_stime.tv_sec * 1000L +
         usage.ru_stime.tv_usec / 1000;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5) {
    const auto width = static_cast<uint32_t>(std::atoi(argv[2])), height = static_cast<uint32_t>(std::atoi(argv[3]));
    const bool progressive = std::strcmp(argv[1], "pjpeg") == 0;
    const std::string data =
        std::strcmp(argv[1], "png") == 0
            ? SolidPng(width, height, width, height, 0, 0, 0)
            : MakeJpeg(static_cast<int>(width), static_cast<int>(height), progressive ? TJFLAG_PROGRESSIVE : 0);
    std::ofstream(argv[4], std::ios::binary) << data;
    return 0;
  }
  if (argc != 2) return 2;
  const rusage before = Usage();
  const auto start = std::chrono::steady_clock::now();
  SDL_Surface* image = DecodeCover(argv[1], 200, 200);
  SDL_Surface* scaled = SDLGui::ScaledCopy(image, 200, 200);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  const rusage after = Usage();
  std::printf("%s: %s, %lld ms (%ld ms of CPU), peak %ld MB (%ld MB before)\n", argv[1],
              scaled != nullptr ? "decoded" : "refused", static_cast<long long>(took.count()),
              CpuMilliseconds(after) - CpuMilliseconds(before), after.ru_maxrss / 1024, before.ru_maxrss / 1024);
  SDL_FreeSurface(scaled);
  SDL_FreeSurface(image);
  return 0;
}
