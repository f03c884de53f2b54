#pragma once
// Catalogue elements that tests make outside a catalogue's arena: kept until
// the test program ends, then freed.
#include <memory>
#include <vector>

template <class Element>
Element* Kept(Element* element) {
  static std::vector<std::unique_ptr<Element>> kept;
  kept.emplace_back(element);
  return element;
}
