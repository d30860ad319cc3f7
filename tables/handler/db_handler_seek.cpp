// Finding records by key through the current tag or a named one.
#include <cstdlib>

#include "tables/handler/db_handler.hpp"
#include "tables/handler/index_locks.hpp"
#include "tables/index/cdx_tag.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr std::size_t kMaxSeekKey = 256;

bool StartsWith(std::string_view key, std::string_view prefix) {
  return key.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string XBO_dBHandler::SeekKeyFor(XBobjIndexTag& tag, std::string_view keyText) const {
  TxbVariant value;
  const auto* cdx = dynamic_cast<const XBobjCDXTag*>(&tag);
  const XbKeyType type = cdx ? cdx->keyType() : XbKeyType::Character;
  switch (type) {
    case XbKeyType::Numeric:
      value.SetNumber(std::strtod(std::string(keyText).c_str(), nullptr));
      break;
    case XbKeyType::Date:
      value.SetDate(XbDate().TryFromText(machine(), keyText).value_or(0));
      break;
    case XbKeyType::Logical:
      value.SetLogical(!keyText.empty() &&
                       std::string_view("TtYyJj").find(keyText[0]) != std::string_view::npos);
      break;
    case XbKeyType::Character:
      value.SetText(keyText.substr(0, kMaxSeekKey));
      break;
  }
  std::string key = tag.ConvertKey(value);
  if (key.size() > kMaxSeekKey) key.resize(kMaxSeekKey);
  return key;
}

bool XBO_dBHandler::Seek(std::string_view keyText) {
  found_ = false;
  if (recordCount() == 0) ReReadHeader();
  if (recordCount() == 0) return false;
  std::vector<XBobjIndexFile*> lockedFiles;
  if (lockProtocol() == TxbLokProtocol::ClipLock) lockedFiles = OpenFiles();
  const XbIndexLocks indexLocks(lockedFiles);
  if (!currentTag_) {
    GoEof();
    return false;
  }
  found_ = SeekInCurrentTag(keyText);
  return found_;
}

bool XBO_dBHandler::SeekInCurrentTag(std::string_view keyText) {
  const std::string key = SeekKeyFor(*currentTag_, keyText);
  std::int32_t record = currentTag_->SeekKey(key, true);
  if (record == 0 && currentTag_->current()) record = currentTag_->current()->record;
  if (record == 0) {
    GoEof();
    return false;
  }
  bof_ = eof_ = false;
  PlainRead(record);
  while (!Visible()) {
    record = currentTag_->Move(xb_move::Next);
    if (record == 0) {
      GoEof();
      return false;
    }
    PlainRead(record);
  }
  outside_ = false;
  const std::string& found = currentTag_->current()->key;
  const bool match = found == key || (!exactSeek_ && StartsWith(found, key));
  if (!match && !nearSeek_) GoEof();
  return match;
}

std::int32_t XBO_dBHandler::SeekTag(std::string_view tagName, std::string_view keyText) {
  XBobjIndexTag* tag = FindTag(machine().codePages().Upper(tagName));
  if (!tag) throw EXbaseError("Cannot find index tag " + std::string(tagName));
  const std::int32_t record = tag->SeekKey(SeekKeyFor(*tag, keyText), true);
  return record != 0 ? record : -1;
}

}  // namespace tables
