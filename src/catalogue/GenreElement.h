#pragma once
// One genre folder: the list of its discs (DiscElement*), in listing order.
#include <utility>

#include "base/RList.h"
#include "base/RString.h"

class DiscElement;

class GenreElement : public RList {
 public:
  GenreElement() = default;
  explicit GenreElement(RString genreName) : name(std::move(genreName)) {}
  // A genre whose disc list takes its nodes from nodes.
  GenreElement(RString genreName, std::pmr::memory_resource* nodes) : RList(nodes), name(std::move(genreName)) {}

  const RString& GetName() const { return name; }
  void SetName(RString text) { name = std::move(text); }
  DiscElement* GetDisc(unsigned i) const;
  void AddDisc(DiscElement* disc) { AddItem(disc); }
  // The genre's own disc list.
  RList* GetDiscs() { return this; }
  int GetTotalDiscs() const { return Count(); }

  RString name = "";
};
