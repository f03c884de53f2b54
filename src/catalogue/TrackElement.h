#pragma once
// One media file of a disc. Its title is the file name, extension included:
// both the text shown on screen and the last component of its path.
#include "base/RList.h"
#include "base/RString.h"

class TrackElement : public RList {
 public:
  TrackElement() = default;
  explicit TrackElement(const RString& trackTitle);

  const RString& GetTitle() const { return title; }
  void SetTitle(const RString& text) { title = text; }

  RString title = "";
};
