// "results.txt": at most 20 records, each title a non-empty line, no field
// holding a line feed.
#include <cstdlib>

#include "ScratchFile.h"
#include "programs/ProgramOutputs.h"

namespace {

bool IsField(const RString& text) { return std::string(text.Chars()).find('\n') == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteInput("results.txt", data, size);
  const std::optional<std::vector<OnlineResult>> results = ReadSearchResults("results.txt");
  if (!results || results->size() > static_cast<size_t>(kMostOnlineResults)) std::abort();
  for (const OnlineResult& result : *results)
    if (result.title.GetLength() == 0 || !IsField(result.title) || !IsField(result.url)) std::abort();
  return 0;
}
