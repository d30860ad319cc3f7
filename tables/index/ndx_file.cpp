#include "tables/index/ndx_file.hpp"

#include <algorithm>

#include "tables/index/index_path.hpp"
#include "tables/index/single_index_build.hpp"
#include "tables/index/sort_ndx.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {

XBobjNDXFile::XBobjNDXFile(XBO_dBaseFld& table, std::string_view name, std::string cipherKey,
                           XbIndexOpenMode mode)
    : XBobjIndexFile(table, std::move(cipherKey)) {
  const std::string path = XbIndexFilePath(table, name, "NDX");
  XbOpenSingleIndexFile(*this, path, mode);
  // An empty file is a new one only to a writer, which gives it its index next.
  if (FileSize() > 0 || !file_.writable()) ReadHeader();
}

void XBobjNDXFile::ReadHeader() {
  std::uint8_t block[kNdxBlockSize];
  const std::string& path = file_.path();
  try {
    if (!TryReadBlock(0, block, kNdxBlockSize)) {
      throw NdxLayoutError("it holds only " + std::to_string(FileSize()) + " bytes");
    }
    header_ = NdxReadHeader(block, FileSize());
    tags_.clear();
    tags_.push_back(std::make_unique<XBobjNDXTag>(*this, XbSingleIndexTagName(path), header_));
  } catch (const std::exception&) {
    XbRaiseInvalidIndexFile(path, "NDX");
  }
}

bool XBobjNDXFile::HasChanged() {
  if (!file_.shared() || tags_.empty()) return false;
  std::uint8_t block[kNdxBlockSize];
  std::uint8_t known[kNdxBlockSize];
  ReadBlock(0, block, kNdxBlockSize);
  NdxWriteHeader(header_, known);
  return !std::equal(block, block + 24, known);
}

void XBobjNDXFile::AddTag(const XbTagDefinition& definition) {
  XbRefuseUnsupported(definition, "NDX", false);
  const auto learned = XBobjFamilyTag::LearnExpressionKey(*this, definition.keyExpression);
  if (!learned) {
    throw EXbaseError("The key expression " + definition.keyExpression +
                      " gives no value that can be a key");
  }
  const bool numeric = learned->type == XbKeyType::Numeric || learned->type == XbKeyType::Date;
  const int length = learned->type == XbKeyType::Logical ? 1 : learned->textLength;
  if (!numeric) XbCheckKeyLength(length, 100);
  WriteTag(NdxHeaderFor(definition.keyExpression, length, numeric, definition.unique));
}

void XBobjNDXFile::Rebuild() {
  if (tags_.empty()) throw EXbaseError(file_.path() + ": the index file holds no index yet");
  WriteTag(header_);
}

bool XBobjNDXFile::DropTag(std::string_view) {
  throw EXbaseError(file_.path() + ": a single index file keeps its index; delete the file");
}

void XBobjNDXFile::WriteTag(const NdxHeader& requested) {
  XbSingleIndexRewrite rewrite(*this, [this] { ForgetPages(); });
  NdxHeader header = requested;
  auto tag = std::make_unique<XBobjNDXTag>(*this, XbSingleIndexTagName(file_.path()), header);
  rewrite.Start(kNdxBlockSize);
  XBobjSortNdx sort(*tag);
  tag->ForEachRecordKey(
      [&](const std::string& key, std::int32_t record) { sort.AddKey(key, record); });
  header.root = sort.WriteTree();
  header.nextBlock = static_cast<std::uint32_t>(AllocatePage() / kNdxBlockSize);
  ResetNextPage();
  std::uint8_t block[kNdxBlockSize];
  NdxWriteHeader(header, block);
  WriteBlock(0, block, kNdxBlockSize);
  header_ = header;
  tag->SetHeader(header);
  tags_.clear();
  tags_.push_back(std::move(tag));
  rewrite.Done();
}

}  // namespace tables
