#include "tables/index/index_entry_checks.hpp"

#include <algorithm>
#include <optional>
#include <set>

#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// The entries met by walking the tag one way; nothing when the walk failed.
std::optional<std::vector<XbVerifiedEntry>> Walk(XBobjIndexTag& tag, bool forwards,
                                                 std::size_t most, const XbFaultReport& fault) {
  std::vector<XbVerifiedEntry> met;
  try {
    tag.Move(forwards ? xb_move::First : xb_move::Last);
    for (const XBobjIndexKeyData* entry = tag.current(); entry; entry = tag.current()) {
      if (met.size() > most) break;
      met.push_back({entry->key, entry->record, 0});
      tag.Move(forwards ? xb_move::Next : xb_move::Previous);
    }
  } catch (const EXbaseError& error) {
    fault(-1, std::string(forwards ? "forward" : "backward") + " walk: " + error.what());
    return std::nullopt;
  }
  return met;
}

void CheckMissing(const std::vector<std::optional<std::string>>& expected,
                  const std::vector<int>& seen, bool unique,
                  const std::vector<XbVerifiedEntry>& entries, const XbFaultReport& fault) {
  if (!unique) {
    for (std::size_t n = 1; n < expected.size(); ++n) {
      if (expected[n] && seen[n] == 0) fault(-1, "record " + std::to_string(n) + " has no entry");
    }
    return;
  }
  std::set<std::string> present;
  for (const XbVerifiedEntry& entry : entries)
    present.insert(entry.key);
  for (std::size_t n = 1; n < expected.size(); ++n) {
    if (expected[n] && present.insert(*expected[n]).second) {
      fault(-1, "the key of record " + std::to_string(n) + " has no entry");
    }
  }
}

}  // namespace

void XbCheckWalks(XBobjIndexTag& tag, const std::vector<XbVerifiedEntry>& stored,
                  const XbFaultReport& fault) {
  std::vector<XbVerifiedEntry> inOrder = stored;
  if (tag.descending()) std::reverse(inOrder.begin(), inOrder.end());
  const auto differs = [&](const char* way, const std::vector<XbVerifiedEntry>& met) {
    fault(-1, std::string("the ") + way + " walk meets " + std::to_string(met.size()) +
                  " entries, not the " + std::to_string(inOrder.size()) + " of the tree in order");
  };
  if (const auto forward = Walk(tag, true, stored.size(), fault); forward && *forward != inOrder)
    differs("forward", *forward);
  std::reverse(inOrder.begin(), inOrder.end());
  if (const auto backward = Walk(tag, false, stored.size(), fault);
      backward && *backward != inOrder)
    differs("backward", *backward);
}

void XbCheckEntriesAgainstTable(XBO_dBaseFld& table,
                                const std::function<bool(std::string&)>& recordKey, bool unique,
                                const std::vector<XbVerifiedEntry>& entries,
                                const XbFaultReport& fault) {
  const std::int32_t count = table.recordCount();
  std::vector<std::optional<std::string>> expected(static_cast<std::size_t>(count) + 1);
  try {
    for (std::int32_t n = 1; n <= count; ++n) {
      table.ReadRecord(n);
      std::string key;
      if (recordKey(key)) expected[static_cast<std::size_t>(n)] = key;
    }
  } catch (const std::exception& error) {
    fault(-1, std::string("evaluating the expressions: ") + error.what());
    return;
  }
  std::vector<int> seen(static_cast<std::size_t>(count) + 1, 0);
  for (const XbVerifiedEntry& entry : entries) {
    const std::string record = "record " + std::to_string(entry.record);
    if (entry.record < 1 || entry.record > count) {
      fault(entry.page, record + " is not in the table");
      continue;
    }
    const auto& key = expected[static_cast<std::size_t>(entry.record)];
    if (!key) {
      fault(entry.page, record + " has an entry though its FOR condition does not hold");
    } else if (*key != entry.key) {
      fault(entry.page, "the key of " + record + " is not its key expression's value");
    }
    if (++seen[static_cast<std::size_t>(entry.record)] == 2) {
      fault(entry.page, record + " has more than one entry");
    }
  }
  CheckMissing(expected, seen, unique, entries, fault);
}

}  // namespace tables
