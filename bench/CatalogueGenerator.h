#pragma once
// Synthetic catalogues of any size, for measuring the catalogue loaders.
#include "base/RString.h"

struct GeneratedShape {
  int genres = 20;
  int albums = 10000;
  int tracksPerAlbum = 10;
};

// A catalogue file as the catalogue tool writes it. Album titles start with
// every letter and digit in turn; every tenth track is a "cdg" karaoke file.
bool GenerateCatalogueFile(const RString& fileName, const GeneratedShape& shape);

// A media root of genre / album folders holding zero-byte track files.
bool GenerateMediaTree(const RString& root, const GeneratedShape& shape);
