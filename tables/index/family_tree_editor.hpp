#pragma once
// XbFamilyTreeEditor: inserts and removes single key entries in the B+ tree of one NDX or MDX
// tag and writes the nodes it changed before the call returns. Both formats give an interior
// node one more child pointer than keys (in memory the last entry, whose key is not stored) and
// keep equal keys in insertion order, so a new entry goes after the equal keys already there and
// an entry is found by scanning the equal keys for its record.
//
// A node that outgrows its block splits: its first count - count / 2 entries go to a new block
// on its left, entered in the parent before it; a root that splits keeps its block and becomes
// the interior node above both halves. A node emptied by a removal leaves its parent (its block
// is not reused); an emptied root ends as an empty root leaf. An interior node left with one
// child pointer, which the formats cannot tell from a leaf, is merged with a neighbour; a root
// left so takes over its one child. Only the root-to-leaf path of the entry is read, and nothing
// is written when an edit fails before its nodes go out.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/index_key.hpp"
#include "tables/index/tree_path.hpp"

namespace tables {

class XBobjFamilyTag;

// How one format reads, writes and places the nodes of a tag. Pages are byte offsets.
class XbFamilyNodeFormat {
 public:
  virtual ~XbFamilyNodeFormat() = default;
  // The root's page; a walk of the editor starts here.
  virtual std::uint32_t RootPage() = 0;
  // Reads the node at page as the tag's ReadNode does.
  virtual void ReadNode(std::uint32_t page, XBobjIndexKey& node) = 0;
  // Writes entries as one node at page (an interior node's last entry without its key).
  virtual void WriteNode(std::uint32_t page, bool leaf,
                         const std::vector<XBobjIndexKeyData>& entries) = 0;
  // A new block for a node.
  virtual std::uint32_t AllocateNode() = 0;
  // The most keys a node holds (an interior node one pointer more).
  virtual std::size_t MaxKeys() const = 0;
};

class XbFamilyTreeEditor {
 public:
  XbFamilyTreeEditor(XBobjFamilyTag& tag, XbFamilyNodeFormat& format);

  // Keys in the tag's key form. Whether the tree holds the entry (key, record); with kAnyRecord
  // whether it holds key at all.
  bool Holds(std::string_view key, std::int32_t record);
  // Inserts (key, record) after the entries of equal key; false (nothing written) when a unique
  // tag holds key already.
  bool Insert(std::string_view key, std::int32_t record);
  // Removes the entry (key, record); false when there is none.
  bool Remove(std::string_view key, std::int32_t record);

 private:
  using Level = XbTreeLevel;
  enum class Stop { AtNotSmaller, AfterEqual };

  int Compare(std::string_view key, const XBobjIndexKeyData& entry) const;
  // Walks down to the leaf position where key stops; the leaf's entry count when every entry
  // is smaller.
  void Locate(std::string_view key, Stop stop);
  void PushNode(std::uint32_t page);
  // Moves the path's leaf position to the next entry in stored order, across leaves; false at
  // the end of the tree (the path then stands past the last entry).
  bool NextEntry();
  bool OnEntry() const;
  const XBobjIndexKeyData& CurrentEntry() const;
  // Gives the parents of the node at level its new greatest key, as far up as the node is the
  // last child, whose bound no parent stores.
  void RaiseKey(std::size_t level, const std::string& key);
  // Takes the emptied node at level out of its parent.
  void DropEmptied(std::size_t level);
  // Merges the interior node at level, left with one pointer, with a neighbour; the root takes
  // over its one child instead.
  void MergeLonePointer(std::size_t level);
  std::size_t Capacity(const XBobjIndexKey& node) const;
  // Writes every changed node from the leaf up.
  void Flush();
  // Writes the node at level, split as needed; true when a new root was placed above it.
  bool WriteLevel(std::size_t level);

  XBobjFamilyTag& tag_;
  XbFamilyNodeFormat& format_;
  std::vector<Level> path_;
};

}  // namespace tables
