#include "tables/index/sort_ndx.hpp"

#include "tables/index/family_tree_writer.hpp"
#include "tables/index/ndx_tag.hpp"
#include "tables/index/single_index_build.hpp"

namespace tables {

XBobjSortNdx::XBobjSortNdx(XBobjNDXTag& tag)
    : TxbSort(tag.header().keyLength + 1, true, tag.unique()), tag_(tag) {}

void XBobjSortNdx::AddKey(std::string_view key, std::int32_t record) {
  TxbVariant value;
  value.SetRaw(key);
  Add(value, record);
}

std::uint32_t XBobjSortNdx::WriteTree() {
  XBobjIndexFile& file = tag_.file();
  const NdxHeader& header = tag_.header();
  XbFamilyTreeWriter writer(
      header.maxKeys, [&](const std::vector<XBobjIndexKeyData>& entries, bool leaf) {
        NdxStoredNode node;
        node.leaf = leaf;
        for (const XBobjIndexKeyData& entry : entries) {
          node.entries.push_back({leaf ? 0 : entry.pointer / kNdxBlockSize,
                                  leaf ? static_cast<std::uint32_t>(entry.record) : 0,
                                  tag_.StoredKey(entry.key)});
        }
        std::uint8_t block[kNdxBlockSize];
        NdxWriteNode(header, node, block);
        const std::uint32_t offset = file.AllocatePage();
        file.WriteBlock(offset, block, kNdxBlockSize);
        return offset;
      });
  XbTakeSortedKeys(*this, file, [&writer](std::string_view key, std::int32_t record) {
    writer.Add(std::string(key), record);
  });
  return writer.Finish() / kNdxBlockSize;
}

}  // namespace tables
