#pragma once
// XBobjIndexKey: one node of a tag's tree while it is in memory, with the position a search or
// step left in it. Only the nodes along one root-to-leaf path are held at a time.
#include <cstdint>
#include <vector>

#include "tables/index/index_key_data.hpp"

namespace tables {

inline constexpr std::uint32_t kNoPage = 0xFFFFFFFF;

struct XBobjIndexKey {
  std::uint32_t page = 0;
  std::uint32_t left = kNoPage;
  std::uint32_t right = kNoPage;
  bool leaf = true;
  bool root = false;
  std::vector<XBobjIndexKeyData> entries;
  int position = -1;  // the current entry; -1 none
  // A node a search read without decoding it all: only the current entry is valid.
  bool partial = false;

  const XBobjIndexKeyData& Current() const { return entries[static_cast<std::size_t>(position)]; }
};

}  // namespace tables
