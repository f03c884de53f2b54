#pragma once
// One genre folder: the list of its discs (DiscElement*), in listing order.
#include "base/RList.h"
#include "base/RString.h"

class DiscElement;

class GenreElement : public RList {
 public:
  GenreElement() = default;
  explicit GenreElement(const RString& genreName) : name(genreName) {}

  const RString& GetName() const { return name; }
  void SetName(const RString& text) { name = text; }
  DiscElement* GetDisc(unsigned i) const;
  void AddDisc(DiscElement* disc) { AddItem(disc); }
  // The genre's own disc list.
  RList* GetDiscs() { return this; }
  int GetTotalDiscs() const { return Count(); }

  RString name = "";
};
