#pragma once
// One genre folder: the list of its discs (DiscElement*), in listing order.
// Discs are read by position through an index, kept by AddDisc and made
// whole by IndexDiscs after discs were placed otherwise; while the list has
// changed other than by AddDisc since, positions are found by walking it.
#include <utility>

#include "base/RList.h"
#include "base/RString.h"
#include "catalogue/AppendOnlyTable.h"

class DiscElement;

class GenreElement : public RList {
 public:
  GenreElement() = default;
  explicit GenreElement(RString genreName) : name(std::move(genreName)) {}
  // A genre whose disc list and index take their memory from nodes.
  GenreElement(RString genreName, std::pmr::memory_resource* nodes)
      : RList(nodes), name(std::move(genreName)), discIndex_(nodes) {}

  const RString& GetName() const { return name; }
  void SetName(RString text) { name = std::move(text); }
  DiscElement* GetDisc(unsigned i) const;
  RItemList* GetDiscNode(unsigned i) const;
  void AddDisc(DiscElement* disc);
  // Indexes the discs as they lie now; nobody may read meanwhile.
  void IndexDiscs();
  // The genre's own disc list.
  RList* GetDiscs() { return this; }
  int GetTotalDiscs() const { return Count(); }

  RString name = "";

 private:
  bool IndexIsWhole() const;

  // The discs' nodes by position.
  AppendOnlyTable<RItemList> discIndex_{std::pmr::new_delete_resource()};
  // The list's reshapes the index has seen.
  unsigned indexedShape_ = 0;
};
