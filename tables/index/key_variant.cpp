#include "tables/index/key_variant.hpp"

#include <bit>
#include <cstring>

#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

std::string_view LittleEndian(std::uint64_t value, int bytes, char (&buffer)[8]) {
  for (int i = 0; i < bytes; ++i)
    buffer[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return std::string_view(buffer, static_cast<std::size_t>(bytes));
}

std::uint64_t ReadLittleEndian(std::string_view bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  }
  return value;
}

void Expect(const TxbVariant& key, TxbVariant::Type type, std::size_t length) {
  if (key.type() != type || key.length() != length) {
    throw EXbaseError("Key value of type " + std::to_string(key.type()) + " and length " +
                      std::to_string(key.length()) + " read as type " + std::to_string(type));
  }
}

int CompareBytes(std::string_view left, std::string_view right) {
  std::size_t common = left.size() < right.size() ? left.size() : right.size();
  int result = common == 0 ? 0 : std::memcmp(left.data(), right.data(), common);
  if (result != 0) return result < 0 ? -1 : 1;
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

template <typename T>
int Order(T left, T right) {
  return left < right ? -1 : (right < left ? 1 : 0);
}

}  // namespace

void TxbVariant::Assign(Type type, std::string_view bytes) {
  type_ = type;
  bytes_.assign(bytes.data(), bytes.size());
}

void TxbVariant::SetNumber(double value) {
  char buffer[8];
  Assign(Number, LittleEndian(std::bit_cast<std::uint64_t>(value), 8, buffer));
}

void TxbVariant::SetDate(std::int32_t julian) {
  char buffer[8];
  Assign(Date, LittleEndian(static_cast<std::uint32_t>(julian), 4, buffer));
}

void TxbVariant::SetLogical(bool value) {
  Assign(Logical, value ? "\x01" : std::string_view("\0", 1));
}

double TxbVariant::AsNumber() const {
  Expect(*this, Number, 8);
  return std::bit_cast<double>(ReadLittleEndian(bytes_));
}

std::int32_t TxbVariant::AsDate() const {
  Expect(*this, Date, 4);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadLittleEndian(bytes_)));
}

bool TxbVariant::AsLogical() const {
  Expect(*this, Logical, 1);
  return bytes_[0] != 0;
}

int Compare(const TxbVariant& left, const TxbVariant& right) {
  if (left.empty() || right.empty()) return Order(!left.empty(), !right.empty());
  if (left.type() == TxbVariant::Raw || right.type() == TxbVariant::Raw) {
    return CompareBytes(left.bytes(), right.bytes());
  }
  if (left.type() != right.type()) throw EXbaseError("Variant types mismatch for compare");
  switch (left.type()) {
    case TxbVariant::Number:
      return Order(left.AsNumber(), right.AsNumber());
    case TxbVariant::Date:
      return Order(left.AsDate(), right.AsDate());
    case TxbVariant::Logical:
      return Order(left.AsLogical(), right.AsLogical());
    default:
      return CompareBytes(left.bytes(), right.bytes());
  }
}

}  // namespace tables
