#pragma once
// One media file of a disc. Its title is the file name, extension included:
// both the text shown on screen and the last component of its path. A plain
// value, not a list: catalogues hold a million of them.
#include <utility>

#include "base/RString.h"

class TrackElement {
 public:
  TrackElement() = default;
  explicit TrackElement(RString trackTitle) : title(std::move(trackTitle)) {}

  const RString& GetTitle() const { return title; }
  void SetTitle(RString text) { title = std::move(text); }

  RString title = "";
};
