#include "tables/index/exp_generic_function.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/byte_order.hpp"
#include "tables/index/exp_call.hpp"
#include "tables/index/exp_table_link.hpp"

namespace tables {
namespace {

// Stores the answer the hook left in the area; false when the letter is none of C, D, F, N, L.
bool ReadAnswer(char letter, const std::vector<char>& area, TxbExpValue& value,
                std::uint8_t& type) {
  switch (letter) {
    case 'C': {
      auto end = std::find(area.begin(), area.end(), '\0');
      value.SetText(std::string_view(area.data(), static_cast<std::size_t>(end - area.begin())));
      type = xb_type::Text;
      return true;
    }
    case 'D': {
      auto day = static_cast<std::int32_t>(
          static_cast<std::uint32_t>(platform::ReadLittleEndian(area.data(), 4)));
      value.SetNumber(day);
      type = xb_type::Date;
      return true;
    }
    case 'F':
    case 'N': {
      double number;
      std::memcpy(&number, area.data(), sizeof number);
      value.SetNumber(number);
      type = xb_type::Number;
      return true;
    }
    case 'L':
      value.SetBoolean(std::string_view("TtYyJj").find(area[0]) != std::string_view::npos);
      type = xb_type::Boolean;
      return true;
    default:
      return false;
  }
}

}  // namespace

TxblDBFGeneric::TxblDBFGeneric(TxbDBFExpUserLink& link, std::string_view name)
    : link_(link), name_(name) {}

std::string_view TxblDBFGeneric::Name() const {
  return name_.empty() ? std::string_view("genericfunction") : std::string_view(name_);
}

bool TxblDBFGeneric::Takes(std::string_view name) const {
  const TxbFormulaMake* hook = link_.Host().FormulaHook();
  if (!hook) return false;
  std::vector<char> area(kFormulaResultSize, '\0');
  char letter = '\0';
  bool changed = false, taken = false;
  (*hook)("FIND", name, area.data(), letter, changed, taken);
  return taken;
}

bool TxblDBFGeneric::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  const TxbFormulaMake* hook = link_.Host().FormulaHook();
  if (!hook) return false;
  std::vector<char>& area = call.WorkArea(kFormulaResultSize);
  std::fill(area.begin(), area.end(), '\0');
  auto handle = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&call));
  std::memcpy(area.data(), &handle, sizeof handle);
  char letter = '\0';
  bool changed = false, taken = false;
  (*hook)("PARSE", Name(), area.data(), letter, changed, taken);
  return ReadAnswer(letter, area, value, type);
}

TxbExpFunction& FormulaCallNode(const char* rsl) {
  std::uint64_t handle;
  std::memcpy(&handle, rsl, sizeof handle);
  return *reinterpret_cast<TxbExpFunction*>(static_cast<std::uintptr_t>(handle));
}

}  // namespace tables
