#include "tables/index/cdx_tag.hpp"

#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_key.hpp"
#include "tables/index/cdx_tree_editor.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr const char* kTypeMismatch = "Variant types mismatch for compare";

}  // namespace

XBobjCDXTag::XBobjCDXTag(XBobjCDXFile& file, std::string name, std::uint32_t headerOffset)
    : XBobjIndexTag(std::move(name)), file_(file), headerOffset_(headerOffset) {
  ReloadHeader();
  CompileExpressions();
  LearnKeyType();
  SetForm();
}

XBobjCDXTag::XBobjCDXTag(XBobjCDXFile& file) : XBobjIndexTag(""), file_(file), headerOffset_(0) {
  ReloadHeader();
  if (header_.keyLength != kCdxDirectoryKeyLength) {
    throw CdxLayoutError("the tag directory has key length " + std::to_string(header_.keyLength) +
                         " instead of 10");
  }
  header_.general = false;
  header_.descending = false;
  SetForm();
}

XBobjCDXTag::XBobjCDXTag(XBobjCDXFile& file, std::uint32_t headerOffset, const CdxTagHeader& header,
                         XbKeyType keyType)
    : XBobjIndexTag(""),
      file_(file),
      headerOffset_(headerOffset),
      header_(header),
      keyType_(keyType) {
  CompileExpressions();
  SetForm();
}

XBobjCDXTag::~XBobjCDXTag() = default;

void XBobjCDXTag::ReloadHeader() {
  std::uint8_t bytes[kCdxHeaderSize];
  file_.ReadBlock(headerOffset_, bytes, kCdxHeaderSize);
  header_ = CdxReadHeader(bytes, file_.FileSize());
  ForgetPath();
}

void XBobjCDXTag::WriteHeader(std::uint32_t root) {
  header_.root = root;
  std::uint8_t bytes[kCdxHeaderSize];
  CdxWriteHeader(header_, isDirectory(), bytes);
  file_.WriteBlock(headerOffset_, bytes, kCdxHeaderSize);
  ForgetPath();
}

void XBobjCDXTag::CompileExpressions() {
  XBO_dBaseFld& table = file_.table();
  TxbExpUserLink* link = &XbTableLink(table);
  keyExpression_ =
      std::make_unique<TxbExpHandler>(table.machine(), link, false, header_.keyExpression);
  if (!header_.forExpression.empty()) {
    forExpression_ =
        std::make_unique<TxbExpHandler>(table.machine(), link, false, header_.forExpression);
  }
}

void XBobjCDXTag::LearnKeyType() {
  TxbVariant value;
  keyExpression_->EvaluateKey(value);
  switch (value.type()) {
    case TxbVariant::Text:
      keyType_ = XbKeyType::Character;
      break;
    case TxbVariant::Logical:
      keyType_ = XbKeyType::Logical;
      break;
    case TxbVariant::Number:
      keyType_ = XbKeyType::Numeric;
      break;
    case TxbVariant::Date:
      keyType_ = XbKeyType::Date;
      break;
    default:
      throw CdxLayoutError("the key expression " + header_.keyExpression +
                           " gives no value that can be a key");
  }
  if ((keyType_ == XbKeyType::Numeric || keyType_ == XbKeyType::Date) &&
      header_.keyLength != kCdxNumericKeyLength) {
    throw CdxLayoutError("a numeric or date key of length " + std::to_string(header_.keyLength));
  }
}

void XBobjCDXTag::SetForm() {
  const bool character = keyType_ == XbKeyType::Character || keyType_ == XbKeyType::Logical;
  form_ = CdxKeyForm{header_.keyLength, character, character && header_.general};
  SetKeyTraits(character, header_.descending, header_.unique());
}

std::string XBobjCDXTag::ConvertKey(const TxbVariant& value) const {
  std::string key;
  AssignKey(value, key);
  return key;
}

void XBobjCDXTag::AssignKey(const TxbVariant& value, std::string& key) const {
  const auto length = static_cast<std::size_t>(form_.keyLength);
  switch (value.type()) {
    case TxbVariant::Raw:
      key.assign(value.bytes().substr(0, length));
      return;
    case TxbVariant::Text:
      if (keyType_ == XbKeyType::Character || keyType_ == XbKeyType::Logical) {
        if (form_.general) {
          key = CdxGeneralKey(value.bytes());
        } else {
          key.assign(CdxTrimBlanks(value.bytes()));
        }
        if (key.size() > length) key.resize(length);
        return;
      }
      break;
    case TxbVariant::Logical:
      if (keyType_ == XbKeyType::Logical || keyType_ == XbKeyType::Character) {
        key.assign(value.AsLogical() ? "T" : "F");
        return;
      }
      break;
    case TxbVariant::Number:
      if (keyType_ == XbKeyType::Numeric) {
        key = CdxNumberKey(value.AsNumber());
        return;
      }
      break;
    case TxbVariant::Date:
      if (keyType_ == XbKeyType::Date) {
        key = CdxNumberKey(value.AsDate());
        return;
      }
      break;
    default:
      break;
  }
  throw EXbaseError(kTypeMismatch);
}

const std::uint8_t* XBobjCDXTag::PageBytes(std::uint32_t page, std::uint8_t* scratch) {
  const std::uint8_t* bytes = nullptr;
  if (page < kCdxHeaderSize || page % kCdxPageSize != 0 ||
      !(bytes = file_.ReadPage(page, scratch))) {
    NodeFault(page, "the page lies outside the file");
  }
  return bytes;
}

void XBobjCDXTag::ReadNode(std::uint32_t page, XBobjIndexKey& node) {
  std::uint8_t scratch[kCdxPageSize];
  const std::uint8_t* bytes = PageBytes(page, scratch);
  try {
    CdxDecodeNode(form_, bytes, page, node);
  } catch (const CdxLayoutError& error) {
    NodeFault(page, error.what());
  }
}

int XBobjCDXTag::SearchNode(std::uint32_t page, const XBobjNodeSearch& search,
                            XBobjIndexKey& node) {
  // GENERAL keys change form when decoded; they are compared decoded.
  if (form_.general) return XBobjIndexTag::SearchNode(page, search, node);
  std::uint8_t scratch[kCdxPageSize];
  const std::uint8_t* bytes = PageBytes(page, scratch);
  int result = 1;
  try {
    result = CdxSearchNode(form_, bytes, page, search, node);
  } catch (const CdxLayoutError& error) {
    NodeFault(page, error.what());
  }
  return result;
}

void XBobjCDXTag::ReadPathNode(std::uint32_t page, const XBobjNodeSearch& search,
                               XBobjIndexKey& node) {
  std::uint8_t scratch[kCdxPageSize];
  const std::uint8_t* bytes = PageBytes(page, scratch);
  try {
    if (form_.general || (ReadLE16(bytes) & cdx_attribute::Leaf) != 0) {
      CdxDecodeNode(form_, bytes, page, node);
    } else {
      CdxSearchNode(form_, bytes, page, search, node);
    }
  } catch (const CdxLayoutError& error) {
    NodeFault(page, error.what());
  }
}

CdxTreeEditor& XBobjCDXTag::Editor(std::uint32_t highestRecord) {
  if (!editor_) editor_ = std::make_unique<CdxTreeEditor>(*this, file_);
  editor_->SetHighestRecord(highestRecord);
  return *editor_;
}

void XBobjCDXTag::NodeFault(std::uint32_t page, const std::string& reason) const {
  throw EXbaseError(file_.path() + ": tag " + (isDirectory() ? "(directory)" : name()) + ", page " +
                        std::to_string(page) + ": " + reason,
                    kInvalidIndexCode);
}

bool XBobjCDXTag::EvaluateKey(std::string& key) {
  const std::optional<std::string_view> bytes = EvaluateKeyBytes(key);
  if (!bytes) return false;
  if (bytes->data() != key.data()) key.assign(*bytes);
  return true;
}

std::optional<std::string_view> XBobjCDXTag::EvaluateKeyBytes(std::string& scratch) {
  const TxbExpValue& value = keyExpression_->Evaluate();
  const bool textKey = keyType_ == XbKeyType::Character || keyType_ == XbKeyType::Logical;
  if (textKey && !form_.general && keyExpression_->ResultType() == xb_type::Text &&
      value.kind() == TxbExpValue::Kind::Text) {
    return CdxTrimBlanks(value.text()).substr(0, static_cast<std::size_t>(form_.keyLength));
  }
  keyExpression_->TakeKey(evaluated_);
  if (keyExpression_->ResultType() == 0) return std::nullopt;
  AssignKey(evaluated_, scratch);
  return scratch;
}

bool XBobjCDXTag::EvaluateFor() {
  if (!forExpression_) return true;
  const TxbExpValue& value = forExpression_->Evaluate();
  return value.kind() == TxbExpValue::Kind::Boolean && value.boolean();
}

}  // namespace tables
