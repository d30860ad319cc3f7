#pragma once
// Integers kept in files and data blocks, read and written byte by byte in the byte order the
// format fixes, never by casting structures: tables, DBT memos, index keys, shell links,
// bitmaps and REG_DWORD data are little-endian, FPT memos big-endian.
#include <concepts>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {

// A byte of stored data: of a file image (std::uint8_t) or of a text buffer (char).
template <typename T>
concept StoredByte = std::same_as<T, std::uint8_t> || std::same_as<T, char>;

// The `count` low bytes of value at p, the lowest first.
template <StoredByte Byte>
void WriteLittleEndian(Byte* p, std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i)
    p[i] = static_cast<Byte>(value >> (8 * i));
}

// The number of `count` bytes at p, the lowest first.
template <StoredByte Byte>
std::uint64_t ReadLittleEndian(const Byte* p, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i)
    value |= std::uint64_t{static_cast<std::uint8_t>(p[i])} << (8 * i);
  return value;
}

// The `count` low bytes of value at p, the highest first.
template <StoredByte Byte>
void WriteBigEndian(Byte* p, std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i)
    p[i] = static_cast<Byte>(value >> (8 * (count - 1 - i)));
}

// The number of `count` bytes at p, the highest first.
template <StoredByte Byte>
std::uint64_t ReadBigEndian(const Byte* p, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i)
    value = (value << 8) | static_cast<std::uint8_t>(p[i]);
  return value;
}

inline std::uint16_t ReadLE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(ReadLittleEndian(p, 2));
}

inline std::uint32_t ReadLE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(ReadLittleEndian(p, 4));
}

inline std::uint64_t ReadLE64(const std::uint8_t* p) {
  return ReadLittleEndian(p, 8);
}

inline void WriteLE16(std::uint8_t* p, std::uint16_t value) {
  WriteLittleEndian(p, value, 2);
}

inline void WriteLE32(std::uint8_t* p, std::uint32_t value) {
  WriteLittleEndian(p, value, 4);
}

inline void WriteLE64(std::uint8_t* p, std::uint64_t value) {
  WriteLittleEndian(p, value, 8);
}

inline std::uint16_t ReadBE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(ReadBigEndian(p, 2));
}

inline std::uint32_t ReadBE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(ReadBigEndian(p, 4));
}

inline void WriteBE16(std::uint8_t* p, std::uint16_t value) {
  WriteBigEndian(p, value, 2);
}

inline void WriteBE32(std::uint8_t* p, std::uint32_t value) {
  WriteBigEndian(p, value, 4);
}

// An IEEE double kept as its little-endian bit pattern.
inline double ReadLEDouble(const std::uint8_t* p) {
  const std::uint64_t bits = ReadLE64(p);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline void WriteLEDouble(std::uint8_t* p, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  WriteLE64(p, bits);
}

// Little-endian numbers appended to a growing image.
inline void AppendLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int count) {
  out.resize(out.size() + static_cast<std::size_t>(count));
  WriteLittleEndian(out.data() + out.size() - count, value, count);
}

inline void AppendLE16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  AppendLittleEndian(out, value, 2);
}

inline void AppendLE32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  AppendLittleEndian(out, value, 4);
}

inline void AppendLE64(std::vector<std::uint8_t>& out, std::uint64_t value) {
  AppendLittleEndian(out, value, 8);
}

}  // namespace platform
