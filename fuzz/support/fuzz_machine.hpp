#pragma once
// The machine the table fuzz targets run on: the native mapping with a scratch folder kept in
// memory (/dev/shm where there is one), installed once for the whole process with the engine
// running. The folder goes when the process ends normally.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/native/native_machine.hpp"
#include "tables/storage/engine.hpp"

namespace fuzz {

class FuzzMachine {
 public:
  static FuzzMachine& Get();

  // The host path of a file of the scratch folder.
  std::string Path(std::string_view name) const;
  // Replaces the file with the bytes; returns its path.
  std::string Write(std::string_view name, const std::uint8_t* data, std::size_t size) const;
  void Remove(std::string_view name) const;

  FuzzMachine(const FuzzMachine&) = delete;
  FuzzMachine& operator=(const FuzzMachine&) = delete;

 private:
  FuzzMachine();
  ~FuzzMachine();

  std::filesystem::path folder_;
  platform::NativeMachine machine_;
  platform::ScopedMachine installed_{machine_};
  tables::XbEngineScope engine_;
};

}  // namespace fuzz
