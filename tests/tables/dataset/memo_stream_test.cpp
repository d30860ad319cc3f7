#include <gtest/gtest.h>

#include "tables/storage/dbf_fields.hpp"
#include "tests/tables/dataset/dataset_test_table.hpp"

namespace tables::testing {
namespace {

struct MemoKind {
  std::uint8_t version;
  const char* memoFile;
};

class MemoStreamTest : public DataSetTest, public ::testing::WithParamInterface<MemoKind> {
 protected:
  void SetUp() override {
    MakeDataSetTable(sim.machine(), StorageTestMachine::Path("NOTES.DBF"), GetParam().version,
                     {{"NAME", 'C', 8}, {"NOTE", 'M', 10}}, {{{"A", "first memo"}}, {{"B", ""}}});
    notes = std::make_unique<TXbaseDataSet>(sim.machine(), "Notes");
    notes->SetTableName(StorageTestMachine::Path("NOTES.DBF"));
    notes->Open();
  }
  std::vector<std::uint8_t> MemoBytes() {
    return sim.ReadBytes(StorageTestMachine::Path(GetParam().memoFile));
  }
  std::string StoredMemo(std::int32_t n) {
    XBO_dBaseFld table(sim.machine(), StorageTestMachine::Path("NOTES.DBF"), true, false, "");
    table.ReadRecord(n);
    return table.GetMemoText("NOTE");
  }
  void WriteThroughStream(const std::string& text) {
    auto stream = notes->CreateBlobStream(notes->FieldByName("NOTE"), db::BlobStreamMode::Write);
    stream->Write(text.data(), text.size());
  }

  std::unique_ptr<TXbaseDataSet> notes;
};

TEST_P(MemoStreamTest, StreamEditFollowedByCancelLeavesTheMemoFileAsItWas) {
  const std::vector<std::uint8_t> before = MemoBytes();
  notes->Edit();
  WriteThroughStream("a much longer replacement that needs more room than the first memo had");
  EXPECT_EQ(notes->FieldByName("NOTE").AsString(),
            "a much longer replacement that needs more room than the first memo had");
  notes->Cancel();
  EXPECT_EQ(MemoBytes(), before);
  EXPECT_EQ(notes->FieldByName("NOTE").AsString(), "first memo");
  EXPECT_EQ(StoredMemo(1), "first memo");
}

TEST_P(MemoStreamTest, StreamEditIsStoredAtPost) {
  notes->Edit();
  WriteThroughStream("second");
  EXPECT_EQ(StoredMemo(1), "first memo");
  notes->Post();
  EXPECT_EQ(StoredMemo(1), "second");
  EXPECT_EQ(notes->FieldByName("NOTE").AsString(), "second");

  notes->Next();
  EXPECT_TRUE(notes->FieldByName("NOTE").IsNull());
  notes->Edit();
  notes->FieldByName("NOTE").SetAsString("new one");
  notes->Post();
  EXPECT_EQ(StoredMemo(2), "new one");
  EXPECT_EQ(StoredMemo(1), "second");
}

TEST_P(MemoStreamTest, AppendedRecordGetsItsMemoAndReadStreamsSeeTheStoredText) {
  notes->Append();
  notes->FieldByName("NAME").SetAsString("C");
  WriteThroughStream("appended");
  notes->Post();
  EXPECT_EQ(StoredMemo(3), "appended");
  auto stream = notes->CreateBlobStream(notes->FieldByName("NOTE"), db::BlobStreamMode::Read);
  char head[4] = {};
  EXPECT_EQ(stream->Read(head, sizeof head), 4u);
  EXPECT_EQ(std::string(head, 4), "appe");
  stream->Seek(-2, db::SeekOrigin::End);
  EXPECT_EQ(stream->Read(head, sizeof head), 2u);
  EXPECT_EQ(MessageOf([&] { stream->Seek(-1, db::SeekOrigin::Begin); }),
            "Stream position before its start");
}

TEST_P(MemoStreamTest, WritingStreamsNeedEditState) {
  EXPECT_EQ(MessageOf([&] { WriteThroughStream("x"); }),
            "Notes: Dataset not in edit or insert mode");
  notes->Edit();
  auto stream = notes->CreateBlobStream(notes->FieldByName("NOTE"), db::BlobStreamMode::Write);
  notes->Cancel();
  stream->Write("x", 1);
  EXPECT_EQ(MessageOf([&] { stream->Commit(); }), "Notes: Dataset not in edit or insert mode");
  stream.reset();
  EXPECT_EQ(StoredMemo(1), "first memo");
}

INSTANTIATE_TEST_SUITE_P(EveryMemoKind, MemoStreamTest,
                         ::testing::Values(MemoKind{0x83, "NOTES.DBT"}, MemoKind{0x8B, "NOTES.DBT"},
                                           MemoKind{0xF5, "NOTES.FPT"}));

}  // namespace
}  // namespace tables::testing
