#include "framework/registry/registry.hpp"

#include "platform/machine.hpp"
#include "platform/registry.hpp"

namespace framework {
namespace {

platform::Registry& Reg() {
  return platform::CurrentMachine().registry();
}

[[noreturn]] void ReadError(std::string_view name) {
  throw ERegistryException("Invalid data type for '" + std::string(name) + "'");
}

bool IsRelative(std::string_view path) {
  return path.empty() || path.front() != '\\';
}

}  // namespace

TRegDataType DataTypeOf(platform::ValueType type) {
  switch (type) {
    case platform::ValueType::String:
      return TRegDataType::rdString;
    case platform::ValueType::ExpandString:
      return TRegDataType::rdExpandString;
    case platform::ValueType::Dword:
      return TRegDataType::rdInteger;
    case platform::ValueType::Binary:
      return TRegDataType::rdBinary;
    default:
      return TRegDataType::rdUnknown;
  }
}

TRegistry::~TRegistry() {
  CloseKey();
}

void TRegistry::SetRootKey(platform::KeyHandle root) {
  if (root == rootKey_) return;
  CloseKey();
  rootKey_ = root;
}

TRegistry::Lookup TRegistry::Resolve(std::string_view path) const {
  bool relative = IsRelative(path);
  if (!relative) path.remove_prefix(1);
  platform::KeyHandle base = (relative && currentKey_ != 0) ? currentKey_ : rootKey_;
  return {base, std::string(path), relative};
}

bool TRegistry::OpenKey(std::string_view path, bool canCreate) {
  Lookup lookup = Resolve(path);
  platform::KeyHandle opened = 0;
  platform::ErrorCode result = (canCreate && !lookup.subKey.empty())
                                   ? Reg().CreateKey(lookup.base, lookup.subKey, kAccess, opened)
                                   : Reg().OpenKey(lookup.base, lookup.subKey, kAccess, opened);
  if (result != platform::win_error::Success) return false;

  std::string newPath = lookup.subKey;
  if (lookup.relative && currentKey_ != 0) newPath = currentPath_ + "\\" + lookup.subKey;
  CloseKey();
  currentKey_ = opened;
  currentPath_ = std::move(newPath);
  return true;
}

void TRegistry::CloseKey() {
  if (currentKey_ != 0) Reg().CloseKey(currentKey_);
  currentKey_ = 0;
  currentPath_.clear();
}

bool TRegistry::DeleteKey(std::string_view path) {
  Lookup lookup = Resolve(path);
  return Reg().DeleteTree(lookup.base, lookup.subKey) == platform::win_error::Success;
}

bool TRegistry::ValueExists(std::string_view name) {
  if (currentKey_ == 0) return false;
  return Reg().QueryValue(currentKey_, name, nullptr, nullptr) == platform::win_error::Success;
}

TRegDataType TRegistry::GetDataType(std::string_view name) {
  platform::ValueType type = platform::ValueType::None;
  if (currentKey_ == 0 ||
      Reg().QueryValue(currentKey_, name, &type, nullptr) != platform::win_error::Success) {
    return TRegDataType::rdUnknown;
  }
  return DataTypeOf(type);
}

bool TRegistry::DeleteValue(std::string_view name) {
  if (currentKey_ == 0) return false;
  return Reg().DeleteValue(currentKey_, name) == platform::win_error::Success;
}

void TRegistry::GetData(std::string_view name, platform::ValueType& type,
                        std::vector<std::uint8_t>& data) {
  if (currentKey_ == 0 ||
      Reg().QueryValue(currentKey_, name, &type, &data) != platform::win_error::Success) {
    throw ERegistryException("Failed to get data for '" + std::string(name) + "'");
  }
}

void TRegistry::PutData(std::string_view name, platform::ValueType type,
                        const std::vector<std::uint8_t>& data) {
  if (currentKey_ == 0 ||
      Reg().SetValue(currentKey_, name, type, data) != platform::win_error::Success) {
    throw ERegistryException("Failed to set data for '" + std::string(name) + "'");
  }
}

std::int32_t TRegistry::ReadInteger(std::string_view name) {
  platform::ValueType type = platform::ValueType::None;
  std::vector<std::uint8_t> data;
  GetData(name, type, data);
  if (DataTypeOf(type) != TRegDataType::rdInteger) ReadError(name);
  return static_cast<std::int32_t>(platform::DwordFromData(data));
}

bool TRegistry::ReadBool(std::string_view name) {
  return ReadInteger(name) != 0;
}

std::string TRegistry::ReadString(std::string_view name) {
  if (!ValueExists(name)) return {};
  platform::ValueType type = platform::ValueType::None;
  std::vector<std::uint8_t> data;
  GetData(name, type, data);
  TRegDataType kind = DataTypeOf(type);
  if (kind != TRegDataType::rdString && kind != TRegDataType::rdExpandString) ReadError(name);
  return platform::StringFromData(data);
}

std::vector<std::uint8_t> TRegistry::ReadBinaryData(std::string_view name) {
  if (!ValueExists(name)) return {};
  platform::ValueType type = platform::ValueType::None;
  std::vector<std::uint8_t> data;
  GetData(name, type, data);
  TRegDataType kind = DataTypeOf(type);
  // Raw bytes are read from any value the helper has no typed reader for.
  if (kind != TRegDataType::rdBinary && kind != TRegDataType::rdUnknown) ReadError(name);
  return data;
}

void TRegistry::WriteInteger(std::string_view name, std::int32_t value) {
  PutData(name, platform::ValueType::Dword, platform::DwordData(static_cast<std::uint32_t>(value)));
}

void TRegistry::WriteBool(std::string_view name, bool value) {
  WriteInteger(name, value ? 1 : 0);
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  PutData(name, platform::ValueType::String, platform::StringData(value));
}

void TRegistry::WriteBinaryData(std::string_view name, const std::vector<std::uint8_t>& data) {
  PutData(name, platform::ValueType::Binary, data);
}

}  // namespace framework
