#pragma once
// A list of texts that owns a heap copy of every text it is given.
#include "base/RList.h"
#include "base/RString.h"

class RStringsList : public RList {
 public:
  RStringsList() = default;
  ~RStringsList() override;

  bool AddItem(const RString& text);
  bool DeleteItem(int index) override;
  bool Clear() override;

  // A copy of the text at index; a text without buffer for a bad index.
  RString GetItem(int index) const;
  RString operator[](int index) const { return GetItem(index); }

  // Texts enter only through AddItem, so that every element is an owned copy.
  bool PrependItem(void* data) = delete;
  bool InsertItem(void* data, int index) = delete;
  RItemList* InsertItemRawAfter(void* data, RItemList* node) = delete;
  bool SetItem(void* data, int index) = delete;
};
