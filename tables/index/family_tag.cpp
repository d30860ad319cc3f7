#include "tables/index/family_tag.hpp"

#include "platform/path_parts.hpp"
#include "tables/index/cdx_key.hpp"
#include "tables/index/exp_call.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/index/record_scan.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// Node reads a walk may make beyond one per block and key: re-reads along the path.
constexpr std::uint64_t kSpareNodeReads = 64;

std::optional<XbKeyType> KeyTypeOf(const TxbVariant& value) {
  switch (value.type()) {
    case TxbVariant::Text:
      return XbKeyType::Character;
    case TxbVariant::Logical:
      return XbKeyType::Logical;
    case TxbVariant::Number:
      return XbKeyType::Numeric;
    case TxbVariant::Date:
      return XbKeyType::Date;
    default:
      return std::nullopt;
  }
}

}  // namespace

XBobjFamilyTag::XBobjFamilyTag(XBobjIndexFile& file, std::string name, XbFamilyTagFacts facts)
    : XBobjIndexTag(std::move(name)), facts_(std::move(facts)), file_(file) {
  XBO_dBaseFld& table = file_.table();
  TxbExpUserLink* link = &XbTableLink(table);
  keyExpression_ =
      std::make_unique<TxbExpHandler>(table.machine(), link, false, facts_.keyExpression);
  if (!facts_.forExpression.empty()) {
    forExpression_ =
        std::make_unique<TxbExpHandler>(table.machine(), link, false, facts_.forExpression);
  }
}

XBobjFamilyTag::~XBobjFamilyTag() = default;

std::optional<XBobjFamilyTag::ExpressionKey> XBobjFamilyTag::LearnExpressionKey(
    XBobjIndexFile& file, std::string_view expression) {
  XBO_dBaseFld& table = file.table();
  TxbExpHandler handler(table.machine(), &XbTableLink(table), false, expression);
  TxbVariant value;
  handler.EvaluateKey(value);
  const std::optional<XbKeyType> type = KeyTypeOf(value);
  if (!type || handler.ResultType() == 0) return std::nullopt;
  const TxbExpBaseObject* root = handler.Root();
  ExpressionKey key{*type, static_cast<int>(value.length()), root ? root->Width() : 0,
                    root ? root->Decimals() : 0};
  // A field's decimals are the field's own, which the expression tree does not carry.
  if (const auto* field = dynamic_cast<const TxbExpFieldvar*>(root)) {
    for (int n = 1; const XbFieldDesc* desc = table.FieldDescByNumber(n); ++n) {
      if (desc->name == table.machine().codePages().Upper(field->Name())) {
        key.width = desc->length;
        key.decimals = desc->decimals;
      }
    }
  }
  return key;
}

bool XBobjFamilyTag::EvaluateKey(std::string& key) {
  TxbVariant value;
  keyExpression_->EvaluateKey(value);
  if (keyExpression_->ResultType() == 0) return false;
  key = ConvertKey(value);
  return true;
}

bool XBobjFamilyTag::EvaluateFor() {
  if (!forExpression_) return true;
  const TxbExpValue& value = forExpression_->Evaluate();
  return value.kind() == TxbExpValue::Kind::Boolean && value.boolean();
}

void XBobjFamilyTag::CheckForExpression() {
  if (!forExpression_) return;
  forExpression_->Evaluate();
  if (forExpression_->ResultType() != xb_type::Boolean) {
    throw EXbaseError("The FOR expression " + facts_.forExpression + " is not logical");
  }
}

void XBobjFamilyTag::ForEachRecordKey(
    const std::function<void(const std::string&, std::int32_t)>& add) {
  XBO_dBaseFld& table = file_.table();
  const std::int32_t count = table.recordCount();
  file_.StatusReport({1, XbBuildStatus::Event::Start, count});
  std::string key;
  {
    XbRecordBlocks records(table);
    const XbCurrentRecordKept kept(table);
    for (std::int32_t n = 1; n <= count; ++n) {
      records.View(n);
      if (EvaluateFor()) {
        if (!EvaluateKey(key)) {
          throw EXbaseError("Record " + std::to_string(n) + ": the key expression " +
                            facts_.keyExpression + " gives no key");
        }
        add(key, n);
      }
      file_.StatusReport({1, XbBuildStatus::Event::Step, n});
    }
  }
  file_.StatusReport({1, XbBuildStatus::Event::End, count});
}

int XBobjFamilyTag::CompareStored(std::string_view left, std::string_view right) const {
  const int result = CdxCompareKeys(left, right);
  return storesDescending_ ? -result : result;
}

void XBobjFamilyTag::NodeFault(std::uint32_t page, const std::string& reason) const {
  throw EXbaseError(file_.diskFile().path() + ": tag " + name() + ", page " + std::to_string(page) +
                        ": " + reason,
                    kInvalidIndexCode);
}

std::uint32_t XBobjFamilyTag::RootRead(std::uint32_t root, std::uint32_t blockSize, int maxKeys) {
  nodeReads_ = 0;
  nodeReadLimit_ =
      file_.FileSize() / blockSize * (static_cast<std::uint64_t>(maxKeys) + 2) + kSpareNodeReads;
  return root;
}

void XBobjFamilyTag::CountNodeRead(std::uint32_t page) {
  if (++nodeReads_ > nodeReadLimit_) {
    NodeFault(page, "the tree leads to its nodes more often than its file could hold them");
  }
}

std::string XBobjFamilyTag::LastPointerKey(bool storedDescending) const {
  // Greater than every key of the tag (longer than the longest); in a tag stored in
  // descending order, where comparisons are negated, the empty key is.
  if (storedDescending) return std::string();
  return std::string(static_cast<std::size_t>(facts_.keyLength) + 9, '\xFF');
}

std::string XbSingleIndexTagName(std::string_view path) {
  return std::string(platform::PathStem(path));
}

}  // namespace tables
