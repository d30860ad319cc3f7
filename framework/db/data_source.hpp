#pragma once
// TDataSource: the link between one dataset and the data-aware controls bound to it. It passes
// the dataset's data events on to its links while enabled; switching it on or off, or to
// another dataset, tells the links that everything changed. While disabled (or without an open
// dataset) the controls show nothing. AutoEdit (on by default) lets a control put the dataset
// into edit state when the user changes a value.
//
//   db::TDataSource UserSource;
//   UserSource.SetDataSet(&UsersDB);
//   UserSource.SetEnabled(false);
#include <functional>
#include <vector>

#include "framework/db/data_set.hpp"

namespace db {

// A control's side of the link (see forms::FieldDataLink).
class DataSourceLink {
 public:
  virtual ~DataSourceLink() = default;
  // `field` is set for FieldChange only.
  virtual void DataEvent(DataEvent event, const TField* field) = 0;
  // The source is going away: forget it.
  virtual void SourceDestroyed() = 0;
};

class TDataSource {
 public:
  TDataSource() = default;
  ~TDataSource();
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }
  // Enabled with an open dataset.
  bool Active() const;
  // The dataset's state; Inactive while disabled or without a dataset.
  DataSetState State() const;
  // Puts a browsing dataset into edit state when AutoEdit allows; true when it is (then) in
  // edit or insert state.
  bool Edit();

  void AddLink(DataSourceLink& link);
  void RemoveLink(DataSourceLink& link);

  std::function<void(TDataSource&)> OnStateChange;
  std::function<void(TDataSource&, const TField*)> OnDataChange;

 private:
  friend class TDataSet;
  void DataEvent(db::DataEvent event, const TField* field);
  void DataSetDestroyed();
  void NotifyLinks(db::DataEvent event, const TField* field);

  TDataSet* dataSet_ = nullptr;
  bool enabled_ = true;
  bool autoEdit_ = true;
  std::vector<DataSourceLink*> links_;
};

}  // namespace db
