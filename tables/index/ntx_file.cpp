#include "tables/index/ntx_file.hpp"

#include "tables/index/index_path.hpp"
#include "tables/index/single_index_build.hpp"
#include "tables/index/sort_ntx.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

XbKeyType ExpressionType(XBobjIndexFile& file, const std::string& expression) {
  const auto learned = XBobjFamilyTag::LearnExpressionKey(file, expression);
  if (!learned) {
    throw EXbaseError("The key expression " + expression + " gives no value that can be a key");
  }
  return learned->type;
}

}  // namespace

XBobjNTXFile::XBobjNTXFile(XBO_dBaseFld& table, std::string_view name, std::string cipherKey,
                           XbIndexOpenMode mode)
    : XBobjIndexFile(table, std::move(cipherKey)) {
  XbOpenSingleIndexFile(*this, XbIndexFilePath(table, name, "NTX"), mode);
  // An empty file is a new one only to a writer, which gives it its index next.
  if (FileSize() > 0 || !file_.writable()) ReadHeader();
}

void XBobjNTXFile::ReadHeader() {
  std::uint8_t page[kNtxPageSize];
  const std::string& path = file_.path();
  try {
    if (!TryReadBlock(0, page, kNtxPageSize)) {
      throw NtxLayoutError("it holds only " + std::to_string(FileSize()) + " bytes");
    }
    header_ = NtxReadHeader(page, FileSize());
    const XbKeyType type = ExpressionType(*this, header_.keyExpression);
    tags_.clear();
    tags_.push_back(
        std::make_unique<XBobjNTXTag>(*this, XbSingleIndexTagName(path), header_, type));
  } catch (const std::exception&) {
    XbRaiseInvalidIndexFile(path, "NTX");
  }
}

void XBobjNTXFile::AddTag(const XbTagDefinition& definition) {
  XbRefuseUnsupported(definition, "NTX", true);
  const auto learned = XBobjFamilyTag::LearnExpressionKey(*this, definition.keyExpression);
  if (!learned) {
    throw EXbaseError("The key expression " + definition.keyExpression +
                      " gives no value that can be a key");
  }
  int length = learned->textLength;
  int decimals = 0;
  if (learned->type == XbKeyType::Numeric) {
    length = learned->width;
    decimals = learned->decimals;
  } else if (learned->type == XbKeyType::Date) {
    length = 8;
  } else if (learned->type == XbKeyType::Logical) {
    length = 1;
  }
  XbCheckKeyLength(length, kNtxMaxKeyLength);
  WriteTag(NtxHeaderFor(definition.keyExpression, definition.forExpression, length, decimals,
                        definition.unique, !definition.ascending),
           learned->type);
}

void XBobjNTXFile::Rebuild() {
  if (tags_.empty()) throw EXbaseError(file_.path() + ": the index file holds no index yet");
  WriteTag(header_, NtxTag()->facts().keyType);
}

bool XBobjNTXFile::DropTag(std::string_view) {
  throw EXbaseError(file_.path() + ": a single index file keeps its index; delete the file");
}

void XBobjNTXFile::WriteTag(const NtxHeader& requested, XbKeyType keyType) {
  XbSingleIndexRewrite rewrite(*this, [this] { ForgetPages(); });
  NtxHeader header = requested;
  header.version = 1;
  header.nextFree = 0;
  auto tag =
      std::make_unique<XBobjNTXTag>(*this, XbSingleIndexTagName(file_.path()), header, keyType);
  tag->CheckForExpression();
  rewrite.Start(kNtxPageSize);
  XBobjSortNTX sort(*tag);
  tag->ForEachRecordKey(
      [&](const std::string& key, std::int32_t record) { sort.AddKey(key, record); });
  header.root = sort.WriteTree(kNtxPageSize);
  std::uint8_t page[kNtxPageSize];
  NtxWriteHeader(header, page);
  WriteBlock(0, page, kNtxPageSize);
  header_ = header;
  tag->SetHeader(header);
  tags_.clear();
  tags_.push_back(std::move(tag));
  rewrite.Done();
}

}  // namespace tables
