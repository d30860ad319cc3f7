#pragma once
// The checks every index verifier makes once it has read a tag's tree: that walking the tag
// meets the tree's entries in order, both ways, and that the entries agree with the table.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tables/index/index_tag.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace tables {

// One entry of a tree as a verifier read it, with the page it was found on.
struct XbVerifiedEntry {
  std::string key;
  std::int32_t record = 0;
  std::uint32_t page = 0;
  friend bool operator==(const XbVerifiedEntry& a, const XbVerifiedEntry& b) {
    return a.key == b.key && a.record == b.record;
  }
};

// Reports a fault: the page concerned (-1: no one page) and what is wrong.
using XbFaultReport = std::function<void(std::int64_t page, std::string description)>;

// Walks the tag forwards and backwards; each walk must meet stored (the tree's entries in
// stored order) in the tag's order.
void XbCheckWalks(XBobjIndexTag& tag, const std::vector<XbVerifiedEntry>& stored,
                  const XbFaultReport& fault);

// Evaluates recordKey (false: the record gets no entry) on every record of table and checks the
// entries against it: every key equals its record's, every record that gets an entry has
// exactly one (one per distinct key in a unique tag). The table's current record changes.
void XbCheckEntriesAgainstTable(XBO_dBaseFld& table,
                                const std::function<bool(std::string&)>& recordKey, bool unique,
                                const std::vector<XbVerifiedEntry>& entries,
                                const XbFaultReport& fault);

}  // namespace tables
