#pragma once
// The installer's typed registry helper: one root key, one current key opened for reading and
// writing, and typed reads and writes of its values. Booleans are DWORDs (true when not 0),
// integers DWORDs, strings plain string values.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/exception.hpp"
#include "platform/win_types.hpp"

namespace framework {

// A registry read or write that failed ("Invalid data type for 'MigrateProxy'").
class ERegistryException : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry {
 public:
  // Every key is opened with this access (read and write).
  static constexpr std::uint32_t kAccess = platform::key_access::ReadWrite;

  TRegistry() = default;
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // HKEY_CURRENT_USER by default. Changing the root closes the current key.
  platform::KeyHandle RootKey() const { return rootKey_; }
  void SetRootKey(platform::KeyHandle root);

  // The open key (0 when none) and its path below the root, without a leading backslash.
  platform::KeyHandle CurrentKey() const { return currentKey_; }
  const std::string& CurrentPath() const { return currentPath_; }

  // A path with a leading backslash starts at the root key; any other path starts at the
  // current key (the root when none is open). On success the opened key replaces the
  // current one. Without canCreate a missing key gives false.
  bool OpenKey(std::string_view path, bool canCreate);
  void CloseKey();
  // Deletes the key with all its values and sub keys; paths as for OpenKey.
  bool DeleteKey(std::string_view path);

  bool ValueExists(std::string_view name);
  // rdUnknown when the value is missing or of a type the helper does not read.
  TRegDataType GetDataType(std::string_view name);
  bool DeleteValue(std::string_view name);

  // A missing value or one of another type raises ERegistryException; ReadString gives the
  // empty string for a missing value.
  std::int32_t ReadInteger(std::string_view name);
  bool ReadBool(std::string_view name);
  std::string ReadString(std::string_view name);
  std::vector<std::uint8_t> ReadBinaryData(std::string_view name);

  // A write that the registry refuses raises ERegistryException.
  void WriteInteger(std::string_view name, std::int32_t value);
  void WriteBool(std::string_view name, bool value);
  void WriteString(std::string_view name, std::string_view value);
  void WriteBinaryData(std::string_view name, const std::vector<std::uint8_t>& data);

 private:
  struct Lookup {
    platform::KeyHandle base;
    std::string subKey;
    bool relative;
  };
  Lookup Resolve(std::string_view path) const;
  // The type and bytes of a value; raises "Failed to get data" when it cannot be read.
  void GetData(std::string_view name, platform::ValueType& type, std::vector<std::uint8_t>& data);
  void PutData(std::string_view name, platform::ValueType type,
               const std::vector<std::uint8_t>& data);

  platform::KeyHandle rootKey_ = platform::hkey::CurrentUser;
  platform::KeyHandle currentKey_ = 0;
  std::string currentPath_;
};

// The helper's type of a stored value type.
TRegDataType DataTypeOf(platform::ValueType type);

}  // namespace framework
