// Keeping the tags of an MDX file current when a record is appended or changed.
#include <algorithm>
#include <functional>

#include "tables/index/family_upkeep.hpp"
#include "tables/index/mdx_file.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// The nodes of one MDX tag as the tree editor sees them; new blocks come from the file's next
// free block.
class MdxNodes : public XbFamilyNodeFormat {
 public:
  MdxNodes(XBobjMDXTag& tag, int blockLength, std::function<std::uint32_t()> allocateUnit)
      : tag_(tag), blockLength_(blockLength), allocateUnit_(std::move(allocateUnit)) {}

  std::uint32_t RootPage() override {
    const MdxTagHeader& header = tag_.header();
    return tag_.RootRead(header.rootUnit * kMdxUnit, kMdxUnit, header.maxKeys);
  }
  void ReadNode(std::uint32_t page, XBobjIndexKey& node) override { tag_.ReadNode(page, node); }
  void WriteNode(std::uint32_t page, bool leaf,
                 const std::vector<XBobjIndexKeyData>& entries) override {
    MdxStoredNode node;
    node.leaf = leaf;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const XBobjIndexKeyData& entry = entries[i];
      MdxStoredEntry stored;
      stored.pointer = leaf ? static_cast<std::uint32_t>(entry.record) : entry.pointer / kMdxUnit;
      if (leaf || i + 1 < entries.size()) stored.key = tag_.StoredKey(entry.key);
      node.entries.push_back(std::move(stored));
    }
    std::vector<std::uint8_t> block(static_cast<std::size_t>(blockLength_));
    MdxWriteNode(tag_.header(), node, block.data(), blockLength_);
    tag_.file().WriteBlock(page, block.data(), static_cast<std::uint32_t>(blockLength_));
  }
  std::uint32_t AllocateNode() override { return allocateUnit_() * kMdxUnit; }
  std::size_t MaxKeys() const override { return static_cast<std::size_t>(tag_.header().maxKeys); }

 private:
  XBobjMDXTag& tag_;
  int blockLength_;
  std::function<std::uint32_t()> allocateUnit_;
};

}  // namespace

XbRecordChange XBobjMDXFile::PrepareRecordChange(std::int32_t record,
                                                 const std::uint8_t* previousImage) {
  return XbPrepareFamilyChange(*this, record, previousImage);
}

bool XBobjMDXFile::ApplyRecordChange(const XbRecordChange& change) {
  XbCheckFamilyChange(*this, change);
  // A file open exclusively keeps the changed blocks in memory until the table is flushed or
  // closed, as compound files do.
  const DeferWrites deferring(*this);
  CatchUpNextFree();
  const MdxFileHeader before = header_;
  bool changed = false;
  for (int i = 0; i < TagCount(); ++i) {
    MdxNodes nodes(*MdxTag(i), header_.blockLength, [this] { return AllocateBlock(); });
    changed = XbApplyFamilyTagChange(*MdxTag(i), nodes, change.tags[static_cast<std::size_t>(i)],
                                     change.record) ||
              changed;
  }
  if (changed) StampUpdate();
  if (header_.nextFreeUnit != before.nextFreeUnit ||
      !std::equal(header_.updated, header_.updated + 3, before.updated)) {
    WriteHeader();
  }
  return changed;
}

void XBobjMDXFile::CatchUpNextFree() {
  if (file_.shared()) ReloadNextFree();
  header_.nextFreeUnit = std::max<std::uint32_t>(
      header_.nextFreeUnit, static_cast<std::uint32_t>((FileSize() + kMdxUnit - 1) / kMdxUnit));
}

void XBobjMDXFile::ReloadNextFree() {
  std::uint8_t bytes[kMdxFileHeaderSize];
  ReadBlock(0, bytes, kMdxFileHeaderSize);
  try {
    const MdxFileHeader stored = MdxReadFileHeader(bytes, FileSize());
    header_.nextFreeUnit = stored.nextFreeUnit;
    std::copy(stored.updated, stored.updated + 3, header_.updated);
  } catch (const MdxLayoutError&) {
    XbRaiseInvalidIndexFile(path(), "MDX");
  }
}

}  // namespace tables
