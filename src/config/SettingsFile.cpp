#include "config/SettingsFile.h"

#include "base/RTextFile.h"

bool SettingsFile::Read(const RString& name, const Visitor& visit) {
  RTextFile file;
  if (!file.Open(name, "r")) return false;
  while (!file.eof()) {
    RString line = file.GetLine();
    if (line.GetLength() == 0) break;
    line.RemoveCR();
    visit(line.BeforeFirst('='), line.AfterFirst('='));
  }
  file.Close();
  return true;
}
