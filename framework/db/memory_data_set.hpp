#pragma once
// MemoryDataSet: a dataset kept in memory, with named typed fields and rows, for tests and for
// forms that need a dataset before a table is at hand. It follows the usual dataset rules:
// Edit/Append start editing a copy of the record, Post stores it, Cancel drops it, moving to
// another record posts pending changes first. Text fields keep at most `size` characters;
// logical fields hold "T" or "F" and read as truth values.
//
//   db::MemoryDataSet users({{"UserName", db::FieldKind::Text, 10},
//                            {"Porn", db::FieldKind::Logical}});
//   users.Open();
//   users.Append();
//   users.SetFieldText("UserName", "PARENT");
//   users.Post();
#include <string>
#include <vector>

#include "framework/db/data_set_interface.hpp"

namespace db {

class MemoryDataSet : public DataSetInterface {
 public:
  explicit MemoryDataSet(std::vector<FieldInfo> fields);

  void Open();
  void Close();
  const std::vector<FieldInfo>& Fields() const { return fields_; }

  // Navigation (each posts a pending edit first). Eof/Bof tell that a move ran past the end.
  void First();
  void Last();
  void Next();
  void Prior();
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  int RecordCount() const;
  // The current record, 1-based; 0 without one.
  int RecNo() const;
  void SetRecNo(int recNo);
  // Moves to the first record whose field equals `value` (letter case ignored); false and no
  // move when there is none.
  bool Locate(std::string_view field, std::string_view value);

  void Append();
  void Delete();

  DataSetState State() const override { return state_; }
  std::optional<FieldInfo> FindField(std::string_view name) const override;
  std::string FieldText(std::string_view name) const override;
  bool FieldBoolean(std::string_view name) const override;
  void SetFieldText(std::string_view name, std::string_view text) override;
  void SetFieldBoolean(std::string_view name, bool value) override;
  void Edit() override;
  void Post() override;
  void Cancel() override;

 private:
  using Row = std::vector<std::string>;
  std::size_t FieldIndex(std::string_view name) const;
  void CheckActive() const;
  void CheckEditing() const;
  void CheckBrowseMode();
  void SetState(DataSetState state);
  const Row* CurrentRow() const;
  std::string Stored(const FieldInfo& field, std::string_view text) const;

  std::vector<FieldInfo> fields_;
  std::vector<Row> rows_;
  Row buffer_;               // the record being edited or inserted
  std::size_t current_ = 0;  // index into rows_ (rows_.size() when there is none)
  DataSetState state_ = DataSetState::Inactive;
  bool eof_ = true;
  bool bof_ = true;
};

}  // namespace db
