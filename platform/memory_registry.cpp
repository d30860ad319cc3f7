#include "platform/memory_registry.hpp"

#include <algorithm>

#include "platform/code_page_tables.hpp"
#include "platform/exception.hpp"
#include "platform/reg_file.hpp"

namespace platform {

struct MemoryRegistry::Value {
  std::string name;
  ValueType type = ValueType::None;
  std::vector<std::uint8_t> data;
};

struct MemoryRegistry::Key {
  std::string name;
  std::vector<Value> values;
  std::vector<std::shared_ptr<Key>> children;
  bool deleted = false;
};

namespace {

// A sub key path split at its backslashes. A leading backslash or an empty part inside the
// path is BadPathname; one trailing backslash is allowed, as Windows allows it.
ErrorCode SplitPath(std::string_view path, std::vector<std::string_view>& parts) {
  parts.clear();
  if (path.empty()) return win_error::Success;
  if (path.front() == '\\') return win_error::BadPathname;
  if (path.back() == '\\') path.remove_suffix(1);
  while (true) {
    const auto slash = path.find('\\');
    const auto part = path.substr(0, slash);
    if (part.empty()) return win_error::BadPathname;
    parts.push_back(part);
    if (slash == std::string_view::npos) return win_error::Success;
    path.remove_prefix(slash + 1);
  }
}

const std::uint8_t* UpperTable(std::uint32_t codePage) {
  for (const auto& table : code_page_tables::kCodePages)
    if (table.codePage == codePage) return table.upper;
  throw Exception("Code page " + std::to_string(codePage) + " is not supported");
}

}  // namespace

void MemoryRegistry::MarkDeleted(Key& key) {
  key.deleted = true;
  for (auto& child : key.children)
    MarkDeleted(*child);
  key.children.clear();
  key.values.clear();
}

MemoryRegistry::MemoryRegistry(std::uint32_t ansiCodePage) : upper_(UpperTable(ansiCodePage)) {
  for (KeyHandle root : {hkey::ClassesRoot, hkey::CurrentUser, hkey::LocalMachine, hkey::Users})
    roots_[root] = std::make_shared<Key>();
}

bool MemoryRegistry::SameName(std::string_view a, std::string_view b) const {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [this](char x, char y) {
           return upper_[static_cast<std::uint8_t>(x)] == upper_[static_cast<std::uint8_t>(y)];
         });
}

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::FindChild(const Key& key,
                                                               std::string_view name) const {
  for (const auto& child : key.children)
    if (SameName(child->name, name)) return child;
  return nullptr;
}

MemoryRegistry::Value* MemoryRegistry::FindValue(Key& key, std::string_view name) const {
  for (auto& value : key.values)
    if (SameName(value.name, name)) return &value;
  return nullptr;
}

ErrorCode MemoryRegistry::Resolve(KeyHandle handle, std::shared_ptr<Key>& key,
                                  std::uint32_t& access) const {
  if (auto root = roots_.find(handle); root != roots_.end()) {
    key = root->second;
    access = key_access::AllAccess;
    return win_error::Success;
  }
  auto open = handles_.find(handle);
  if (open == handles_.end()) return win_error::InvalidHandle;
  if (open->second.key->deleted) return win_error::KeyDeleted;
  key = open->second.key;
  access = open->second.access;
  return win_error::Success;
}

ErrorCode MemoryRegistry::ResolveWith(KeyHandle handle, std::uint32_t needed,
                                      std::shared_ptr<Key>& key) const {
  std::uint32_t access = 0;
  if (ErrorCode error = Resolve(handle, key, access)) return error;
  return (access & needed) == needed ? win_error::Success : win_error::AccessDenied;
}

KeyHandle MemoryRegistry::AddHandle(std::shared_ptr<Key> key, std::uint32_t access,
                                    std::string path) {
  const KeyHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = OpenHandle{std::move(key), access, std::move(path)};
  return handle;
}

ErrorCode MemoryRegistry::KeyPath(KeyHandle key, std::string& path) const {
  if (roots_.count(key)) {
    path = std::string(RootKeyName(key));
    return win_error::Success;
  }
  auto open = handles_.find(key);
  if (open == handles_.end()) return win_error::InvalidHandle;
  if (open->second.key->deleted) return win_error::KeyDeleted;
  path = open->second.path;
  return win_error::Success;
}

ErrorCode MemoryRegistry::OpenKey(KeyHandle parent, std::string_view subKey, std::uint32_t access,
                                  KeyHandle& result) {
  std::shared_ptr<Key> key;
  std::uint32_t parentAccess = 0;
  if (ErrorCode error = Resolve(parent, key, parentAccess)) return error;
  std::vector<std::string_view> parts;
  if (ErrorCode error = SplitPath(subKey, parts)) return error;
  std::string path;
  if (ErrorCode error = KeyPath(parent, path)) return error;
  for (auto part : parts) {
    key = FindChild(*key, part);
    if (!key) return win_error::FileNotFound;
    path += "\\" + key->name;
  }
  if (openCheck_)
    if (ErrorCode error = openCheck_(path, access)) return error;
  result = AddHandle(std::move(key), access, std::move(path));
  return win_error::Success;
}

ErrorCode MemoryRegistry::CreateKey(KeyHandle parent, std::string_view subKey, std::uint32_t access,
                                    KeyHandle& result, bool* created) {
  std::shared_ptr<Key> key;
  std::uint32_t parentAccess = 0;
  if (ErrorCode error = Resolve(parent, key, parentAccess)) return error;
  std::vector<std::string_view> parts;
  if (ErrorCode error = SplitPath(subKey, parts)) return error;
  std::string path;
  if (ErrorCode error = KeyPath(parent, path)) return error;
  bool madeOne = false;
  for (auto part : parts) {
    auto child = FindChild(*key, part);
    if (!child) {
      if (!(parentAccess & key_access::CreateSubKey)) return win_error::AccessDenied;
      child = std::make_shared<Key>();
      child->name = std::string(part);
      key->children.push_back(child);
      madeOne = true;
    }
    key = std::move(child);
    path += "\\" + key->name;
  }
  if (openCheck_)
    if (ErrorCode error = openCheck_(path, access)) return error;
  if (created) *created = madeOne;
  result = AddHandle(std::move(key), access, std::move(path));
  return win_error::Success;
}

ErrorCode MemoryRegistry::KeyAccess(KeyHandle key, std::uint32_t& access) {
  std::shared_ptr<Key> resolved;
  return Resolve(key, resolved, access);
}

ErrorCode MemoryRegistry::CloseKey(KeyHandle key) {
  if (roots_.count(key)) return win_error::Success;
  return handles_.erase(key) ? win_error::Success : win_error::InvalidHandle;
}

ErrorCode MemoryRegistry::QueryValue(KeyHandle key, std::string_view name, ValueType* type,
                                     std::vector<std::uint8_t>* data) {
  std::shared_ptr<Key> resolved;
  if (ErrorCode error = ResolveWith(key, key_access::QueryValue, resolved)) return error;
  const Value* value = FindValue(*resolved, name);
  if (!value) return win_error::FileNotFound;
  if (type) *type = value->type;
  if (data) *data = value->data;
  return win_error::Success;
}

ErrorCode MemoryRegistry::SetValue(KeyHandle key, std::string_view name, ValueType type,
                                   std::span<const std::uint8_t> data) {
  std::shared_ptr<Key> resolved;
  if (ErrorCode error = ResolveWith(key, key_access::SetValue, resolved)) return error;
  Value* value = FindValue(*resolved, name);
  if (!value) {
    resolved->values.push_back(Value{std::string(name), type, {}});
    value = &resolved->values.back();
  }
  value->type = type;
  value->data.assign(data.begin(), data.end());
  return win_error::Success;
}

ErrorCode MemoryRegistry::DeleteValue(KeyHandle key, std::string_view name) {
  std::shared_ptr<Key> resolved;
  if (ErrorCode error = ResolveWith(key, key_access::SetValue, resolved)) return error;
  auto& values = resolved->values;
  auto found = std::find_if(values.begin(), values.end(),
                            [&](const Value& value) { return SameName(value.name, name); });
  if (found == values.end()) return win_error::FileNotFound;
  values.erase(found);
  return win_error::Success;
}

ErrorCode MemoryRegistry::DeleteTree(KeyHandle parent, std::string_view subKey) {
  std::shared_ptr<Key> key;
  std::uint32_t access = 0;
  if (ErrorCode error = Resolve(parent, key, access)) return error;
  std::vector<std::string_view> parts;
  if (ErrorCode error = SplitPath(subKey, parts)) return error;
  if (parts.empty()) return win_error::InvalidParameter;  // never the key the handle names
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    key = FindChild(*key, parts[i]);
    if (!key) return win_error::FileNotFound;
  }
  auto& children = key->children;
  auto found = std::find_if(children.begin(), children.end(),
                            [&](const auto& child) { return SameName(child->name, parts.back()); });
  if (found == children.end()) return win_error::FileNotFound;
  std::string path;
  const bool named = deleteHandler_ && KeyPath(parent, path) == win_error::Success;
  MarkDeleted(**found);
  if (named) {
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
      path += "\\" + std::string(parts[i]);
    deleteHandler_(path + "\\" + (*found)->name);
  }
  children.erase(found);
  return win_error::Success;
}

ErrorCode MemoryRegistry::EnumKey(KeyHandle key, std::uint32_t index, std::string& name) {
  std::shared_ptr<Key> resolved;
  if (ErrorCode error = ResolveWith(key, key_access::EnumerateSubKeys, resolved)) return error;
  if (index >= resolved->children.size()) return win_error::NoMoreItems;
  name = resolved->children[index]->name;
  return win_error::Success;
}

ErrorCode MemoryRegistry::EnumValue(KeyHandle key, std::uint32_t index, std::string& name,
                                    ValueType* type, std::vector<std::uint8_t>* data) {
  std::shared_ptr<Key> resolved;
  if (ErrorCode error = ResolveWith(key, key_access::QueryValue, resolved)) return error;
  if (index >= resolved->values.size()) return win_error::NoMoreItems;
  const Value& value = resolved->values[index];
  name = value.name;
  if (type) *type = value.type;
  if (data) *data = value.data;
  return win_error::Success;
}

ErrorCode MemoryRegistry::Flush() {
  return flushHandler_ ? flushHandler_() : win_error::Success;
}

}  // namespace platform
