#pragma once
// The registry, shaped like advapi32's Reg* calls: every operation returns a Win32 error
// number, key and value names compare without regard to case and keep the case they were
// created with. String data is stored as Windows stores it: bytes ending in one NUL
// (REG_MULTI_SZ: each string NUL-terminated, then one more NUL).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.hpp"

namespace platform {

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyEx: FileNotFound when the key does not exist. An empty sub key opens the
  // parent again. A sub key starting with "\" is BadPathname, as on Windows.
  virtual ErrorCode OpenKey(KeyHandle parent, std::string_view subKey, std::uint32_t access,
                            KeyHandle& result) = 0;
  // RegCreateKeyEx: opens the key, creating it and any missing parents. `created` tells
  // whether it was new.
  virtual ErrorCode CreateKey(KeyHandle parent, std::string_view subKey, std::uint32_t access,
                              KeyHandle& result, bool* created = nullptr) = 0;
  // The access mask the key was opened with (predefined roots report AllAccess).
  virtual ErrorCode KeyAccess(KeyHandle key, std::uint32_t& access) = 0;
  virtual ErrorCode CloseKey(KeyHandle key) = 0;

  // RegQueryValueEx: FileNotFound when the value is missing. The empty name is the key's
  // default value. `type` and `data` may be null when only existence or the type is asked.
  virtual ErrorCode QueryValue(KeyHandle key, std::string_view name, ValueType* type,
                               std::vector<std::uint8_t>* data) = 0;
  // RegSetValueEx: stores the bytes as given under the type given.
  virtual ErrorCode SetValue(KeyHandle key, std::string_view name, ValueType type,
                             std::span<const std::uint8_t> data) = 0;
  virtual ErrorCode DeleteValue(KeyHandle key, std::string_view name) = 0;
  // SHDeleteKey: deletes the sub key with all its values and sub keys. Handles still open
  // on a deleted key report KeyDeleted afterwards.
  virtual ErrorCode DeleteTree(KeyHandle parent, std::string_view subKey) = 0;

  // RegEnumKeyEx / RegEnumValue: NoMoreItems past the end. Order is creation order.
  virtual ErrorCode EnumKey(KeyHandle key, std::uint32_t index, std::string& name) = 0;
  virtual ErrorCode EnumValue(KeyHandle key, std::uint32_t index, std::string& name,
                              ValueType* type, std::vector<std::uint8_t>* data) = 0;

  // RegFlushKey on the whole registry: writes it to its backing store.
  virtual ErrorCode Flush() = 0;
};

// Value encodings as Windows stores them.
std::vector<std::uint8_t> DwordData(std::uint32_t value);
std::vector<std::uint8_t> StringData(std::string_view text);  // text + NUL
// The text of REG_SZ / REG_EXPAND_SZ data: up to the first NUL.
std::string StringFromData(std::span<const std::uint8_t> data);
// The DWORD of REG_DWORD data (little-endian); 0 when shorter than four bytes.
std::uint32_t DwordFromData(std::span<const std::uint8_t> data);

}  // namespace platform
