#pragma once
// Integers in the engine's files, read and written byte by byte: table and DBT memo files are
// little-endian, FPT memo files big-endian. Never by casting structures.
#include <cstdint>
#include <cstring>

namespace tables {

inline std::uint16_t ReadLE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t ReadLE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t ReadLE64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(ReadLE32(p)) |
         (static_cast<std::uint64_t>(ReadLE32(p + 4)) << 32);
}

inline void WriteLE16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void WriteLE32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void WriteLE64(std::uint8_t* p, std::uint64_t value) {
  for (int i = 0; i < 8; ++i)
    p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint16_t ReadBE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t ReadBE32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

inline void WriteBE16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value >> 8);
  p[1] = static_cast<std::uint8_t>(value);
}

inline void WriteBE32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<std::uint8_t>(value >> (8 * (3 - i)));
}

// An IEEE double kept as its little-endian bit pattern (binary B fields).
inline double ReadLEDouble(const std::uint8_t* p) {
  std::uint64_t bits = ReadLE64(p);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline void WriteLEDouble(std::uint8_t* p, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  WriteLE64(p, bits);
}

}  // namespace tables
