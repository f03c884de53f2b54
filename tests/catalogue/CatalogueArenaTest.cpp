#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/CatalogueArena.h"

namespace {

// Texts of many lengths, taken through several blocks while their pages
// are made ready ahead on another thread, and after that thread is gone.
TEST(CatalogueArena, TextsKeptThroughBlocksWhosePagesAreMadeAhead) {
  CatalogueArena arena;
  std::vector<std::string> texts;
  std::vector<RString> kept;
  const auto keep = [&](int count) {
    for (int i = 0; i < count; ++i) {
      texts.push_back(std::to_string(texts.size()) + std::string(texts.size() % 61, 'x'));
      kept.push_back(arena.Text(texts.back().c_str(), static_cast<uint32_t>(texts.back().size())));
    }
  };
  {
    const CatalogueArena::Ahead ahead(arena);
    keep(200000);
  }
  keep(1000);
  size_t differing = 0;
  for (size_t i = 0; i < texts.size(); ++i) differing += texts[i] != kept[i].Chars();
  EXPECT_EQ(differing, 0u);
}

}  // namespace
