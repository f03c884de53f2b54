#pragma once
// Where a download goes and what it is named, decided here alone: the
// download tool is told both and works out neither. The media lands in the
// folder of genre 0's album "Descargas", where the catalogue reads it back,
// and the tool names its progress file the same, which is how the searcher's
// row finds its download.
#include "base/RString.h"

class MainLibrary;

// The name of the file of the download (the tool adds its extension) of a searcher row, whatever its prefix shows
// ("[D] title", "[%] title", "[45%] title"): "[D] " and the title, with path
// separators and control characters as "_", a run of dots as one dot, and
// cut so that the name with its extension fits a host file name.
RString DownloadName(const RString& row);
// Whether a name, as the host reads it, is one file name of the downloads
// folder: no separator, no "..", no control character, within the bound.
bool IsSafeDownloadName(const RString& name);
// The internal path of genre 0's own "Descargas", which is made when the
// catalogue has none yet.
RString DownloadsFolder(MainLibrary& library);
