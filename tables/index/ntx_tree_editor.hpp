#pragma once
// NtxTreeEditor: inserts and removes single entries in the B-tree of an NTX tag and writes the
// pages it changed before the call returns. Equal keys stay in the order they came in: a new
// entry goes after the entries with its key. A page that outgrows its maximum splits: the
// first count - count / 2 entries leave for a new page, the last of them going up to the
// parent as the entry between the two pages; a root that splits keeps its page, which becomes
// the interior page above both halves. An interior entry that is removed takes the entry
// before it from the leaves in its place. A page left without keys merges with a neighbour
// through the parent entry between them (or shares the neighbour's keys when the neighbour
// is full); a root left with one child takes that child's keys, and an emptied root stays as
// an empty root leaf. Other pages may stay underfull. Called with the index file locked and
// its next free page taken from the file size.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/ntx_page.hpp"

namespace tables {

class XBobjNTXTag;
class XBobjIndexFile;

class NtxTreeEditor {
 public:
  NtxTreeEditor(XBobjNTXTag& tag, XBobjIndexFile& file);

  // Keys in the tag's key form.
  // Whether the tree holds the entry (key, record).
  bool Holds(std::string_view key, std::int32_t record);
  // Inserts (key, record) after the entries with key; false (nothing inserted) when the tag
  // is unique and holds key already.
  bool Insert(std::string_view key, std::int32_t record);
  // Removes the entry (key, record); false when there is none.
  bool Remove(std::string_view key, std::int32_t record);

 private:
  struct Level {
    std::uint32_t page;
    NtxPage image;
    int slot;  // the child descended into, or the entry the search stands on
    bool changed;
  };
  // A page's content as entries: the keys with their children, and the child after them.
  struct Entries {
    std::vector<NtxStoredEntry> keys;
    std::uint32_t last = 0;  // 0 in a leaf
  };

  // probe against the key at slot of image: -1, 0 or 1.
  int Order(std::string_view probe, const NtxPage& image, int slot) const;
  NtxPage ReadImage(std::uint32_t page) const;
  void WriteImage(std::uint32_t page, const NtxPage& image);
  void WriteEntries(std::uint32_t page, const Entries& entries);
  void Push(std::uint32_t page);
  // Walks down to the first entry not smaller than key; false when there is none.
  bool FindFirst(std::string_view key);
  // Walks down to the leaf slot after every entry not greater than key.
  void DescendAfter(std::string_view key);
  // Leaves the path on the next entry in key order from the end of a page; false at the end.
  bool Settle();
  // Moves the path to the next entry in key order; false at the end.
  bool Advance();
  // Finds the entry (key, record) and leaves the path on it.
  bool Find(std::string_view key, std::int32_t record);

  // Puts entry before slot of the page at level, splitting it when it is full.
  void InsertAt(std::size_t level, int slot, const NtxStoredEntry& entry);
  // The page at level (not the root) has no keys: it merges with a neighbour.
  void Rebalance(std::size_t level);
  // The root at level 0 has no keys and one child: it takes the child's keys.
  void Collapse();
  // Splits entries at count - count / 2: the part before, the entry between and the rest.
  void Split(const Entries& all, Entries& before, NtxStoredEntry& between, Entries& after) const;
  static Entries EntriesOf(const NtxPage& image);
  // Writes every changed page of the path.
  void Flush();

  XBobjNTXTag& tag_;
  XBobjIndexFile& file_;
  NtxHeader header_;
  std::vector<Level> path_;
};

}  // namespace tables
