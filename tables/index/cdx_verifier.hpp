#pragma once
// The check of a compound index file against its table: for the directory and every tag, the
// tree level by level (sibling chains, interior keys against the last key of their children,
// no page reached twice, one depth for every leaf), the key order (equal keys by record
// number, unique tags without equal keys), walks forwards and backwards that meet every entry
// in order, and the entries against the table (every key equals the key expression on its
// record; every record whose FOR holds has exactly one entry, or one per distinct key in a
// unique tag).
#include <cstdint>
#include <string>
#include <vector>

#include "tables/index/cdx_file.hpp"

namespace tables {

struct XbIndexFault {
  std::string tag;         // "(directory)" for the tag directory
  std::int64_t page = -1;  // the page offset concerned; -1 when no one page is
  std::string description;
};

struct XbTagCheck {
  std::string tag;
  std::int64_t keys = 0;  // entries found in the tree
};

struct XbIndexCheck {
  std::vector<XbIndexFault> faults;
  std::vector<XbTagCheck> tags;
  bool clean() const { return faults.empty(); }
};

// Checks the open file; reads every record of its table (the table's current record changes).
XbIndexCheck XbVerifyCdx(XBobjCDXFile& file);

}  // namespace tables
