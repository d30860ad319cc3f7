// Keeping the tag of an NDX file current when a record is appended or changed.
#include <algorithm>

#include "tables/index/family_upkeep.hpp"
#include "tables/index/ndx_file.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// The nodes of an NDX tag as the tree editor sees them; new blocks are appended.
class NdxNodes : public XbFamilyNodeFormat {
 public:
  NdxNodes(XBobjNDXTag& tag, NdxHeader& fileHeader) : tag_(tag), fileHeader_(fileHeader) {}

  std::uint32_t RootPage() override {
    const NdxHeader& header = tag_.header();
    return tag_.RootRead(header.root * kNdxBlockSize, kNdxBlockSize, header.maxKeys);
  }
  void ReadNode(std::uint32_t page, XBobjIndexKey& node) override { tag_.ReadNode(page, node); }
  void WriteNode(std::uint32_t page, bool leaf,
                 const std::vector<XBobjIndexKeyData>& entries) override {
    NdxStoredNode node;
    node.leaf = leaf;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const XBobjIndexKeyData& entry = entries[i];
      NdxStoredEntry stored;
      if (leaf) {
        stored.record = static_cast<std::uint32_t>(entry.record);
      } else {
        stored.child = entry.pointer / kNdxBlockSize;
      }
      if (leaf || i + 1 < entries.size()) stored.key = tag_.StoredKey(entry.key);
      node.entries.push_back(std::move(stored));
    }
    std::uint8_t block[kNdxBlockSize];
    NdxWriteNode(tag_.header(), node, block);
    tag_.file().WriteBlock(page, block, kNdxBlockSize);
  }
  std::uint32_t AllocateNode() override {
    if (std::uint64_t{fileHeader_.nextBlock} * kNdxBlockSize + kNdxBlockSize > 0xFFFFFE00) {
      throw EXbaseError(tag_.file().diskFile().path() + ": the index file cannot grow beyond 4 GB");
    }
    return fileHeader_.nextBlock++ * kNdxBlockSize;
  }
  std::size_t MaxKeys() const override { return static_cast<std::size_t>(tag_.header().maxKeys); }

 private:
  XBobjNDXTag& tag_;
  NdxHeader& fileHeader_;
};

}  // namespace

XbRecordChange XBobjNDXFile::PrepareRecordChange(std::int32_t record,
                                                 const std::uint8_t* previousImage) {
  return XbPrepareFamilyChange(*this, record, previousImage);
}

bool XBobjNDXFile::ApplyRecordChange(const XbRecordChange& change) {
  XbCheckFamilyChange(*this, change);
  if (tags_.empty()) return false;
  if (file_.shared()) ReloadHeader();
  // A file open exclusively keeps the changed blocks in memory until the table is flushed or
  // closed, as compound files do.
  const DeferWrites deferring(*this);
  const std::uint32_t blocksBefore = header_.nextBlock;
  header_.nextBlock = std::max<std::uint32_t>(
      header_.nextBlock,
      static_cast<std::uint32_t>((FileSize() + kNdxBlockSize - 1) / kNdxBlockSize));
  NdxNodes nodes(*NdxTag(), header_);
  const bool changed = XbApplyFamilyTagChange(*NdxTag(), nodes, change.tags[0], change.record);
  if (header_.nextBlock != blocksBefore) WriteHeader();
  return changed;
}

void XBobjNDXFile::ReloadHeader() {
  std::uint8_t block[kNdxBlockSize];
  ReadBlock(0, block, kNdxBlockSize);
  NdxHeader stored;
  try {
    stored = NdxReadHeader(block, FileSize());
  } catch (const NdxLayoutError&) {
    XbRaiseInvalidIndexFile(file_.path(), "NDX");
  }
  header_.nextBlock = stored.nextBlock;
  if (stored.root != header_.root) {
    header_.root = stored.root;
    NdxTag()->SetHeader(header_);
  }
}

void XBobjNDXFile::WriteHeader() {
  std::uint8_t block[kNdxBlockSize];
  NdxWriteHeader(header_, block);
  WriteBlock(0, block, kNdxBlockSize);
}

}  // namespace tables
