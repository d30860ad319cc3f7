#include "tables/storage/lock_protocol.hpp"

#include <gtest/gtest.h>

namespace tables {
namespace {

using enum XbLockKind;
using P = TxbLokProtocol;

// Every region of every protocol is checked against the kernel's lock list in
// lock_ranges_test.cpp; here the record locks of a table with header length 162 and record
// length 40.
TEST(XbLockRegionFor, RecordLocksOfEveryProtocol) {
  EXPECT_EQ(XbLockRegionFor(P::Default, Record, 3, 162, 40, false), (XbLockRegion{0x400000F2, 1}));
  EXPECT_EQ(XbLockRegionFor(P::Default, Record, 3, 162, 40, true), (XbLockRegion{0x7FFFFFFB, 1}));
  EXPECT_EQ(XbLockRegionFor(P::FoxLock, Record, 3, 162, 40, false), (XbLockRegion{0x400000F2, 1}));
  EXPECT_EQ(XbLockRegionFor(P::DB4Lock, Record, 3, 162, 40, false), (XbLockRegion{0xEFFFFFFB, 1}));
  EXPECT_EQ(XbLockRegionFor(P::ClipLock, Record, 3, 162, 40, true), (XbLockRegion{1000000003, 1}));
  EXPECT_EQ(XbLockRegionFor(P::Default, Record, 100000, 162, 40, false).offset,
            0x40000000u + 162u + 99999u * 40u);
}

}  // namespace
}  // namespace tables
