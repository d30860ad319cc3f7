#include "tables/storage/create_table.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/machine.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/cipher.hpp"
#include "tables/storage/dbf_format.hpp"
#include "tables/storage/disk_file.hpp"
#include "tables/storage/field_descriptor.hpp"
#include "tables/storage/memo_layout.hpp"
#include "tables/storage/table_names.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

using memo_layout::kDbtBlockSize;
using memo_layout::kFptHeaderSize;
constexpr std::size_t kMaxNameLength = 10;
constexpr int kMaxNumberLength = 20;
constexpr int kMaxCharacterLength = 65535;
constexpr std::uint32_t kMaxLength16 = 65535;

[[noreturn]] void Refuse(int code, const std::string& text) {
  ReportError(code, xb_sub::OwnText, text);
}

std::string Hex(std::uint8_t version) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", version);
  return text;
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string UpperName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

void CheckName(const XbFieldDef& field) {
  const std::string& name = field.name;
  bool valid = !name.empty() && name.size() <= kMaxNameLength && IsLetter(name.front());
  for (char c : name)
    valid = valid && (IsLetter(c) || IsDigit(c) || c == '_');
  if (!valid) {
    Refuse(
        xb_code::FieldNameInvalid,
        "Field name \"" + name + "\" must be 1 to 10 letters, digits or _ starting with a letter");
  }
}

bool TypeAllowed(char type, std::uint8_t version) {
  std::string_view allowed = "CNFDL";
  if (version == xb_version::Visual) allowed = "CNFDLMGBIYT";
  if (version == xb_version::DBase3Memo || version == xb_version::DBase4Memo ||
      version == xb_version::FoxMemo) {
    allowed = "CNFDLMGB";
  }
  return allowed.find(type) != std::string_view::npos;
}

}  // namespace

int XbFixedFieldLength(char type, std::uint8_t version) {
  const bool visual = version == xb_version::Visual;
  switch (type) {
    case 'D':
    case 'Y':
    case 'T':
      return 8;
    case 'L':
      return 1;
    case 'I':
      return 4;
    case 'M':
    case 'G':
      return visual ? 4 : 10;
    case 'B':
      return visual ? 8 : 10;
    default:
      return 0;
  }
}

namespace {

void CheckLength(const XbFieldDef& field, std::uint8_t version) {
  const std::string what = "Field " + field.name + " of type " + std::string(1, field.type);
  const bool numeric = field.type == 'N' || field.type == 'F';
  if (!numeric && field.decimals != 0) {
    Refuse(xb_code::FieldTypeIncorrect, what + " cannot have decimals");
  }
  if (field.type == 'C' && (field.length < 1 || field.length > kMaxCharacterLength)) {
    Refuse(xb_code::FieldTypeIncorrect, what + " needs a length of 1 to 65535");
  }
  if (numeric && (field.length < 1 || field.length > kMaxNumberLength)) {
    Refuse(xb_code::FieldTypeIncorrect, what + " needs a length of 1 to 20");
  }
  if (numeric && (field.decimals < 0 || field.decimals >= field.length)) {
    Refuse(xb_code::FieldTypeIncorrect, what + " needs decimals below its length");
  }
  const int fixed = XbFixedFieldLength(field.type, version);
  if (fixed != 0 && field.length != fixed) {
    Refuse(xb_code::FieldTypeIncorrect, what + " needs a length of " + std::to_string(fixed));
  }
}

void CheckFields(std::uint8_t version, const std::vector<XbFieldDef>& fields) {
  if (fields.empty()) Refuse(xb_code::HeaderInvalid, "A table needs at least one field");
  std::vector<std::string> seen;
  for (const XbFieldDef& field : fields) {
    CheckName(field);
    const std::string upper = UpperName(field.name);
    for (const std::string& other : seen) {
      if (other == upper) Refuse(xb_code::FieldNameInvalid, "Field " + upper + " is defined twice");
    }
    seen.push_back(upper);
    if (!TypeAllowed(field.type, version)) {
      Refuse(xb_code::FieldTypeIncorrect,
             "Field " + field.name + ": type " + std::string(1, field.type) +
                 " is not allowed in a version " + Hex(version) + " table");
    }
    CheckLength(field, version);
  }
}

bool HasMemoFields(const std::vector<XbFieldDef>& fields) {
  for (const XbFieldDef& field : fields) {
    if (field.type == 'M' || field.type == 'G') return true;
  }
  return false;
}

XbMemoKind MemoKindFor(std::uint8_t version, const std::vector<XbFieldDef>& fields) {
  if (version == xb_version::Visual) {
    return HasMemoFields(fields) ? XbMemoKind::Fox : XbMemoKind::None;
  }
  return XbMemoKindFor(version, 0);
}

std::uint32_t BlockSizeFor(XbMemoKind kind, std::uint8_t version, std::uint32_t requested) {
  bool valid = true;
  std::uint32_t size = requested;
  switch (kind) {
    case XbMemoKind::None:
      valid = requested == 0;
      break;
    case XbMemoKind::DBase3:
      size = kDbtBlockSize;
      valid = requested == 0 || requested == kDbtBlockSize;
      break;
    case XbMemoKind::DBase4:
      if (size == 0) size = kDbtBlockSize;
      valid = size % kDbtBlockSize == 0 && size <= memo_layout::kMaxBlockSize;
      break;
    case XbMemoKind::Fox:
      if (size == 0) size = memo_layout::kFptDefaultBlockSize;
      valid = size <= memo_layout::kMaxBlockSize;
      break;
  }
  if (!valid) {
    Refuse(xb_code::HeaderInvalid, "Memo block size " + std::to_string(requested) +
                                       " is not allowed for a version " + Hex(version) + " table");
  }
  return size;
}

// Header, descriptors, terminator (and the 263-byte area of 0x30) and the end-of-file mark.
std::vector<std::uint8_t> TableImage(std::uint8_t version, const std::vector<XbFieldDef>& fields,
                                     std::string_view key, bool memoFlag,
                                     const platform::LocalTime& now) {
  const std::uint32_t areaSize = static_cast<std::uint32_t>(fields.size()) * kDescriptorSize;
  const std::uint32_t headerLength =
      xb_header::Size + areaSize + 1 + (version == xb_version::Visual ? kVisualExtraArea : 0);
  std::uint32_t recordLength = 1;
  for (const XbFieldDef& field : fields)
    recordLength += static_cast<std::uint32_t>(field.length);
  if (recordLength > kMaxLength16 || headerLength > kMaxLength16) {
    Refuse(xb_code::HeaderInvalid, "Record length " + std::to_string(recordLength) +
                                       " or header length " + std::to_string(headerLength) +
                                       " exceeds 65535");
  }
  std::vector<std::uint8_t> image(headerLength + 1, 0);
  image[xb_header::Version] = version;
  image[xb_header::UpdateDate] = static_cast<std::uint8_t>(now.year % 100);
  image[xb_header::UpdateDate + 1] = static_cast<std::uint8_t>(now.month);
  image[xb_header::UpdateDate + 2] = static_cast<std::uint8_t>(now.day);
  WriteLE16(image.data() + xb_header::HeaderLength, static_cast<std::uint16_t>(headerLength));
  WriteLE16(image.data() + xb_header::RecordLength, static_cast<std::uint16_t>(recordLength));
  image[xb_header::Encrypted] = key.empty() ? 0 : 1;
  WriteLE32(image.data() + xb_header::UpdateStamp,
            XbUpdateStamp(now.hour, now.minute, now.second, now.millisecond));
  if (memoFlag) image[xb_header::Flags] = xb_header::MemoFlag;
  int offset = 1;
  std::uint8_t* area = image.data() + xb_header::Size;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    XbFieldDesc descriptor{UpperName(fields[i].name), fields[i].type, fields[i].length,
                           fields[i].decimals,        offset,         static_cast<int>(i) + 1};
    XbEncodeDescriptor(descriptor, version, area + i * kDescriptorSize);
    offset += fields[i].length;
  }
  TransformBlock(key, area, area, areaSize, true);
  image[xb_header::Size + areaSize] = kDescriptorEnd;
  image[headerLength] = kEndOfFile;
  return image;
}

// The empty memo file: its header block with the next free block after it.
std::vector<std::uint8_t> MemoImage(XbMemoKind kind, std::uint32_t blockSize,
                                    std::string_view tablePath, platform::CodePages& casing) {
  if (kind == XbMemoKind::Fox) {
    std::vector<std::uint8_t> image(kFptHeaderSize, 0);
    WriteBE32(image.data(), (kFptHeaderSize + blockSize - 1) / blockSize);
    WriteBE16(image.data() + memo_layout::kFptBlockSizeAt, static_cast<std::uint16_t>(blockSize));
    return image;
  }
  std::vector<std::uint8_t> image(blockSize, 0);
  WriteLE32(image.data(), 1);
  const std::string name = casing.Upper(XbBaseName(tablePath));
  std::memcpy(image.data() + 8, name.data(), std::min<std::size_t>(name.size(), 8));
  if (kind == XbMemoKind::DBase4)
    WriteLE32(image.data() + memo_layout::kDbt4BlockSizeAt, blockSize);
  return image;
}

void WriteNewFile(platform::Machine& machine, const std::string& path,
                  const std::vector<std::uint8_t>& image) {
  XBO_DiskFile file(machine);
  file.Create(path, false, true);
  file.WriteAt(0, image.data(), static_cast<std::uint32_t>(image.size()));
  file.Close();
}

}  // namespace

void CreateTable(std::string_view path, std::uint8_t version, const std::vector<XbFieldDef>& fields,
                 std::string_view key, std::uint32_t memoBlockSize) {
  CreateTable(platform::CurrentMachine(), path, version, fields, key, memoBlockSize);
}

void CreateTable(platform::Machine& machine, std::string_view path, std::uint8_t version,
                 const std::vector<XbFieldDef>& fields, std::string_view key,
                 std::uint32_t memoBlockSize) {
  if (!XbKnownVersion(version)) {
    Refuse(xb_code::HeaderInvalid, "Version " + Hex(version) + " is not a table version");
  }
  CheckFields(version, fields);
  const XbMemoKind memoKind = MemoKindFor(version, fields);
  const std::uint32_t blockSize = BlockSizeFor(memoKind, version, memoBlockSize);
  const bool memoFlag = version == xb_version::Visual && memoKind != XbMemoKind::None;
  const std::vector<std::uint8_t> table =
      TableImage(version, fields, key, memoFlag, machine.clock().Now());

  const std::string tablePath =
      XbNormalizePath(machine, XbTableFileName(machine.codePages(), path));
  const std::string memoPath = XbWithExtension(tablePath, XbMemoExtension(memoKind));
  platform::FileSystem& files = machine.files();
  for (const std::string& existing : {tablePath, memoPath}) {
    if (existing == memoPath && memoKind == XbMemoKind::None) continue;
    if (files.Exists(existing))
      ReportError(static_cast<int>(platform::win_error::AlreadyExists), xb_sub::Create, existing);
  }
  try {
    WriteNewFile(machine, tablePath, table);
    if (memoKind != XbMemoKind::None)
      WriteNewFile(machine, memoPath,
                   MemoImage(memoKind, blockSize, tablePath, machine.codePages()));
  } catch (const EXbaseError&) {
    // Neither file was there before: a half-made table must not stand in the way of the next
    // attempt, nor open as a table without its memo file.
    files.Remove(tablePath);
    if (memoKind != XbMemoKind::None) files.Remove(memoPath);
    throw;
  }
}

}  // namespace tables
