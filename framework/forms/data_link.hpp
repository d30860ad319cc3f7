#pragma once
// FieldDataLink: ties one data-aware control to one field of the dataset behind a data
// source. The link is active while the source is enabled and its dataset open with that
// field; it tells the control to show the field again after every record move, state change
// or change of that field (so Cancel and scrolling show the stored values), and writes the
// control's value into the field, putting the dataset into edit state first when the source
// allows automatic editing. The written value reaches the table when the dataset posts.
#include <functional>
#include <string>

#include "framework/db/data_source.hpp"

namespace forms {

class FieldDataLink : public db::DataSourceLink {
 public:
  // `refresh` shows the field's current value in the control (or clears it when inactive).
  explicit FieldDataLink(std::function<void()> refresh);
  ~FieldDataLink() override;
  FieldDataLink(const FieldDataLink&) = delete;
  FieldDataLink& operator=(const FieldDataLink&) = delete;

  db::TDataSource* DataSource() const { return source_; }
  void SetDataSource(db::TDataSource* source);
  const std::string& DataField() const { return field_; }
  void SetDataField(std::string field);

  // A source is set, enabled, its dataset open, and the field exists.
  bool Active() const;
  db::TDataSet* DataSet() const;
  // The field; only while Active (EDatabaseError otherwise).
  db::TField& Field() const;
  // Writes a value: starts editing when needed; raises EDatabaseError when the dataset is
  // not in edit or insert state and cannot be put there. The control is not refreshed from
  // the field while its own value is being written; a refused value makes it show the
  // field's value again.
  void WriteText(std::string text);
  void WriteBoolean(bool value);

  void DataEvent(db::DataEvent event, const db::TField* field) override;
  void SourceDestroyed() override;

 private:
  void Write(const std::function<void(db::TField&)>& store);
  std::function<void()> refresh_;
  db::TDataSource* source_ = nullptr;
  std::string field_;
  bool writing_ = false;
};

}  // namespace forms
