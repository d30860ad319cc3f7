#include "tables/index/key_variant.hpp"

#include <bit>
#include <cstring>

#include "platform/byte_order.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

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
  platform::WriteLittleEndian(buffer, std::bit_cast<std::uint64_t>(value), 8);
  Assign(Number, std::string_view(buffer, 8));
}

void TxbVariant::SetDate(std::int32_t julian) {
  char buffer[4];
  platform::WriteLittleEndian(buffer, static_cast<std::uint32_t>(julian), 4);
  Assign(Date, std::string_view(buffer, 4));
}

void TxbVariant::SetLogical(bool value) {
  Assign(Logical, value ? "\x01" : std::string_view("\0", 1));
}

double TxbVariant::AsNumber() const {
  Expect(*this, Number, 8);
  return std::bit_cast<double>(platform::ReadLittleEndian(bytes_.data(), 8));
}

std::int32_t TxbVariant::AsDate() const {
  Expect(*this, Date, 4);
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(platform::ReadLittleEndian(bytes_.data(), 4)));
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
