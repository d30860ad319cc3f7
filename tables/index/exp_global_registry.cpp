#include "tables/index/exp_global_registry.hpp"

#include <memory>
#include <stdexcept>

#include "tables/index/exp_builtins.hpp"

namespace tables {
namespace {

std::unique_ptr<TxbFunctionReg> registry;
int starts = 0;

template <typename... Functions>
void AddAll(TxbFunctionReg& target) {
  (target.Add(std::make_unique<Functions>()), ...);
}

std::unique_ptr<TxbFunctionReg> MakeBuiltIns() {
  auto builtIns = std::make_unique<TxbFunctionReg>();
  AddAll<TxbUDFAllTrim, TxbUDFAsc, TxbUDFAt, TxbUDFAtC, TxbUDFBetween, TxbUDFCeiling, TxbUDFChr,
         TxbUDFCTOD, TxbUDFDate, TxbUDFDescend, TxbUDFDOW, TxbUDFDTOC, TxbUDFDTOS, TxbUDFEmpty,
         TxbUDFFloor, TxbUDFIIF, TxbUDFInt, TxbUDFLeft, TxbUDFLen, TxbUDFLower, TxbUDFLTrim,
         TxbUDFMod, TxbUDFPadC, TxbUDFPadL, TxbUDFPadR, TxbUDFProper, TxbUDFRight, TxbUDFRTrim,
         TxbUDFSoundex, TxbUDFSpace, TxbUDFStr, TxbUDFStrZero, TxbUDFSubStr, TxbUDFTrim,
         TxbUDFUpper, TxbUDFVal>(*builtIns);
  return builtIns;
}

}  // namespace

void XbExpStartup() {
  if (starts++ == 0) registry = MakeBuiltIns();
}

void XbExpShutdown() {
  if (starts == 0) return;
  if (--starts == 0) registry.reset();
}

bool XbExpStarted() {
  return registry != nullptr;
}

const TxbFunctionReg& XbExpGlobalFunctions() {
  if (!registry) throw std::logic_error("the expression engine has not been started");
  return *registry;
}

}  // namespace tables
