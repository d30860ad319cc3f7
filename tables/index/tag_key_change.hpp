#pragma once
// One record's entry moved in one tag, whatever the index kind: the old key out, the new key
// in, and in a unique tag the key the record gave up handed to the next record holding it.
// The tree editors of the kinds share no base; each offers Holds, Insert and Remove.
#include <cstdint>
#include <string>

#include "tables/index/index_tag.hpp"
#include "tables/index/record_change.hpp"
#include "tables/index/record_scan.hpp"

namespace tables {

// Whether the table's current record (number record) gets an entry in tag, its FOR holding,
// and its key; raises when the key expression gives no key.
bool XbEvaluateEntry(XBobjIndexTag& tag, std::int32_t record, std::string& key);

// Applies keys to the tree editor's tag for record; whether an entry moved. entryKey gives
// any record's entry key, for the heir of a unique key.
template <typename Editor>
bool XbApplyTagKeyChange(Editor& editor, XBobjIndexTag& tag, XBO_dBaseFld& table,
                         const XbTagKeyChange& keys, std::int32_t record,
                         const XbEntryKey& entryKey) {
  if (keys.oldIn && keys.newIn && keys.oldKey == keys.newKey) {
    return !editor.Holds(keys.newKey, record) && editor.Insert(keys.newKey, record);
  }
  const bool removed = keys.oldIn && editor.Remove(keys.oldKey, record);
  const bool inserted = keys.newIn && editor.Insert(keys.newKey, record);
  if (removed && tag.unique()) {
    // The key this record held may be another record's too, left out while this one had it.
    const std::int32_t heir = XbRecordHolding(table, entryKey, keys.oldKey, record);
    if (heir != 0) editor.Insert(keys.oldKey, heir);
  }
  return removed || inserted;
}

}  // namespace tables
