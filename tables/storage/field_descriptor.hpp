#pragma once
// Field descriptors of a table: 32 bytes each from offset 32 of the file (name, type letter,
// length, decimals). Offsets are computed from the lengths, never read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tables {

struct XbFieldDesc {
  std::string name;  // upper case, without its padding (zero bytes or blanks)
  char type = 0;     // type letter as stored
  int length = 0;    // for C: length + 256 x the decimals byte
  int decimals = 0;  // 0 for C
  int offset = 0;    // within the record; the deletion flag is byte 0
  int number = 0;    // 1-based
};

// The descriptors of an area of size bytes, up to the 0x0D terminator or the last whole
// descriptor, with offsets and numbers filled in.
std::vector<XbFieldDesc> XbParseDescriptors(const std::uint8_t* area, std::size_t size);

// B, G, I, M, T and Y are binary in version 0x30 tables only.
bool XbIsBinaryField(char type, std::uint8_t version);

// Encodes one descriptor into 32 bytes (the long C rule for C lengths above 255). Version 0x30
// descriptors carry the field's offset in bytes 12-15, as the programs of that format expect.
void XbEncodeDescriptor(const XbFieldDesc& field, std::uint8_t version, std::uint8_t* target);

}  // namespace tables
