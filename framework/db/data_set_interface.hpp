#pragma once
// DataSetInterface: what data-aware controls need of a dataset: the current record's fields
// by name (as text, or as a truth value for logical fields), the edit cycle (Edit, Post,
// Cancel), the state, and notification of everything that changes what they show. Datasets
// (the in-memory one here, the table dataset of the engine) implement it; controls reach it
// through a TDataSource.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace db {

enum class DataSetState { Inactive, Browse, Edit, Insert };

enum class FieldKind { Text, Number, Date, Logical, Memo, Binary };

struct FieldInfo {
  std::string name;
  FieldKind kind = FieldKind::Text;
  int size = 0;  // characters of a text field; 0 when not limited
  bool readOnly = false;
};

// Told about changes of a dataset. Observers detach themselves before they go away; a
// dataset that goes away first calls DataSetDestroyed.
class DataSetObserver {
 public:
  virtual ~DataSetObserver() = default;
  // The current record, its values or the set of records changed (moves, edits, open, close).
  virtual void RecordChanged() = 0;
  // The state changed (Inactive, Browse, Edit, Insert).
  virtual void StateChanged() = 0;
  virtual void DataSetDestroyed() = 0;
};

class DataSetInterface {
 public:
  DataSetInterface() = default;
  virtual ~DataSetInterface();
  DataSetInterface(const DataSetInterface&) = delete;
  DataSetInterface& operator=(const DataSetInterface&) = delete;

  virtual DataSetState State() const = 0;
  bool Active() const { return State() != DataSetState::Inactive; }
  // The field of that name (letter case ignored), when the dataset is open and has it.
  virtual std::optional<FieldInfo> FindField(std::string_view name) const = 0;
  // Values of the current record; EDatabaseError for a closed dataset or an unknown field.
  // A dataset without a current record gives empty text and false.
  virtual std::string FieldText(std::string_view name) const = 0;
  virtual bool FieldBoolean(std::string_view name) const = 0;
  // Writes in edit or insert state only ("Dataset not in edit or insert mode").
  virtual void SetFieldText(std::string_view name, std::string_view text) = 0;
  virtual void SetFieldBoolean(std::string_view name, bool value) = 0;
  virtual void Edit() = 0;
  virtual void Post() = 0;
  virtual void Cancel() = 0;

  void Attach(DataSetObserver& observer);
  void Detach(DataSetObserver& observer);

 protected:
  void NotifyRecordChanged();
  void NotifyStateChanged();

 private:
  std::vector<DataSetObserver*> observers_;
};

}  // namespace db
