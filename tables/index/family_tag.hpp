#pragma once
// XBobjFamilyTag: what the tags of single (NDX, NTX) and multiple (MDX) index files share: the
// facts their headers hold, the compiled key and FOR expressions evaluated on the table's
// current record, the reading of every record for a build, and the decoding of a key form back
// into a value. These formats keep equal keys in insertion order and give an interior node one
// more child pointer than keys; in memory that last pointer carries a key above all others.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tables/index/cdx_tag.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/index_file.hpp"
#include "tables/index/index_tag.hpp"

namespace tables {

struct XbFamilyTagFacts {
  std::string keyExpression;
  std::string forExpression;  // empty: every record
  XbKeyType keyType = XbKeyType::Character;
  int keyLength = 0;
  int decimals = 0;
  bool unique = false;
  bool descending = false;
};

class XBobjFamilyTag : public XBobjIndexTag {
 public:
  // Compiles the expressions of facts; a text that does not compile raises.
  XBobjFamilyTag(XBobjIndexFile& file, std::string name, XbFamilyTagFacts facts);
  ~XBobjFamilyTag() override;

  // The value a key form stands for (an empty date as day 0).
  virtual TxbVariant KeyValue(std::string_view key) const = 0;

  std::string KeyExpressionText() const override { return facts_.keyExpression; }
  bool EvaluateKey(std::string& key) override;
  bool EvaluateFor() override;
  // Raises when the FOR expression gives no logical value on the current record.
  void CheckForExpression();
  // Calls add(key, record) for every record of the table (deleted ones included, whatever
  // a handler's settings) whose FOR holds, reporting phase 1; the current record is restored.
  void ForEachRecordKey(const std::function<void(const std::string&, std::int32_t)>& add);

  const XbFamilyTagFacts& facts() const { return facts_; }
  XbKeyType keyType() const override { return facts_.keyType; }
  // Orders two key forms as the tag stores them: -1, 0 or 1.
  int CompareStored(std::string_view left, std::string_view right) const;
  // Whether page names a node made up in memory for one key of a B-tree page, not a page.
  virtual bool IsEntryNode(std::uint32_t) const { return false; }
  XBobjIndexFile& file() const { return file_; }
  [[noreturn]] void NodeFault(std::uint32_t page, const std::string& reason) const override;

  // The key type of the key expression's value on the table's current record, with the width
  // and decimals of its numeric result; nothing when it gives no key value.
  struct ExpressionKey {
    XbKeyType type;
    int textLength;
    int width;
    int decimals;
  };
  static std::optional<ExpressionKey> LearnExpressionKey(XBobjIndexFile& file,
                                                         std::string_view expression);

  // Every walk starts at the root: the count of its node reads starts again, bounded by what a
  // file of blocks of blockSize bytes holding up to maxKeys keys each could hold.
  std::uint32_t RootRead(std::uint32_t root, std::uint32_t blockSize, int maxKeys);
  // This program changed the tree: a path the tag holds must be found again before a step.
  void NoteTreeChanged() { ++treeChanges_; }

 protected:
  // RootRead for a walk of the tag's own, whose path is current from here on.
  std::uint32_t PathRootRead(std::uint32_t root, std::uint32_t blockSize, int maxKeys) {
    pathChanges_ = treeChanges_;
    return RootRead(root, blockSize, maxKeys);
  }
  bool TreeChanged() override { return pathChanges_ != treeChanges_; }
  // Counts a node read; a walk that reads more nodes than that (a damaged tree whose pointers
  // meet again) stops with an error naming the page rather than run on for ever.
  void CountNodeRead(std::uint32_t page);

  // The key the pointer after an interior node's last key carries in memory.
  std::string LastPointerKey(bool storedDescending) const;

  XbFamilyTagFacts facts_;
  bool storesDescending_ = false;

 private:
  std::uint64_t treeChanges_ = 0;
  std::uint64_t pathChanges_ = 0;
  std::uint64_t nodeReads_ = 0;
  std::uint64_t nodeReadLimit_ = 0;
  XBobjIndexFile& file_;
  std::unique_ptr<TxbExpHandler> keyExpression_;
  std::unique_ptr<TxbExpHandler> forExpression_;
};

// The name a single-index file's tag takes: its file name without folder and extension.
std::string XbSingleIndexTagName(std::string_view path);

}  // namespace tables
