#include "programs/ProgramOutputs.h"

#include <cstdio>

#include "base/RTextFile.h"

namespace {

const char* const kConnectedState = "COMPLETED";

// The next line without its line end; false at the end of the file or on
// an empty line.
bool ReadField(RTextFile& file, RString& line) {
  line = file.GetLine();
  while (line.GetLength() > 0 && (line.GetChar(line.GetLength() - 1) == '\n' ||
                                  line.GetChar(line.GetLength() - 1) == '\r'))
    line.RemoveLastChar();
  return line.GetLength() > 0;
}

}  // namespace

std::optional<std::vector<OnlineResult>> ReadSearchResults(const char* fileName) {
  RTextFile file;
  if (!file.OpenFromOutside(fileName)) return std::nullopt;
  std::vector<OnlineResult> results;
  RString title;
  while (static_cast<int>(results.size()) < kMostOnlineResults && ReadField(file, title)) {
    results.push_back(OnlineResult{title, ""});
    RString fields[4];
    bool complete = true;
    for (RString& field : fields) complete = complete && ReadField(file, field);
    if (!complete) break;
    results.back().url = fields[2];
  }
  return results;
}

bool ReportsWirelessConnection(const char* fileName) {
  RTextFile file;
  if (!file.OpenFromOutside(fileName)) return false;
  for (;;) {
    RString line = file.GetLine();
    line.RemoveCR();  // leaves a lone line feed
    if (line.GetLength() == 0 || line == "\n") return false;
    const RString name = line.BeforeFirst('=');
    if (name.GetLength() == 0) {
      std::puts("Saltando linea sin =");
    } else if (name == "wpa_state") {
      const RString state = line.AfterFirst('=');
      if (state == kConnectedState) return true;
      std::printf("WPS state: %s\n", state.Chars());
    }
  }
}
