#pragma once
// Where the engine's byte-range locks lie. Programs that share a table exclude each other only
// when they use the same protocol; every lock the engine takes is placed by XbLockRegionFor.
#include <cstdint>

namespace tables {

enum class TxbLokProtocol : int { Default = 0, DB4Lock = 1, ClipLock = 2, FoxLock = 3 };

enum class XbLockKind {
  Record,              // one record, while it is edited
  Header,              // the table header, around an append
  WholeTable,          // the whole table
  WholeTableFromZero,  // the whole table, counted from offset 0
  Memo,                // a memo file, while a memo is written
  Index,               // an index file, while it is changed
};

struct XbLockRegion {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  friend bool operator==(const XbLockRegion&, const XbLockRegion&) = default;
};

// The region of one lock. recordNumber counts from 1 and matters only for Record locks, as do
// headerLength, recordLength and indexOpen (whether the table has an index file open, which
// moves Default and FoxLock record locks).
XbLockRegion XbLockRegionFor(TxbLokProtocol protocol, XbLockKind kind, std::int32_t recordNumber,
                             std::uint32_t headerLength, std::uint32_t recordLength,
                             bool indexOpen);

}  // namespace tables
