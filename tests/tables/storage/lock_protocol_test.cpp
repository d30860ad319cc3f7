#include "tables/storage/lock_protocol.hpp"

#include <gtest/gtest.h>

namespace tables {
namespace {

using enum XbLockKind;
using P = TxbLokProtocol;

struct Case {
  P protocol;
  XbLockKind kind;
  bool indexOpen;
  XbLockRegion expected;
};

// Record 3 of a table with header length 162 and record length 40.
constexpr Case kCases[] = {
    {P::Default, Record, false, {0x400000F2, 1}},
    {P::Default, Record, true, {0x7FFFFFFB, 1}},
    {P::FoxLock, Record, false, {0x400000F2, 1}},
    {P::FoxLock, Record, true, {0x7FFFFFFB, 1}},
    {P::DB4Lock, Record, false, {0xEFFFFFFB, 1}},
    {P::DB4Lock, Record, true, {0xEFFFFFFB, 1}},
    {P::ClipLock, Record, false, {1000000003, 1}},
    {P::Default, Header, false, {0x7FFFFFFE, 1}},
    {P::FoxLock, Header, false, {0x7FFFFFFE, 1}},
    {P::DB4Lock, Header, false, {0xEFFFFFFF, 1}},
    {P::ClipLock, Header, false, {1000000000, 1}},
    {P::Default, WholeTable, false, {0x40000000, 0x3FFFFFFF}},
    {P::DB4Lock, WholeTable, false, {0x40000000, 0xB0000000}},
    {P::ClipLock, WholeTable, false, {1000000000, 1000000000}},
    {P::FoxLock, WholeTableFromZero, false, {0, 0x3FFFFFFF}},
    {P::DB4Lock, WholeTableFromZero, false, {0, 0xB0000000}},
    {P::ClipLock, WholeTableFromZero, false, {0, 1000000000}},
    {P::Default, Memo, false, {0x7FFFFFFD, 1}},
    {P::Default, Index, true, {0x7FFFFFFD, 1}},
    {P::DB4Lock, Memo, false, {0xEFFFFFFE, 2}},
    {P::DB4Lock, Index, false, {0xEFFFFFFE, 2}},
    {P::ClipLock, Memo, false, {1000000000, 1}},
    {P::ClipLock, Index, false, {1000000000, 1}},
};

TEST(XbLockRegionFor, PlacesEveryLockOfEveryProtocol) {
  for (const Case& c : kCases) {
    const XbLockRegion region = XbLockRegionFor(c.protocol, c.kind, 3, 162, 40, c.indexOpen);
    EXPECT_EQ(region.offset, c.expected.offset)
        << static_cast<int>(c.protocol) << "/" << static_cast<int>(c.kind);
    EXPECT_EQ(region.length, c.expected.length)
        << static_cast<int>(c.protocol) << "/" << static_cast<int>(c.kind);
  }
}

TEST(XbLockRegionFor, RecordLocksWithoutIndexFollowTheRecordOffsets) {
  EXPECT_EQ(XbLockRegionFor(P::Default, Record, 1, 162, 40, false).offset, 0x400000A2u);
  EXPECT_EQ(XbLockRegionFor(P::Default, Record, 100000, 162, 40, false).offset,
            0x40000000u + 162u + 99999u * 40u);
}

}  // namespace
}  // namespace tables
