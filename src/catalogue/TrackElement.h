#pragma once
// One media file of a disc. Its title is the file name, extension included:
// both the text shown on screen and the last component of its path.
#include <utility>

#include "base/RList.h"
#include "base/RString.h"

class TrackElement : public RList {
 public:
  TrackElement() = default;
  explicit TrackElement(RString trackTitle);

  const RString& GetTitle() const { return title; }
  void SetTitle(RString text) { title = std::move(text); }

  RString title = "";
};
