#pragma once
// Keeping the tags of NDX and MDX files current: the keys of a record change evaluated on the new
// and the stored image before the record is written, and each tag's entries moved afterwards by
// the tree editor over the format's nodes.
#include <cstdint>

#include "tables/index/family_tag.hpp"
#include "tables/index/family_tree_editor.hpp"
#include "tables/index/record_change.hpp"

namespace tables {

// Evaluates every tag's keys for record: the new ones on the table's record image, the old ones
// on previousImage (nullptr for an appended record). An expression that fails raises.
XbRecordChange XbPrepareFamilyChange(XBobjIndexFile& file, std::int32_t record,
                                     const std::uint8_t* previousImage);

// Raises unless the file can take change: writable, locked when shared, one key change per tag
// and a record number.
void XbCheckFamilyChange(XBobjIndexFile& file, const XbRecordChange& change);

// Moves the tag's entry for record as keys says (a unique tag that gives up a key takes the
// next record holding it); true when the tag changed.
bool XbApplyFamilyTagChange(XBobjFamilyTag& tag, XbFamilyNodeFormat& format,
                            const XbTagKeyChange& keys, std::int32_t record);

}  // namespace tables
