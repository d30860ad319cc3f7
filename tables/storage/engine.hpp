#pragma once
// The engine's process-wide objects: the directory alias list, the date object and the list of
// open files. Start and Shutdown are counted: the first Start creates them (loading the aliases
// from "xbase.cfg" of the Windows folder of the machine it is given, or of the current
// machine), the last Shutdown releases every lock an open file still holds and frees them. Used
// without a Start, each object is created on first use with its defaults.
#include "platform/machine.hpp"

namespace tables {

class XbEngine {
 public:
  static void Start(platform::Machine& machine);
  static void Start();
  static void Shutdown();
  static bool Running();
};

// Starts the engine for the lifetime of a scope.
class XbEngineScope {
 public:
  XbEngineScope() { XbEngine::Start(); }
  explicit XbEngineScope(platform::Machine& machine) { XbEngine::Start(machine); }
  ~XbEngineScope() { XbEngine::Shutdown(); }
  XbEngineScope(const XbEngineScope&) = delete;
  XbEngineScope& operator=(const XbEngineScope&) = delete;
};

}  // namespace tables
