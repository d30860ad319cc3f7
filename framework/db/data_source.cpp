#include "framework/db/data_source.hpp"

#include <algorithm>

namespace db {

TDataSource::~TDataSource() {
  if (dataSet_) dataSet_->RemoveSource(*this);
  const auto links = links_;
  for (DataSourceLink* link : links)
    link->SourceDestroyed();
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) dataSet_->RemoveSource(*this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->AddSource(*this);
  NotifyLinks(DataEvent::UpdateState, nullptr);
}

void TDataSource::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  NotifyLinks(DataEvent::UpdateState, nullptr);
}

bool TDataSource::Active() const {
  return enabled_ && dataSet_ && dataSet_->Active();
}

DataSetState TDataSource::State() const {
  return enabled_ && dataSet_ ? dataSet_->State() : DataSetState::Inactive;
}

bool TDataSource::Edit() {
  if (State() == DataSetState::Browse && autoEdit_) dataSet_->Edit();
  return State() == DataSetState::Edit || State() == DataSetState::Insert;
}

void TDataSource::AddLink(DataSourceLink& link) {
  if (std::find(links_.begin(), links_.end(), &link) == links_.end()) links_.push_back(&link);
}

void TDataSource::RemoveLink(DataSourceLink& link) {
  std::erase(links_, &link);
}

void TDataSource::DataEvent(db::DataEvent event, const TField* field) {
  if (enabled_) NotifyLinks(event, field);
}

void TDataSource::DataSetDestroyed() {
  dataSet_ = nullptr;
  NotifyLinks(DataEvent::UpdateState, nullptr);
}

void TDataSource::NotifyLinks(db::DataEvent event, const TField* field) {
  const auto links = links_;  // a link may leave while told
  for (DataSourceLink* link : links)
    link->DataEvent(event, field);
  if (event == DataEvent::UpdateState) {
    if (OnStateChange) OnStateChange(*this);
  } else if (OnDataChange) {
    OnDataChange(*this, field);
  }
}

}  // namespace db
