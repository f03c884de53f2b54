#pragma once
// The "key=value" text files of the jukebox ("configuration", "mapkeys",
// "configuser", "tempdata"): one setting per line, the key before the first
// "=", the value after it, no trimming, no comments.
#include <functional>

#include "base/RString.h"

class SettingsFile {
 public:
  using Visitor = std::function<void(const RString& key, const RString& value)>;

  // Visits every line in file order, its line feed and all carriage returns
  // before it stripped; a line without "=" gives an empty key and value.
  // Reading stops at the first empty read. False when the file cannot be
  // opened.
  static bool Read(const RString& name, const Visitor& visit);
};
