#pragma once
// TxbVariant: the engine's key holder. A byte buffer that keeps its capacity, a length and a
// type code. Numbers are 8-byte IEEE doubles and dates 32-bit Julian days, both stored
// little-endian; a logical is one byte (1 true, 0 false).
#include <cstdint>
#include <string>
#include <string_view>

namespace tables {

class TxbVariant {
 public:
  enum Type : std::uint8_t { None = 0, Text = 1, Number = 2, Date = 3, Logical = 4, Raw = 5 };

  void SetText(std::string_view text) { Assign(Text, text); }
  void SetRaw(std::string_view bytes) { Assign(Raw, bytes); }
  void SetNumber(double value);
  void SetDate(std::int32_t julian);
  void SetLogical(bool value);

  std::uint8_t type() const { return type_; }
  std::size_t length() const { return bytes_.size(); }
  std::size_t capacity() const { return bytes_.capacity(); }
  bool empty() const { return bytes_.empty(); }
  std::string_view bytes() const { return bytes_; }

  // The stored value read back; raise EXbaseError when the type or length does not fit.
  double AsNumber() const;
  std::int32_t AsDate() const;
  bool AsLogical() const;

 private:
  void Assign(Type type, std::string_view bytes);
  Type type_ = None;
  std::string bytes_;
};

// Orders two keys: an empty key is the smallest and two empty keys are equal; text and raw
// bytes compare as unsigned bytes, then by length (a raw value agrees with any type); numbers
// and dates numerically; logicals false before true. Other type pairs raise EXbaseError
// "Variant types mismatch for compare".
int Compare(const TxbVariant& left, const TxbVariant& right);

}  // namespace tables
