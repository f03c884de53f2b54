// "wps_out", the wireless tool's "name=value" lines.
#include "ScratchFile.h"
#include "programs/ProgramOutputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteInput("wps_out", data, size);
  ReportsWirelessConnection("wps_out");
  return 0;
}
