// The byte ranges each lock protocol holds, read back from the kernel's lock list: the host
// layer takes open-file-description locks, listed as OFDLCK lines of the file's inode.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_table.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

using Range = std::pair<std::uint64_t, std::uint64_t>;  // first and last byte

std::set<Range> HeldRanges(const std::filesystem::path& file) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) return {};
  const std::string inode = ":" + std::to_string(info.st_ino);
  std::set<Range> ranges;
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string id, kind, advisory, mode, pid, device, start, end;
    fields >> id >> kind >> advisory >> mode >> pid >> device >> start >> end;
    if (kind != "OFDLCK" || device.size() < inode.size() ||
        device.compare(device.size() - inode.size(), inode.size(), inode) != 0) {
      continue;
    }
    ranges.insert({std::stoull(start), end == "EOF" ? UINT64_MAX : std::stoull(end)});
  }
  return ranges;
}

struct ProtocolRanges {
  TxbLokProtocol protocol;
  Range record3, record3Indexed, header, wholeTable, wholeTableFromZero, memo, index;
};

// Header length 65 and record length 11 (one C field of 10).
const ProtocolRanges kExpected[] = {
    {TxbLokProtocol::Default,
     {0x40000057, 0x40000057},
     {0x7FFFFFFB, 0x7FFFFFFB},
     {0x7FFFFFFE, 0x7FFFFFFE},
     {0x40000000, 0x7FFFFFFE},
     {0, 0x3FFFFFFE},
     {0x7FFFFFFD, 0x7FFFFFFD},
     {0x7FFFFFFD, 0x7FFFFFFD}},
    {TxbLokProtocol::FoxLock,
     {0x40000057, 0x40000057},
     {0x7FFFFFFB, 0x7FFFFFFB},
     {0x7FFFFFFE, 0x7FFFFFFE},
     {0x40000000, 0x7FFFFFFE},
     {0, 0x3FFFFFFE},
     {0x7FFFFFFD, 0x7FFFFFFD},
     {0x7FFFFFFD, 0x7FFFFFFD}},
    {TxbLokProtocol::DB4Lock,
     {0xEFFFFFFB, 0xEFFFFFFB},
     {0xEFFFFFFB, 0xEFFFFFFB},
     {0xEFFFFFFF, 0xEFFFFFFF},
     {0x40000000, 0xEFFFFFFF},
     {0, 0xAFFFFFFF},
     {0xEFFFFFFE, 0xEFFFFFFF},
     {0xEFFFFFFE, 0xEFFFFFFF}},
    {TxbLokProtocol::ClipLock,
     {1000000003, 1000000003},
     {1000000003, 1000000003},
     {1000000000, 1000000000},
     {1000000000, 1999999999},
     {0, 999999999},
     {1000000000, 1000000000},
     {1000000000, 1000000000}},
};

class LockRangesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateTable(Path("LOCKS"), 0x83, {{"NAME", 'C', 10, 0}});
    machine.WriteBytes(Path("LOCKS.CDX"), std::vector<std::uint8_t>(512, 0));
  }

  // The ranges lock() adds to the file's list, which unlock() removes again.
  template <typename Lock, typename Unlock>
  std::set<Range> RangesOf(const std::string& file, Lock lock, Unlock unlock) {
    const std::filesystem::path host = machine.HostPath(file);
    const std::set<Range> before = HeldRanges(host);
    EXPECT_TRUE(lock());
    std::set<Range> added;
    for (const Range& range : HeldRanges(host)) {
      if (!before.contains(range)) added.insert(range);
    }
    EXPECT_TRUE(unlock());
    EXPECT_EQ(HeldRanges(host), before);
    return added;
  }

  static std::string Path(std::string_view name) { return testing::StorageTestMachine::Path(name); }

  testing::StorageTestMachine machine;
};

TEST_F(LockRangesTest, EveryProtocolLocksItsBytes) {
  for (const ProtocolRanges& expected : kExpected) {
    SCOPED_TRACE(static_cast<int>(expected.protocol));
    XBO_dBaseDBF table(Path("LOCKS"), true, true, "");
    table.SetLockProtocol(expected.protocol);
    XBO_DiskFile index;
    index.Open(Path("LOCKS.CDX"), true, true);
    const std::string dbf = Path("LOCKS.DBF");
    auto unlock = [&] { return table.Unlock(); };

    EXPECT_EQ(RangesOf(
                  dbf, [&] { return table.LockRecord(3); }, unlock),
              std::set<Range>{expected.record3});
    table.SetIndexFilesOpen(true);
    EXPECT_EQ(RangesOf(
                  dbf, [&] { return table.LockRecord(3); }, unlock),
              std::set<Range>{expected.record3Indexed});
    EXPECT_EQ(RangesOf(
                  dbf, [&] { return table.LockHeader(); }, unlock),
              std::set<Range>{expected.header});
    EXPECT_EQ(RangesOf(
                  dbf, [&] { return table.LockFile(); }, unlock),
              std::set<Range>{expected.wholeTable});
    EXPECT_EQ(RangesOf(
                  dbf, [&] { return table.LockTable(XbLockKind::WholeTableFromZero); }, unlock),
              std::set<Range>{expected.wholeTableFromZero});

    XBobjMemo& memo = table.MemoFile();
    const XbLockRegion memoRegion =
        XbLockRegionFor(expected.protocol, XbLockKind::Memo, 0, 0, 0, false);
    EXPECT_EQ(RangesOf(
                  Path("LOCKS.DBT"),
                  [&] { return memo.LockRegion(memoRegion.offset, memoRegion.length); },
                  [&] { return memo.Unlock(); }),
              std::set<Range>{expected.memo});
    const XbLockRegion indexRegion =
        XbLockRegionFor(expected.protocol, XbLockKind::Index, 0, 0, 0, true);
    EXPECT_EQ(RangesOf(
                  Path("LOCKS.CDX"),
                  [&] { return index.LockRegion(indexRegion.offset, indexRegion.length); },
                  [&] { return index.Unlock(); }),
              std::set<Range>{expected.index});
  }
}

}  // namespace
}  // namespace tables
