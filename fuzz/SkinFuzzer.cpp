// The skin file "skins/<name>.txt".
#include "ScratchFile.h"
#include "gui/Skin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  std::filesystem::create_directories("skins");
  fuzz::WriteInput("skins/fuzz.txt", data, size);
  Skin skin(1024, 768, 1);
  skin.SetSkinName("fuzz");
  skin.CalculateCoordinates(1, 0, 0);
  return 0;
}
