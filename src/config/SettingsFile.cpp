#include "config/SettingsFile.h"

#include "base/RTextFile.h"

namespace {

// Drops the line feed and every carriage return before it: tools of the
// cabinet world write lines ending in CR CR LF.
void RemoveLineEnd(RString& line) {
  line.RemoveCR();
  while (line.GetLength() > 0 && line.GetChar(line.GetLength() - 1) == '\r') line.RemoveLastChar();
}

}  // namespace

bool SettingsFile::Read(const RString& name, const Visitor& visit) {
  RTextFile file;
  if (!file.Open(name, "r")) return false;
  while (!file.eof()) {
    RString line = file.GetLine();
    if (line.GetLength() == 0) break;
    RemoveLineEnd(line);
    visit(line.BeforeFirst('='), line.AfterFirst('='));
  }
  file.Close();
  return true;
}
