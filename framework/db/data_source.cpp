#include "framework/db/data_source.hpp"

#include <algorithm>

namespace db {

TDataSource::~TDataSource() {
  if (dataSet_) dataSet_->Detach(*this);
  const auto links = links_;
  for (DataSourceLink* link : links)
    link->SourceDestroyed();
}

void TDataSource::SetDataSet(DataSetInterface* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) dataSet_->Detach(*this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->Attach(*this);
  NotifyLinks();
}

void TDataSource::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  NotifyLinks();
}

bool TDataSource::Active() const {
  return enabled_ && dataSet_ && dataSet_->Active();
}

DataSetState TDataSource::State() const {
  return enabled_ && dataSet_ ? dataSet_->State() : DataSetState::Inactive;
}

void TDataSource::AddLink(DataSourceLink& link) {
  if (std::find(links_.begin(), links_.end(), &link) == links_.end()) links_.push_back(&link);
}

void TDataSource::RemoveLink(DataSourceLink& link) {
  std::erase(links_, &link);
}

void TDataSource::RecordChanged() {
  if (enabled_) NotifyLinks();
}

void TDataSource::StateChanged() {
  if (enabled_) NotifyLinks();
}

void TDataSource::DataSetDestroyed() {
  dataSet_ = nullptr;
  NotifyLinks();
}

void TDataSource::NotifyLinks() {
  const auto links = links_;
  for (DataSourceLink* link : links)
    link->DataChanged();
}

}  // namespace db
