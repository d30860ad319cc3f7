#pragma once
// TSidStore: the process-wide cache of SID to account name and domain, kept sorted by SID
// length, then by its bytes (unsigned). Entries are never removed; machines are not told apart.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace winsec {

struct TSidHolder {
  std::vector<std::uint8_t> sid;
  std::string name;
  std::string domain;
};

class TSidStore {
 public:
  // The one store of the process.
  static TSidStore& Instance();

  const TSidHolder* Find(std::span<const std::uint8_t> sid) const;
  // Adds an entry; a SID already there keeps its first names.
  void Add(std::span<const std::uint8_t> sid, std::string name, std::string domain);
  std::size_t Count() const { return entries_.size(); }
  void Clear() { entries_.clear(); }  // for tests that need a fresh cache

 private:
  std::vector<TSidHolder> entries_;
};

}  // namespace winsec
