#pragma once
// XBobjNodeSearch: what a search through a tag's tree looks for and where it stops in a node,
// so that a format can search its pages without decoding every entry.
#include <cstdint>
#include <string_view>

#include "tables/index/cdx_key.hpp"

namespace tables {

struct XBobjNodeSearch {
  std::string_view probe;
  std::int32_t record = -1;  // the record number sought, or -1 for any
  bool prefixMatches = false;
  bool storedDescending = false;
  bool stopAfterEqual = false;  // stop at the first greater entry rather than the first equal one

  // Compares the probe with an entry: -1 smaller, 0 equal, 1 greater.
  int Order(std::string_view key, std::int32_t entryRecord) const {
    int result = CdxCompareKeys(probe, key);
    if (result < 0 && prefixMatches && probe.size() < key.size() &&
        key.substr(0, probe.size()) == probe) {
      result = 0;
    }
    if (storedDescending) result = -result;
    if (result == 0 && record != -1 && record != entryRecord) {
      result = record < entryRecord ? -1 : 1;
    }
    return result;
  }
  // True when the search stops at an entry ordered so.
  bool StopsAt(int order) const { return stopAfterEqual ? order < 0 : order <= 0; }
};

}  // namespace tables
