#pragma once
// The registry held in memory: the four predefined roots and their keys and values, with the
// semantics of advapi32 (names compared without regard to case and stored as given, raw typed
// values, an access mask per handle, handles on deleted keys reporting KeyDeleted, creation
// order in enumeration). A simulated machine loads it from and writes it to REGEDIT4 files.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry.hpp"

namespace platform {

class MemoryRegistry : public Registry {
 public:
  // Names compare through the casing of the given ANSI code page.
  explicit MemoryRegistry(std::uint32_t ansiCodePage = 1252);

  ErrorCode OpenKey(KeyHandle parent, std::string_view subKey, std::uint32_t access,
                    KeyHandle& result) override;
  ErrorCode CreateKey(KeyHandle parent, std::string_view subKey, std::uint32_t access,
                      KeyHandle& result, bool* created = nullptr) override;
  ErrorCode KeyAccess(KeyHandle key, std::uint32_t& access) override;
  ErrorCode CloseKey(KeyHandle key) override;
  ErrorCode QueryValue(KeyHandle key, std::string_view name, ValueType* type,
                       std::vector<std::uint8_t>* data) override;
  ErrorCode SetValue(KeyHandle key, std::string_view name, ValueType type,
                     std::span<const std::uint8_t> data) override;
  ErrorCode DeleteValue(KeyHandle key, std::string_view name) override;
  ErrorCode DeleteTree(KeyHandle parent, std::string_view subKey) override;
  ErrorCode EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override;
  ErrorCode EnumValue(KeyHandle key, std::uint32_t index, std::string& name, ValueType* type,
                      std::vector<std::uint8_t>* data) override;
  // Runs the flush handler, if one is set; success otherwise.
  ErrorCode Flush() override;

  // What Flush does: writes the registry to wherever its owner keeps it.
  void SetFlushHandler(std::function<ErrorCode()> handler) { flushHandler_ = std::move(handler); }
  // Asked before a key is opened or created with this access, with the key's full path
  // ("HKEY_LOCAL_MACHINE\SOFTWARE"): a non-zero answer refuses the open. The security of a
  // simulated machine checks the rights on access lists here.
  void SetOpenCheck(std::function<ErrorCode(const std::string& path, std::uint32_t access)> check) {
    openCheck_ = std::move(check);
  }
  // Told the full path of every key DeleteTree removes (the top one; its sub keys go with it).
  void SetDeleteHandler(std::function<void(const std::string& path)> handler) {
    deleteHandler_ = std::move(handler);
  }
  // The full path of an open key or predefined root, as spelled when the keys were made.
  ErrorCode KeyPath(KeyHandle key, std::string& path) const;
  // The number of handles open (not counting the predefined roots).
  std::size_t OpenHandleCount() const { return handles_.size(); }

 private:
  struct Value;
  struct Key;
  struct OpenHandle {
    std::shared_ptr<Key> key;
    std::uint32_t access = 0;
    std::string path;
  };

  ErrorCode Resolve(KeyHandle handle, std::shared_ptr<Key>& key, std::uint32_t& access) const;
  ErrorCode ResolveWith(KeyHandle handle, std::uint32_t needed, std::shared_ptr<Key>& key) const;
  KeyHandle AddHandle(std::shared_ptr<Key> key, std::uint32_t access, std::string path);
  static void MarkDeleted(Key& key);
  bool SameName(std::string_view a, std::string_view b) const;
  std::shared_ptr<Key> FindChild(const Key& key, std::string_view name) const;
  Value* FindValue(Key& key, std::string_view name) const;

  const std::uint8_t* upper_;  // ANSI casing table, 256 entries
  std::unordered_map<KeyHandle, std::shared_ptr<Key>> roots_;
  std::unordered_map<KeyHandle, OpenHandle> handles_;
  KeyHandle nextHandle_ = 0x100;
  std::function<ErrorCode()> flushHandler_;
  std::function<ErrorCode(const std::string&, std::uint32_t)> openCheck_;
  std::function<void(const std::string&)> deleteHandler_;
};

}  // namespace platform
