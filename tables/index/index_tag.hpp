#pragma once
// XBobjIndexTag: one tag of an index file, format-neutral: searching (exact and prefix),
// stepping in key order, ranges and positioning on an entry. The tree is walked through the
// nodes the format reads (ReadNode); only the path from the root to the current entry is held.
//
// Keys here are in the tag's key form (ConvertKey): text without trailing blanks, numbers and
// dates as their key bytes. Equal keys are ordered by record number unless the format says
// otherwise. A descending tag is stored ascending and only walked backwards, except in formats
// that store it in descending order (every comparison negated).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/index_key.hpp"
#include "tables/index/key_variant.hpp"
#include "tables/index/node_search.hpp"

namespace tables {

// Move codes: relative moves of the table handler.
namespace xb_move {
inline constexpr int Next = -1;
inline constexpr int Previous = -2;
inline constexpr int First = -3;
inline constexpr int Last = -4;
inline constexpr int Reread = -5;
}  // namespace xb_move

// The error code of an index file that is not valid, or of a damaged page found later.
inline constexpr int kInvalidIndexCode = 2112;

// Record number that matches any record in a search.
inline constexpr std::int32_t kAnyRecord = -1;

// The key types a tag reports: its keys are text (C), numbers (N), dates (D) or logicals (L,
// stored as the one-character texts T and F).
enum class XbKeyType : char { Character = 'C', Numeric = 'N', Date = 'D', Logical = 'L' };

class XBobjIndexTag {
 public:
  explicit XBobjIndexTag(std::string name) : name_(std::move(name)) {}
  virtual ~XBobjIndexTag() = default;
  XBobjIndexTag(const XBobjIndexTag&) = delete;
  XBobjIndexTag& operator=(const XBobjIndexTag&) = delete;

  // The key form of a value of the tag's type (trailing blanks removed, cut to the key
  // length). A value of another type raises "Variant types mismatch for compare".
  virtual std::string ConvertKey(const TxbVariant& value) const = 0;
  // ConvertKey into key, whose storage is used again: formats that override it convert
  // without allocating.
  virtual void AssignKey(const TxbVariant& value, std::string& key) const {
    key = ConvertKey(value);
  }
  // The page of the tree's root.
  virtual std::uint32_t ReadRootOffset() = 0;
  // Reads and decodes the node at page; a damaged node raises an engine error naming it.
  virtual void ReadNode(std::uint32_t page, XBobjIndexKey& node) = 0;

  // Reads the node at page into node and finds where search stops in it: sets the position
  // to the first entry the search stops at (an interior node's last entry when no other one
  // stops it, a leaf's last entry with result 1 when none does) and returns, for a leaf, the
  // comparison there; an empty node gives 1. Formats may leave the node partial. The default
  // decodes the whole node and halves on its entries.
  virtual int SearchNode(std::uint32_t page, const XBobjNodeSearch& search, XBobjIndexKey& node);

  // The type of the tag's keys, as its file's header gives it.
  virtual XbKeyType keyType() const { return XbKeyType::Character; }

  // The tag's key expression and its evaluation on the table's current record, for tags of
  // index files over a table; a tag with no table behind it has no expression and no keys.
  virtual std::string KeyExpressionText() const { return {}; }
  // The current record's key in key form; false when the expression gives no key value.
  virtual bool EvaluateKey(std::string&) { return false; }
  // True when the tag has no FOR expression or it holds for the current record.
  virtual bool EvaluateFor() { return true; }

  const std::string& name() const { return name_; }
  bool characterKeys() const { return characterKeys_; }
  bool descending() const { return descending_; }
  bool unique() const { return unique_; }

  // The first entry (lowest record number) whose key equals value, or whose key begins with
  // it when exact is off and the keys are text. Returns its record number, or 0 with the tag
  // left on the next greater entry (EOF when there is none or it lies above the range).
  std::int32_t Seek(const TxbVariant& value, bool exact);
  std::int32_t SeekKey(std::string_view key, bool exact);
  // Positions on the entry (key, record); returns record, or 0 when there is no such entry.
  std::int32_t SeekEntry(std::string_view key, std::int32_t record);
  // The record number of key without disturbing the position; 0 when there is none.
  std::int32_t FindRecord(const TxbVariant& value);

  // Moves by an xb_move code; the record number at the new position, 0 at BOF or EOF.
  std::int32_t Move(int code);

  // Restricts stepping to keys from low to high (either may be absent). With highAsPrefix a
  // text key that begins with high still counts as inside. Moves to the first entry in range.
  std::int32_t SetRange(std::optional<std::string> low, std::optional<std::string> high,
                        bool highAsPrefix);
  void ClearRange();

  bool bof() const { return bof_; }
  bool eof() const { return eof_; }
  // The current entry; nullptr at BOF or EOF.
  const XBobjIndexKeyData* current() const;

 protected:
  void SetKeyTraits(bool characterKeys, bool descending, bool unique) {
    characterKeys_ = characterKeys;
    descending_ = descending;
    unique_ = unique;
  }
  void SetName(std::string name) { name_ = std::move(name); }
  // Formats whose equal keys lie in insertion order, and formats that store a descending tag
  // from its greatest key.
  void SetStoredOrder(bool recordsOrderEqualKeys, bool storedDescending) {
    recordsOrderEqualKeys_ = recordsOrderEqualKeys;
    storedDescending_ = storedDescending;
  }
  // Forgets the path (the tree changed below it).
  void ForgetPath() { TrimPath(0); }
  // Raises the engine error for a damaged node or tree.
  [[noreturn]] virtual void NodeFault(std::uint32_t page, const std::string& reason) const;
  // True when the tree may have changed since it was last read from the root, so that a step
  // must find the current entry again first.
  virtual bool TreeChanged() { return false; }

 private:
  enum class Stop { AtNotSmaller, AfterEqual };

  // Compares probe (with record, or kAnyRecord) with entry: -1 smaller, 0 equal, 1 greater.
  int Compare(std::string_view probe, std::int32_t record, const XBobjIndexKeyData& entry,
              bool prefixMatches) const;
  // Walks down from the root; the leaf comparison result (-1, 0, 1) as in a seek. An empty
  // tree gives 1.
  int Descend(std::string_view probe, std::int32_t record, bool prefixMatches, Stop stop);
  int StepPastLeaf(std::string_view probe, std::int32_t record, bool prefixMatches, Stop stop);
  // Walks to the entry (key, record), scanning equal keys from the first where record numbers
  // do not order them; the leaf comparison result as in Descend.
  int LocateEntry(std::string_view key, std::int32_t record);
  void PushNode(std::uint32_t page);
  // PushNode for a search: the node is searched as it is read.
  int PushSearchedNode(std::uint32_t page, const XBobjNodeSearch& search);
  // Takes a node for page from the spares, after checking that page may go on the path.
  XBobjIndexKey TakeNode(std::uint32_t page);
  // Decodes the path's partial nodes in full, their positions kept, before a step.
  void CompletePath();
  // Shortens the path to depth nodes, keeping the others as spares.
  void TrimPath(std::size_t depth);
  void DescendEdge(bool first);
  bool StepForward();
  bool StepBackward();
  std::int32_t StoredFirst();
  std::int32_t StoredLast();
  std::int32_t StoredStep(bool forward);
  // Finds the current entry again in a changed tree; false when the entry is gone and the tag
  // already stands where the step would have led.
  bool Reanchor(bool forward);
  std::int32_t SeekResult(int result);
  bool AboveRange(const XBobjIndexKeyData& entry) const;
  bool BelowRange(const XBobjIndexKeyData& entry) const;
  std::int32_t Here();

  std::string name_;
  bool characterKeys_ = true;
  bool descending_ = false;
  bool unique_ = false;
  bool recordsOrderEqualKeys_ = true;
  bool storedDescending_ = false;
  std::vector<XBobjIndexKey> path_;
  std::vector<XBobjIndexKey> spare_;
  bool bof_ = true;
  bool eof_ = true;
  std::optional<std::string> low_;
  std::optional<std::string> high_;
  bool highAsPrefix_ = false;
  // The path was set back after the tree had been read anew since the path was read.
  bool restoredStale_ = false;
  std::string seekKey_;  // the key form of the value sought last, its storage used again
};

}  // namespace tables
