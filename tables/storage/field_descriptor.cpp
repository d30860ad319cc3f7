#include "tables/storage/field_descriptor.hpp"

#include <algorithm>
#include <cstring>

#include "tables/storage/byte_order.hpp"
#include "tables/storage/dbf_format.hpp"

namespace tables {
namespace {

constexpr int kNameLength = 11;
constexpr int kTypeAt = 11;
constexpr int kOffsetAt = 12;
constexpr int kLengthAt = 16;
constexpr int kDecimalsAt = 17;

std::string NameOf(const std::uint8_t* descriptor) {
  std::string name;
  for (int i = 0; i < kNameLength && descriptor[i] != 0; ++i) {
    char c = static_cast<char>(descriptor[i]);
    name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  // Some writers pad names with blanks instead of zero bytes.
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

}  // namespace

std::vector<XbFieldDesc> XbParseDescriptors(const std::uint8_t* area, std::size_t size) {
  std::vector<XbFieldDesc> fields;
  int offset = 1;
  for (std::size_t at = 0; at + kDescriptorSize <= size; at += kDescriptorSize) {
    const std::uint8_t* descriptor = area + at;
    if (descriptor[0] == kDescriptorEnd) break;
    XbFieldDesc field;
    field.name = NameOf(descriptor);
    field.type = static_cast<char>(descriptor[kTypeAt]);
    field.length = descriptor[kLengthAt];
    field.decimals = descriptor[kDecimalsAt];
    if (field.type == 'C') {
      field.length += 256 * field.decimals;
      field.decimals = 0;
    }
    field.offset = offset;
    field.number = static_cast<int>(fields.size()) + 1;
    offset += field.length;
    fields.push_back(std::move(field));
  }
  return fields;
}

bool XbIsBinaryField(char type, std::uint8_t version) {
  if (version != xb_version::Visual) return false;
  return type == 'B' || type == 'G' || type == 'I' || type == 'M' || type == 'T' || type == 'Y';
}

void XbEncodeDescriptor(const XbFieldDesc& field, std::uint8_t version, std::uint8_t* target) {
  std::memset(target, 0, kDescriptorSize);
  std::memcpy(target, field.name.data(), std::min<std::size_t>(field.name.size(), kNameLength));
  target[kTypeAt] = static_cast<std::uint8_t>(field.type);
  if (version == xb_version::Visual) {
    WriteLE32(target + kOffsetAt, static_cast<std::uint32_t>(field.offset));
  }
  if (field.type == 'C') {
    target[kLengthAt] = static_cast<std::uint8_t>(field.length & 0xFF);
    target[kDecimalsAt] = static_cast<std::uint8_t>(field.length >> 8);
  } else {
    target[kLengthAt] = static_cast<std::uint8_t>(field.length);
    target[kDecimalsAt] = static_cast<std::uint8_t>(field.decimals);
  }
}

}  // namespace tables
