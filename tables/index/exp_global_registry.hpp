#pragma once
// The process-wide registry of the 36 built-in functions. Start-up and shutdown are counted:
// the first start creates it, the last shutdown frees it with its members.
#include "tables/index/exp_registry.hpp"

namespace tables {

void XbExpStartup();
void XbExpShutdown();
bool XbExpStarted();

// The built-ins in registry order; throws std::logic_error before the first start-up.
const TxbFunctionReg& XbExpGlobalFunctions();

// Starts the registry for the lifetime of a scope (programs, tools, tests).
class TxbExpEngineScope {
 public:
  TxbExpEngineScope() { XbExpStartup(); }
  ~TxbExpEngineScope() { XbExpShutdown(); }
  TxbExpEngineScope(const TxbExpEngineScope&) = delete;
  TxbExpEngineScope& operator=(const TxbExpEngineScope&) = delete;
};

}  // namespace tables
