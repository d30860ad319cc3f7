#include "framework/db/data_set_interface.hpp"

#include <algorithm>

namespace db {

DataSetInterface::~DataSetInterface() {
  const auto observers = observers_;
  for (DataSetObserver* observer : observers)
    observer->DataSetDestroyed();
}

void DataSetInterface::Attach(DataSetObserver& observer) {
  if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end()) {
    observers_.push_back(&observer);
  }
}

void DataSetInterface::Detach(DataSetObserver& observer) {
  std::erase(observers_, &observer);
}

void DataSetInterface::NotifyRecordChanged() {
  const auto observers = observers_;  // an observer may detach while told
  for (DataSetObserver* observer : observers)
    observer->RecordChanged();
}

void DataSetInterface::NotifyStateChanged() {
  const auto observers = observers_;
  for (DataSetObserver* observer : observers)
    observer->StateChanged();
}

}  // namespace db
