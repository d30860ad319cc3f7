#include "winsec/sid_store.hpp"

#include <algorithm>

namespace winsec {
namespace {

bool Before(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  if (a.size() != b.size()) return a.size() < b.size();
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace

TSidStore& TSidStore::Instance() {
  static TSidStore store;
  return store;
}

const TSidHolder* TSidStore::Find(std::span<const std::uint8_t> sid) const {
  const auto at = std::lower_bound(entries_.begin(), entries_.end(), sid,
                                   [](const TSidHolder& entry, std::span<const std::uint8_t> key) {
                                     return Before(entry.sid, key);
                                   });
  if (at == entries_.end() || Before(sid, at->sid)) return nullptr;
  return &*at;
}

void TSidStore::Add(std::span<const std::uint8_t> sid, std::string name, std::string domain) {
  if (Find(sid)) return;
  const auto at = std::lower_bound(entries_.begin(), entries_.end(), sid,
                                   [](const TSidHolder& entry, std::span<const std::uint8_t> key) {
                                     return Before(entry.sid, key);
                                   });
  entries_.insert(at, TSidHolder{{sid.begin(), sid.end()}, std::move(name), std::move(domain)});
}

}  // namespace winsec
