#include "tables/index/sort_mdx.hpp"

#include <vector>
#include "tables/index/single_index_build.hpp"

#include "tables/index/family_tree_writer.hpp"
#include "tables/index/mdx_tag.hpp"

namespace tables {

XBobjSortMDX::XBobjSortMDX(XBobjMDXTag& tag, int blockLength,
                           std::function<std::uint32_t()> allocate)
    : TxbSort(tag.header().keyLength + 1, !tag.header().descending, tag.unique()),
      tag_(tag),
      blockLength_(blockLength),
      allocate_(std::move(allocate)) {}

void XBobjSortMDX::AddKey(std::string_view key, std::int32_t record) {
  TxbVariant value;
  value.SetRaw(key);
  Add(value, record);
}

std::uint32_t XBobjSortMDX::WriteTree() {
  XBobjIndexFile& file = tag_.file();
  const MdxTagHeader& header = tag_.header();
  std::vector<std::uint8_t> block(static_cast<std::size_t>(blockLength_));
  XbFamilyTreeWriter writer(
      header.maxKeys, [&](const std::vector<XBobjIndexKeyData>& entries, bool leaf) {
        MdxStoredNode node;
        node.leaf = leaf;
        for (const XBobjIndexKeyData& entry : entries) {
          node.entries.push_back(
              {leaf ? static_cast<std::uint32_t>(entry.record) : entry.pointer / kMdxUnit,
               tag_.StoredKey(entry.key)});
        }
        MdxWriteNode(header, node, block.data(), blockLength_);
        const std::uint32_t unit = allocate_();
        file.WriteBlock(unit * kMdxUnit, block.data(), static_cast<std::uint32_t>(blockLength_));
        return unit * kMdxUnit;
      });
  XbTakeSortedKeys(*this, file, [&writer](std::string_view key, std::int32_t record) {
    writer.Add(std::string(key), record);
  });
  return writer.Finish() / kMdxUnit;
}

}  // namespace tables
