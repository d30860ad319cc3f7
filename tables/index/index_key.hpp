#pragma once
// XBobjIndexKey: one node of a tag's tree while it is in memory, with the position a search or
// step left in it. Only the nodes along one root-to-leaf path are held at a time.
#include <cstdint>
#include <string>
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

  // Makes entries count long. The keys of entries dropped keep their storage for the entries
  // added later, so that nodes read into this one again and again do not allocate; an entry
  // added holds an old key until it is filled.
  void ResizeEntries(std::size_t count) {
    while (entries.size() > count) {
      keptKeys.push_back(std::move(entries.back().key));
      entries.pop_back();
    }
    while (entries.size() < count) {
      entries.emplace_back();
      if (keptKeys.empty()) continue;
      entries.back().key = std::move(keptKeys.back());
      keptKeys.pop_back();
    }
  }

  std::vector<std::string> keptKeys;
};

}  // namespace tables
