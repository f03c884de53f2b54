#include "gui/DownloadProgress.h"

#include "base/RTextFile.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace {

const char* const kProgressFolder = "downloadsprogress";
const char* const kDownloadComplete = "100";

RString ProgressFile(const RString& name) { return RString(kProgressFolder) + "\\" + name; }

// The first line of a progress file; none when it cannot be read.
std::optional<RString> ReadPercent(const RString& name) {
  RTextFile file;
  if (!file.OpenFromOutside(ProgressFile(name))) return std::nullopt;
  RString line = file.GetLine();
  line.RemoveCR();
  return line;
}

}  // namespace

DownloadProgress::DownloadProgress() : folder_(kProgressFolder) {}

std::optional<DownloadProgress::Report> DownloadProgress::Next() {
  RString name;
  while (folder_.GetFile(name)) {
    if (name.GetChar(0) == '.' || !folder_.IsFile()) continue;
    if (!platform::IsPlainListedName(name.Chars())) {
      folder_.DeleteCurrent();
      return Report{Report::kRefused, name, ""};
    }
    const std::optional<RString> percent = ReadPercent(name);
    if (!percent) continue;
    return Report{*percent == kDownloadComplete ? Report::kComplete : Report::kRunning, name, *percent};
  }
  return std::nullopt;
}

void DownloadProgress::Forget(const RString& name) { platform::DeleteFile(ProgressFile(name).Chars()); }

RString DownloadProgress::Row(const RString& title, const RString& percent) {
  return "[" + percent + "%] " + title;
}
