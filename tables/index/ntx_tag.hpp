#pragma once
// XBobjNTXTag: the one tag of an NTX file: its header page, its text keys and the reading of
// its pages. The keys of an interior page are entries of their own; in memory such a page
// becomes an interior node whose children alternate between the real child pages and
// one-entry leaves, one per key, addressed as the page offset plus 1 plus the slot.
// Keys read from the file are brought to this engine's form (numbers and dates as their
// canonical text), so that keys other programs wrote seek as keys written here.
#include <cstdint>
#include <string>

#include "tables/index/family_tag.hpp"
#include "tables/index/ntx_layout.hpp"

namespace tables {

class XBobjNTXTag : public XBobjFamilyTag {
 public:
  // keyType: the type of the key expression's values.
  XBobjNTXTag(XBobjIndexFile& file, std::string name, const NtxHeader& header, XbKeyType keyType);

  std::string ConvertKey(const TxbVariant& value) const override;
  TxbVariant KeyValue(std::string_view key) const override;
  // The root page; notes the version the tree is read at (in a shared file, read from it
  // together with the root, which another program may have moved).
  std::uint32_t ReadRootOffset() override;
  void ReadNode(std::uint32_t page, XBobjIndexKey& node) override;
  bool IsEntryNode(std::uint32_t page) const override { return page % kNtxPageSize != 0; }

  const NtxHeader& header() const { return header_; }
  // A new tree: the path is forgotten.
  void SetHeader(const NtxHeader& header);
  // The same tree changed by this program: the path is found again at the next step.
  void NoteHeader(const NtxHeader& header) { header_ = header; }
  // The version counter as the file holds it now (this program's own in an exclusive file).
  std::uint16_t CurrentVersion();
  // A key form as a page stores it: blank-padded to the key length.
  std::string StoredKey(std::string_view key) const;
  // The key form of a key as a page stores it (another program's numbers and dates included).
  std::string KeyFromStored(std::string_view stored) const;

 protected:
  bool TreeChanged() override { return CurrentVersion() != treeVersion_; }

 private:
  void ReadEntryLeaf(std::uint32_t page, std::uint32_t slot, XBobjIndexKey& node);
  NtxStoredPage ReadStoredPage(std::uint32_t page);

  NtxHeader header_;
  std::uint16_t treeVersion_ = 0;
};

}  // namespace tables
