#pragma once
// The check of an NDX, NTX or MDX file against its table, tag by tag: the tree (every node
// readable, no node reached twice, in MDX not even by two tags, every leaf at one depth, the
// keys below an interior entry within its bounds), the key order (unique tags without equal
// keys), walks forwards and backwards that meet every entry in order, and the entries against
// the table (every key equals the key expression on its record; every record whose FOR holds
// has exactly one entry, or one per distinct key in a unique tag). Faults name the tag and
// the byte offset of the node.
#include "tables/index/cdx_verifier.hpp"
#include "tables/index/index_file.hpp"

namespace tables {

// Checks the open file; reads every record of its table (the table's current record changes).
XbIndexCheck XbVerifyIndexFamily(XBobjIndexFile& file);

}  // namespace tables
