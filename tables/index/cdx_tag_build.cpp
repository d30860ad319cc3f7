// Defining a new compound tag and building its tree from the table's records.
#include <algorithm>
#include <vector>

#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_key.hpp"
#include "tables/index/cdx_tag.hpp"
#include "tables/index/record_scan.hpp"
#include "tables/index/sort_cdx.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr int kMaxBuildKeyLength = kCdxMaxKeyLength - 1;
constexpr std::uint8_t kTagOptions = cdx_option::Compact | cdx_option::Compound;

[[noreturn]] void Refuse(const std::string& message) {
  throw EXbaseError(message);
}

CdxTagHeader HeaderOf(const XbTagDefinition& definition) {
  CdxTagHeader header;
  header.keyLength = 1;
  header.keyExpression = definition.keyExpression;
  header.forExpression = definition.forExpression;
  header.options = kTagOptions;
  if (definition.unique) header.options |= cdx_option::Unique;
  if (!definition.forExpression.empty()) header.options |= cdx_option::ForExpression;
  header.descending = !definition.ascending;
  return header;
}

}  // namespace

std::unique_ptr<XBobjCDXTag> XBobjCDXTag::Define(XBobjCDXFile& file,
                                                 const XbTagDefinition& definition) {
  if (definition.name.empty() ||
      definition.name.size() > static_cast<std::size_t>(kCdxMaxTagNameLength)) {
    Refuse("Tag name \"" + definition.name + "\" is not 1 to 10 characters long");
  }
  if (definition.keyExpression.empty())
    Refuse("Tag " + definition.name + " needs a key expression");
  auto tag =
      std::make_unique<XBobjCDXTag>(file, kNoPage, HeaderOf(definition), XbKeyType::Character);
  tag->SetName(definition.name);
  TxbVariant value;
  tag->keyExpression_->EvaluateKey(value);
  int length = 0;
  switch (value.type()) {
    case TxbVariant::Text:
      tag->keyType_ = XbKeyType::Character;
      length = static_cast<int>(value.length()) * (definition.general ? 2 : 1);
      tag->header_.general = definition.general;
      break;
    case TxbVariant::Logical:
      tag->keyType_ = XbKeyType::Logical;
      length = 1;
      break;
    case TxbVariant::Number:
    case TxbVariant::Date:
      tag->keyType_ = value.type() == TxbVariant::Number ? XbKeyType::Numeric : XbKeyType::Date;
      length = kCdxNumericKeyLength;
      break;
    default:
      Refuse("The key expression " + definition.keyExpression +
             " gives no value that can be a key");
  }
  if (length == 0) {
    Refuse("The key expression " + definition.keyExpression + " gives an empty text: key length 0");
  }
  if (length > kMaxBuildKeyLength) Refuse("Sort key length greater than 240 bytes");
  tag->header_.keyLength = length;
  if (tag->forExpression_) {
    tag->forExpression_->Evaluate();
    if (tag->forExpression_->ResultType() != xb_type::Boolean) {
      Refuse("The FOR expression " + definition.forExpression + " is not logical");
    }
  }
  tag->SetForm();
  return tag;
}

void XBobjCDXTag::MoveHeader(std::uint32_t offset) {
  headerOffset_ = offset;
  header_.version = 0;
  ForgetPath();
}

void XBobjCDXTag::Build() {
  XBO_dBaseFld& table = file_.table();
  const std::int32_t count = table.recordCount();
  XBobjSortCDX sort(file_, form_, header_.unique(), static_cast<std::uint32_t>(count));
  file_.StatusReport({1, XbBuildStatus::Event::Start, count});
  const bool reportSteps = file_.HasStatusHandler();
  std::string scratch;
  {
    XbRecordBlocks records(table);
    const XbCurrentRecordKept kept(table);
    for (std::int32_t n = 1; n <= count; ++n) {
      records.View(n);
      if (EvaluateFor()) {
        const std::optional<std::string_view> key = EvaluateKeyBytes(scratch);
        if (!key) {
          Refuse("Record " + std::to_string(n) + ": the key expression " + header_.keyExpression +
                 " gives no key");
        }
        sort.AddKey(*key, n);
      }
      if (reportSteps) file_.StatusReport({1, XbBuildStatus::Event::Step, n});
    }
  }
  file_.StatusReport({1, XbBuildStatus::Event::End, count});
  file_.StatusReport({2, XbBuildStatus::Event::Start, count});
  const std::uint32_t root = sort.WriteTree();
  file_.StatusReport({2, XbBuildStatus::Event::End, count});
  WriteHeader(root);
}

}  // namespace tables
