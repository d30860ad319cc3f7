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
    return WithRecord(result, entryRecord);
  }
  // Order for a text key still padded with blanks to the key length (at least probe's length).
  int OrderPadded(std::string_view padded, std::int32_t entryRecord) const {
    return WithRecord(CdxComparePadded(probe, padded, prefixMatches), entryRecord);
  }
  // True when the search stops at an entry ordered so.
  bool StopsAt(int order) const { return stopAfterEqual ? order < 0 : order <= 0; }

 private:
  // The order of the keys made that of the stored direction, equal keys ordered by record.
  int WithRecord(int result, std::int32_t entryRecord) const {
    if (storedDescending) result = -result;
    if (result == 0 && record != -1 && record != entryRecord) {
      result = record < entryRecord ? -1 : 1;
    }
    return result;
  }
};

}  // namespace tables
