// Changing a table's key: records, memos, descriptor area, header byte and open index files
// follow; the round trip back to plain gives the bytes it started from; refusals write nothing.
#include <gtest/gtest.h>

#include "tables/index/cdx_file.hpp"
#include "tables/storage/dbf_format.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/support/failing_machine.hpp"
#include "tests/tables/handler/handler_test_table.hpp"
#include "tests/tables/storage/engine_error_of.hpp"

namespace tables::testing {
namespace {

class ChangeKey : public HandlerTest {
 protected:
  void SetUp() override {
    MakeHandlerTable(sim.machine(),
                     {{"ONE", 1, false, "first memo"},
                      {"TWO", 2, true, ""},
                      {"THREE", 3, true, std::string(700, 'x')},
                      {"FOUR", 4, false, "fourth"}},
                     true);
  }
  std::vector<std::uint8_t> Bytes(const std::string& name) {
    return sim.ReadBytes(StorageTestMachine::Path(name));
  }
  // The table file without the header's date and update stamp, which every write renews.
  std::vector<std::uint8_t> TableContent() {
    auto bytes = Bytes("T.DBF");
    std::fill(bytes.begin() + xb_header::UpdateDate, bytes.begin() + xb_header::UpdateDate + 3, 0);
    std::fill(bytes.begin() + xb_header::UpdateStamp, bytes.begin() + xb_header::UpdateStamp + 4,
              0);
    return bytes;
  }
  std::vector<std::string> Contents(const std::string& key) {
    DBFObject table(sim.machine(), StorageTestMachine::Path("T.DBF"), true, false, key);
    std::vector<std::string> contents;
    for (std::int32_t n = 1; n <= table.recordCount(); ++n) {
      table.GoRecord(n);
      contents.push_back(table.GetFieldDisplay("NAME") + (table.RecordDeleted() ? "*" : " ") +
                         table.GetMemoText("NOTE"));
    }
    return contents;
  }
};

TEST_F(ChangeKey, PlainToKeyToAnotherKeyAndBackGivesTheSameBytes) {
  const auto plainTable = TableContent();
  const auto plainContents = Contents("");
  auto table = Open();
  table->GoRecord(3);
  table->ChangeKey("K");
  EXPECT_EQ(Bytes("T.DBF")[xb_header::Encrypted], 1);
  EXPECT_EQ(table->position(), 3);
  EXPECT_EQ(table->workState(), xb_work::Browsing);
  table->ChangeKey("SECOND");
  table->Close();
  EXPECT_EQ(Contents("SECOND"), plainContents);
  EXPECT_THROW(Contents(""), EXbaseEncryption);
  EXPECT_THROW(Contents("K"), EXbaseEncryption);
  table = Open(false, "SECOND");
  table->ChangeKey("");
  EXPECT_EQ(Bytes("T.DBF")[xb_header::Encrypted], 0);
  table->Close();
  EXPECT_EQ(TableContent(), plainTable);
  EXPECT_EQ(Contents(""), plainContents);
}

TEST_F(ChangeKey, TheSameKeyOrPlainToPlainChangesNothing) {
  const auto before = Bytes("T.DBF");
  auto table = Open();
  table->ChangeKey("");
  EXPECT_EQ(Bytes("T.DBF"), before);
}

TEST_F(ChangeKey, ASharedOrReadOnlyTableIsRefusedBeforeAnythingIsWritten) {
  const auto before = Bytes("T.DBF");
  const auto memo = Bytes("T.FPT");
  auto shared = Open(true);
  const auto error = ErrorOf([&] { shared->ChangeKey("K"); });
  EXPECT_EQ(error.second, xb_sub::KeyChangeShared);
  shared->Close();
  DBFObject readOnly(sim.machine(), StorageTestMachine::Path("T.DBF"), false, false, "");
  EXPECT_EQ(ErrorOf([&] { readOnly.ChangeKey("K"); }).second, xb_sub::KeyChangeShared);
  EXPECT_EQ(Bytes("T.DBF"), before);
  EXPECT_EQ(Bytes("T.FPT"), memo);
}

TEST_F(ChangeKey, OpenIndexFilesAreEncipheredWithTheTable) {
  auto table = Open();
  table->CreateIndexTag("T.CDX", "NAME", "NAME", "", true, 0);
  table->ChangeKey("K");
  table->Close();
  DBFObject reopened(sim.machine(), StorageTestMachine::Path("T.DBF"), false, false, "K");
  reopened.OpenIndexes("T.CDX", "NAME");
  EXPECT_EQ(Visit(reopened), (std::vector<std::int32_t>{4, 1, 3, 2}));
  EXPECT_TRUE(reopened.Seek("THREE"));
  EXPECT_EQ(reopened.position(), 3);
}

TEST_F(ChangeKey, AFailurePartWayReportsTheLastRecordConverted) {
  const auto table = Bytes("T.DBF");
  const auto memo = Bytes("T.FPT");
  int reported = 0;
  for (std::uint64_t failing = 1; failing <= 12; ++failing) {
    sim.WriteBytes(StorageTestMachine::Path("T.DBF"), table);
    sim.WriteBytes(StorageTestMachine::Path("T.FPT"), memo);
    platform::testing::FailingMachine failing_machine(sim.machine());
    DBFObject handler(failing_machine, StorageTestMachine::Path("T.DBF"), false, true, "");
    failing_machine.failingFiles().FailCallOf(platform::testing::FileCall::Write, failing);
    try {
      handler.ChangeKey("K");
    } catch (const EXbaseError& error) {
      const std::string message = error.what();
      const auto at = message.find("the key change stopped after record ");
      if (at != std::string::npos) {
        ++reported;
        const int last = std::stoi(message.substr(at + 36));
        EXPECT_NE(message.find("records 1 to " + std::to_string(last) + " carry the new key"),
                  std::string::npos)
            << message;
      }
      EXPECT_NE(error.code(), 0) << message;
    }
    failing_machine.failingFiles().Heal();
    EXPECT_EQ(handler.workState(), xb_work::Browsing);
    EXPECT_EQ(handler.lockCount(), 0);
  }
  EXPECT_GT(reported, 3);
}

}  // namespace
}  // namespace tables::testing
