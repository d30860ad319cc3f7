// Changing a table's key: every record and memo, the descriptor area and every open index
// file enciphered again, the header's cipher byte written last.
#include "tables/handler/db_handler.hpp"
#include "tables/handler/work_state.hpp"
#include "tables/storage/cipher.hpp"
#include "tables/storage/dbf_format.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

bool HoldsMemo(const XBO_dBaseFld& table, const XbFieldDesc& field) {
  if (field.type == 'M' || field.type == 'G') return true;
  return field.type == 'B' && table.version() != xb_version::Visual;
}

}  // namespace

void XBO_dBHandler::ChangeKey(std::string_view newKey) {
  if (shared() || !writable()) Raise(xb_code::AccessDenied, xb_sub::KeyChangeShared, path());
  if (encrypted() ? newKey == readKey() : newKey.empty()) return;
  const XbWorkStateScope changing(workState_, xb_work::ChangingKey, xb_work::Browsing);
  const std::int32_t position = position_;
  XBobjIndexTag* const tag = currentTag_;
  const bool hadReadAhead = readAhead();
  SetCipher(true, encrypted() ? readKey() : std::string(), std::string(newKey));
  currentTag_ = nullptr;
  SetReadAhead(true);
  ConvertRecords(hasMemo());
  SetReadAhead(hadReadAhead);
  currentTag_ = tag;
  WriteDescriptorArea(newKey);
  for (XBobjIndexFile* file : OpenFiles())
    file->ReKey(newKey);
  SetCipher(!newKey.empty(), std::string(newKey), std::string(newKey));
  MarkHeaderDirty();
  Flush();
  if (position >= 1 && position <= recordCount()) PlainRead(position);
}

void XBO_dBHandler::ConvertRecords(bool hasMemos) {
  std::int32_t converted = 0;
  try {
    for (std::int32_t n = 1; n <= recordCount(); ++n) {
      ReadRecord(n);
      for (const XbFieldDesc& field : fields()) {
        if (hasMemos && HoldsMemo(*this, field) && MemoBlock(field.number) != 0) {
          SetMemoText(field.number, GetMemoText(field.number));
        }
      }
      XBO_dBaseFld::WriteRecord(n);
      converted = n;
    }
  } catch (const EXbaseError& error) {
    throw EXbaseError(std::string(error.what()) + " (the key change stopped after record " +
                          std::to_string(converted) + ": records 1 to " +
                          std::to_string(converted) + " carry the new key, the others the old one)",
                      error.code(), error.subcode());
  }
}

void XBO_dBHandler::WriteDescriptorArea(std::string_view key) {
  std::vector<std::uint8_t> area = descriptorArea();
  const auto size = static_cast<std::uint32_t>(area.size());
  if (!key.empty()) TransformBlock(key, area.data(), area.data(), size, true);
  WriteAt(xb_header::Size, area.data(), size);
}

}  // namespace tables
