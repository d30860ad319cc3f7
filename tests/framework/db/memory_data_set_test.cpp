#include "framework/db/memory_data_set.hpp"

#include <gtest/gtest.h>

#include "tests/framework/db/users_fixture.hpp"

namespace {

using db::DataSetState;
using db::FieldType;
using db_test::ErrorText;
using Strings = std::vector<std::string>;

class MemoryDataSetTest : public db_test::UsersTest {};

TEST_F(MemoryDataSetTest, WalksRecordsWithEofAndBof) {
  EXPECT_EQ(Names(), (Strings{"PARENT", "GUEST", "KID"}));
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(Name(), "KID");  // running past the end stays on the last record
  table.Last();
  EXPECT_EQ(table.RecNo(), 3);
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.MoveBy(-5), -2);
  EXPECT_TRUE(table.Bof());
  EXPECT_EQ(Name(), "PARENT");
  EXPECT_EQ(table.MoveBy(2), 2);
  EXPECT_EQ(Name(), "KID");
  EXPECT_FALSE(table.Bof());
  table.SetRecNo(2);
  EXPECT_EQ(Name(), "GUEST");
  EXPECT_EQ(ErrorText([&] { table.SetRecNo(9); }), "Record 9 not found");
  EXPECT_EQ(Name(), "GUEST");
}

TEST_F(MemoryDataSetTest, EmptyDatasetIsAtBothEndsAndReadsNull) {
  db::MemoryDataSet empty{{{"UserName", FieldType::String, 10}}};
  empty.Open();
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_TRUE(empty.Eof());
  EXPECT_TRUE(empty.Bof());
  EXPECT_TRUE(empty.FieldByName("UserName").IsNull());
  EXPECT_EQ(empty.RecNo(), 0);
  EXPECT_EQ(empty.MoveBy(1), 0);
  EXPECT_EQ(ErrorText([&] { empty.Delete(); }),
            "Cannot perform this operation on an empty dataset");
}

TEST_F(MemoryDataSetTest, EditOnAnEmptyDatasetInserts) {
  db::MemoryDataSet empty{{{"UserName", FieldType::String, 10}}};
  empty.Open();
  empty.Edit();
  EXPECT_EQ(empty.State(), DataSetState::Insert);
  EXPECT_EQ(empty.FieldByName("UserName").AsString(), "");
}

TEST_F(MemoryDataSetTest, CancelRestoresTheBufferAndMovingPostsChanges) {
  table.Edit();
  table.FieldByName("UserName").SetAsString("FATHER");
  EXPECT_TRUE(table.Modified());
  table.Cancel();
  EXPECT_EQ(Name(), "PARENT");
  EXPECT_FALSE(table.Modified());
  table.Edit();
  table.FieldByName("UserName").SetAsString("MOTHER");
  table.Next();  // leaves edit mode by posting
  EXPECT_EQ(table.State(), DataSetState::Browse);
  EXPECT_EQ(Name(), "GUEST");
  EXPECT_EQ(Names(), (Strings{"MOTHER", "GUEST", "KID"}));
}

TEST_F(MemoryDataSetTest, UnchangedEditOrInsertIsDroppedWhenLeft) {
  table.Append();
  table.First();
  EXPECT_EQ(table.RecordCount(), 3);
  table.Edit();
  table.Next();
  EXPECT_EQ(Names(), (Strings{"PARENT", "GUEST", "KID"}));
}

TEST_F(MemoryDataSetTest, InsertGoesBeforeTheCurrentRecordAndAppendAtTheEnd) {
  table.Next();
  table.Insert();
  table.FieldByName("UserName").SetAsString("AUNT");
  table.Post();
  EXPECT_EQ(Name(), "AUNT");
  EXPECT_EQ(table.RecNo(), 2);
  table.First();
  table.Append();
  EXPECT_EQ(table.RecNo(), 0);
  table.FieldByName("UserName").SetAsString("UNCLE");
  table.Post();
  EXPECT_EQ(table.RecNo(), 5);
  EXPECT_EQ(Names(), (Strings{"PARENT", "AUNT", "GUEST", "KID", "UNCLE"}));
}

TEST_F(MemoryDataSetTest, CancelledInsertReturnsToTheRecordBefore) {
  table.Next();
  table.Append();
  table.FieldByName("UserName").SetAsString("NEW");
  table.Cancel();
  EXPECT_EQ(Name(), "GUEST");
  EXPECT_EQ(table.RecordCount(), 3);
  table.Next();
  EXPECT_EQ(Name(), "KID");
}

TEST_F(MemoryDataSetTest, DeleteMovesToTheNextRecordOrBackAtTheEnd) {
  table.Next();
  table.Delete();
  EXPECT_EQ(Name(), "KID");
  table.Delete();
  EXPECT_EQ(Name(), "PARENT");
  table.Delete();
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_TRUE(table.Eof());
}

TEST_F(MemoryDataSetTest, BookmarksFindRecordsAgainAfterChanges) {
  table.Next();
  const db::TBookmark guest = table.GetBookmark();
  table.First();
  const db::TBookmark parent = table.GetBookmark();
  EXPECT_LT(table.CompareBookmarks(parent, guest), 0);
  EXPECT_EQ(table.CompareBookmarks(guest, guest), 0);
  EXPECT_LT(table.CompareBookmarks({}, parent), 0);
  EXPECT_EQ(table.CompareBookmarks({}, {}), 0);
  table.Insert();
  table.FieldByName("UserName").SetAsString("FIRST");
  table.Post();
  table.Last();
  table.GotoBookmark(guest);
  EXPECT_EQ(Name(), "GUEST");
  EXPECT_TRUE(table.BookmarkValid(parent));
  table.GotoBookmark(parent);
  table.Delete();
  EXPECT_FALSE(table.BookmarkValid(parent));
  EXPECT_EQ(ErrorText([&] { table.GotoBookmark(parent); }), "Record not found");
  EXPECT_EQ(ErrorText([&] { table.GotoBookmark({}); }), "Record not found");
  EXPECT_EQ(Name(), "GUEST");  // where the failed jumps started
}

TEST_F(MemoryDataSetTest, BookmarkIsEmptyWithoutAStoredRecord) {
  table.Append();
  EXPECT_TRUE(table.GetBookmark().empty());
}

TEST_F(MemoryDataSetTest, RecordsSurviveCloseAndReopen) {
  table.Close();
  EXPECT_EQ(ErrorText([&] { table.RecordCount(); }),
            "Cannot perform this operation on a closed dataset");
  EXPECT_EQ(table.FindField("UserName"), nullptr);
  table.Open();
  EXPECT_EQ(Names(), (Strings{"PARENT", "GUEST", "KID"}));
}

TEST_F(MemoryDataSetTest, ReadOnlyDatasetRefusesChanges) {
  table.SetReadOnly(true);
  EXPECT_EQ(ErrorText([&] { table.Edit(); }), "Cannot modify a read-only dataset");
  EXPECT_EQ(ErrorText([&] { table.Append(); }), "Cannot modify a read-only dataset");
  EXPECT_EQ(ErrorText([&] { table.Delete(); }), "Cannot modify a read-only dataset");
  EXPECT_EQ(table.State(), DataSetState::Browse);
  EXPECT_EQ(table.RecordCount(), 3);
}

TEST_F(MemoryDataSetTest, MemoFieldsReadAndWriteThroughBlobStreams) {
  db::TField& notes = table.FieldByName("Notes");
  EXPECT_TRUE(notes.IsNull());
  table.Edit();
  notes.SetAsString("likes trains");
  table.Post();
  table.Next();
  EXPECT_TRUE(notes.IsNull());
  table.First();
  EXPECT_EQ(notes.AsString(), "likes trains");

  table.Edit();
  auto stream = table.CreateBlobStream(notes, db::BlobStreamMode::ReadWrite);
  stream->Seek(0, db::SeekOrigin::End);
  stream->Write(" and boats", 10);
  EXPECT_EQ(notes.AsString(), "likes trains");  // not stored before Commit
  stream->Commit();
  EXPECT_EQ(notes.AsString(), "likes trains and boats");
  table.Cancel();
  EXPECT_EQ(notes.AsString(), "likes trains");
}

TEST_F(MemoryDataSetTest, BlobStreamsReadPartsAndRefuseBadUse) {
  table.Edit();
  table.FieldByName("Notes").SetAsString("0123456789");
  table.Post();
  auto stream = table.CreateBlobStream(table.FieldByName("Notes"), db::BlobStreamMode::Read);
  char part[4] = {};
  EXPECT_EQ(stream->Seek(-3, db::SeekOrigin::End), 7);
  EXPECT_EQ(stream->Read(part, sizeof part), 3u);
  EXPECT_EQ(std::string(part, 3), "789");
  EXPECT_EQ(stream->Read(part, sizeof part), 0u);
  EXPECT_THROW(stream->Seek(-1, db::SeekOrigin::Begin), db::EDatabaseError);
  EXPECT_EQ(ErrorText([&] {
              table.CreateBlobStream(table.FieldByName("Notes"), db::BlobStreamMode::Write);
            }),
            "Dataset not in edit or insert mode");
  EXPECT_EQ(ErrorText([&] {
              table.CreateBlobStream(table.FieldByName("UserName"), db::BlobStreamMode::Read);
            }),
            "Field 'UserName' is not a blob field");
}

TEST_F(MemoryDataSetTest, StreamCommittedAfterTheEditEndedIsRefused) {
  table.Edit();
  auto stream = table.CreateBlobStream(table.FieldByName("Notes"), db::BlobStreamMode::Write);
  stream->Write("late", 4);
  table.Cancel();
  EXPECT_EQ(ErrorText([&] { stream->Commit(); }), "Dataset not in edit or insert mode");
  EXPECT_TRUE(table.FieldByName("Notes").IsNull());
  EXPECT_FALSE(table.Modified());
}

TEST_F(MemoryDataSetTest, RefreshKeepsTheCurrentRecordAndPostsFirst) {
  table.Next();
  table.Edit();
  table.FieldByName("Logit").SetAsBoolean(true);
  table.Refresh();
  EXPECT_EQ(table.State(), DataSetState::Browse);
  EXPECT_EQ(Name(), "GUEST");
  EXPECT_TRUE(table.FieldByName("Logit").AsBoolean());
}

// A dataset with a search of its own, moving its cursor directly as a key search does.
class NumberedUsers : public db::MemoryDataSet {
 public:
  using MemoryDataSet::MemoryDataSet;
  void JumpTo(int recNo) {
    MoveCursor([&] { InternalSetRecNo(recNo); });
  }
};

TEST(DerivedMoves, OwnCursorMovesPostFireScrollEventsAndResynchronise) {
  NumberedUsers users{{{"UserName", FieldType::String, 10}}};
  users.Open();
  for (const char* name : {"A", "B", "C"}) {
    users.Append();
    users.FieldByName("UserName").SetAsString(name);
    users.Post();
  }
  users.First();
  users.Edit();
  users.FieldByName("UserName").SetAsString("Z");
  Strings events;
  users.BeforeScroll = [&](db::TDataSet& data) {
    events.push_back("before " + data.FieldByName("UserName").AsString());
  };
  users.AfterScroll = [&](db::TDataSet& data) {
    events.push_back("after " + data.FieldByName("UserName").AsString());
  };
  users.JumpTo(3);
  EXPECT_EQ(events, (Strings{"before Z", "after C"}));
  EXPECT_EQ(users.RecNo(), 3);
  users.First();
  EXPECT_EQ(users.FieldByName("UserName").AsString(), "Z");
}

TEST_F(MemoryDataSetTest, NamedDatasetPutsItsNameInFrontOfMessages) {
  db::MemoryDataSet named{{{"A", FieldType::String, 1}}, "UsersDB"};
  EXPECT_EQ(ErrorText([&] { named.First(); }),
            "UsersDB: Cannot perform this operation on a closed dataset");
}

TEST_F(MemoryDataSetTest, DuplicateFieldNamesAreRefused) {
  db::MemoryDataSet twice{{{"A", FieldType::String, 1}, {"a", FieldType::Integer}}};
  EXPECT_EQ(ErrorText([&] { twice.Open(); }), "Duplicate field name 'a'");
  EXPECT_FALSE(twice.Active());
}

}  // namespace
