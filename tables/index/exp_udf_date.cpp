// Date built-ins: CTOD, DATE, DOW, DTOC and DTOS. Every empty date (day <= 0 or 1.0E100)
// counts as empty here.
#include <string>

#include "tables/index/exp_builtins.hpp"
#include "tables/index/exp_udf_support.hpp"
#include "tables/storage/dbf_date.hpp"

namespace tables {
namespace {

// A required date argument as its 32-bit day, 0 when it is empty.
std::int32_t DayArgument(TxbExpFunction& call, int index, TxbExpValue& value) {
  call.RequireArgument(index, xb_type::Date, value);
  return DayNumberOf(value.ToNumber(call.machine()));
}

void ReturnDate(TxbExpValue& value, std::uint8_t& type, double day) {
  value.SetNumber(day);
  type = xb_type::Date;
}

// DTOC's second argument asks for the storage form when it is the Number 1.
bool AsksForStorageForm(TxbExpFunction& call, TxbExpValue& value) {
  std::uint8_t type = call.GetArgument(1, xb_type::Number, value);
  return IsNumericType(type) && value.ToNumber(call.machine()) == 1;
}

}  // namespace

bool TxbUDFCTOD::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  const std::string& text = TextArgument(call, 0, value);
  ReturnDate(value, type, text.empty() ? kEmptyDate : XbDate().FromText(call.machine(), text));
  return true;
}

bool TxbUDFDate::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  ReturnDate(value, type, XbDate().Today(call.machine()));
  return true;
}

bool TxbUDFDOW::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  ReturnNumber(value, type, XbDate().DayOfWeek(DayArgument(call, 0, value)));
  return true;
}

bool TxbUDFDTOC::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::int32_t day = DayArgument(call, 0, value);
  bool storageForm = AsksForStorageForm(call, call.Scratch(0));
  if (day == 0) {
    value.NewText().assign(XbDate().DisplayFormat(call.machine()).size(), ' ');
  } else {
    value.SetText(storageForm ? XbDate().StorageText(day)
                              : XbDate().DisplayText(call.machine(), day));
  }
  type = xb_type::Text;
  return true;
}

bool TxbUDFDTOS::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::int32_t day = DayArgument(call, 0, value);
  value.SetText(XbDate().StorageText(day));
  type = xb_type::Text;
  return true;
}

}  // namespace tables
