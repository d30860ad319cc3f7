#pragma once
// The bottom-up writer of the B+ trees of NDX and MDX tags: one node buffer per level, a
// node written when it is full and another entry arrives, its last key passed up with its
// address; an interior node holds one more pointer than keys (its last key is given up). At
// the end every level is written from the bottom up and the top level is the root. Writing a
// node only when the next entry arrives leaves no level with a lone pointer at the end.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tables/index/index_key_data.hpp"

namespace tables {

class XbFamilyTreeWriter {
 public:
  // write(entries, leaf) stores one node and returns its address; in a leaf every entry's
  // pointer is its record number, in an interior node the child's address.
  using NodeWrite = std::function<std::uint32_t(const std::vector<XBobjIndexKeyData>&, bool)>;

  XbFamilyTreeWriter(int maxKeys, NodeWrite write);

  void Add(const std::string& key, std::int32_t record);
  // Writes what is left; the root's address (an empty leaf when no key came).
  std::uint32_t Finish();

 private:
  void AddAt(std::size_t level, XBobjIndexKeyData entry);
  // The last entry a level receives, at the end.
  void AddLast(std::size_t level, XBobjIndexKeyData entry);
  std::size_t Capacity(std::size_t level) const;

  std::size_t maxKeys_;
  NodeWrite write_;
  std::vector<std::vector<XBobjIndexKeyData>> levels_;
};

}  // namespace tables
