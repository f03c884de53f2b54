// "configuration" (with the key bindings it holds), "mapkeys" and
// "configuser", whose save and load give back what was loaded.
#include <cstdlib>

#include "ScratchFile.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"

namespace {

void CheckUserSettingsRoundTrip(Configuration& loaded) {
  if (loaded.SaveUserConfiguration() != 0) return;
  Configuration again(nullptr);
  if (again.LoadUserConfiguration() != 0) std::abort();
  // A play mode holding a line end cannot survive its one-line format.
  if (loaded.playmode.Chars() != std::string(again.playmode.Chars()) &&
      std::string(loaded.playmode.Chars()).find_first_of("\r\n") == std::string::npos)
    std::abort();
  if (again.creditscoin1 != loaded.creditscoin1 || again.creditscoin2 != loaded.creditscoin2 ||
      again.tvout != loaded.tvout)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* const files[] = {"configuration", "mapkeys", "configuser"};
  if (size == 0) return 0;
  const char* file = files[data[0] % 3];
  fuzz::WriteInput(file, data + 1, size - 1);
  MainLibrary library;
  Configuration configuration(&library);
  if (file == files[0]) configuration.LoadConfiguration("configuration");
  if (file == files[1]) configuration.LoadMapKeys();
  if (file == files[2] && configuration.LoadUserConfiguration() == 0) CheckUserSettingsRoundTrip(configuration);
  std::filesystem::remove(file);
  return 0;
}
