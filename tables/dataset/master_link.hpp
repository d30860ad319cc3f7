#pragma once
// TxbMasterLink: a detail dataset's link on its master's data source. A move of the master or
// a change of its records calls onChange; the source going away calls onGone.
#include <functional>

#include "framework/db/data_source.hpp"

namespace tables {

class TxbMasterLink : public db::DataSourceLink {
 public:
  TxbMasterLink(db::TDataSource& source, std::function<void()> onChange,
                std::function<void()> onGone)
      : source_(&source), onChange_(std::move(onChange)), onGone_(std::move(onGone)) {
    source.AddLink(*this);
  }
  ~TxbMasterLink() override {
    if (source_) source_->RemoveLink(*this);
  }
  TxbMasterLink(const TxbMasterLink&) = delete;
  TxbMasterLink& operator=(const TxbMasterLink&) = delete;

  void DataEvent(db::DataEvent event, const db::TField*) override {
    if (event == db::DataEvent::DataSetScroll || event == db::DataEvent::DataSetChange) onChange_();
  }
  void SourceDestroyed() override {
    source_ = nullptr;
    onGone_();
  }

 private:
  db::TDataSource* source_;
  std::function<void()> onChange_;
  std::function<void()> onGone_;
};

}  // namespace tables
