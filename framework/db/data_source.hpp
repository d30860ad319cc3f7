#pragma once
// TDataSource: the link between one dataset and the data-aware controls bound to it. While
// disabled (or without an open dataset) the controls show nothing; enabling it makes them
// show the current record. AutoEdit (on by default) lets a control put the dataset into edit
// state when the user changes a value.
//
//   db::TDataSource UserSource;
//   UserSource.SetDataSet(&UsersDB);
//   UserSource.SetEnabled(false);
#include <vector>

#include "framework/db/data_set_interface.hpp"

namespace db {

class TDataSource;

// A control's side of the link (see forms::FieldDataLink).
class DataSourceLink {
 public:
  virtual ~DataSourceLink() = default;
  // Show the current values again (record moved, state changed, source switched on or off).
  virtual void DataChanged() = 0;
  // The source is going away: forget it.
  virtual void SourceDestroyed() = 0;
};

class TDataSource : private DataSetObserver {
 public:
  TDataSource() = default;
  ~TDataSource() override;
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  DataSetInterface* DataSet() const { return dataSet_; }
  void SetDataSet(DataSetInterface* dataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }
  // Enabled with an open dataset.
  bool Active() const;
  DataSetState State() const;

  void AddLink(DataSourceLink& link);
  void RemoveLink(DataSourceLink& link);

 private:
  void RecordChanged() override;
  void StateChanged() override;
  void DataSetDestroyed() override;
  void NotifyLinks();

  DataSetInterface* dataSet_ = nullptr;
  bool enabled_ = true;
  bool autoEdit_ = true;
  std::vector<DataSourceLink*> links_;
};

}  // namespace db
