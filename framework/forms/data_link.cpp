#include "framework/forms/data_link.hpp"

#include "framework/db/database_error.hpp"

namespace forms {
namespace {

class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

FieldDataLink::FieldDataLink(std::function<void()> refresh) : refresh_(std::move(refresh)) {}

FieldDataLink::~FieldDataLink() {
  if (source_) source_->RemoveLink(*this);
}

void FieldDataLink::SetDataSource(db::TDataSource* source) {
  if (source == source_) return;
  if (source_) source_->RemoveLink(*this);
  source_ = source;
  if (source_) source_->AddLink(*this);
  DataChanged();
}

void FieldDataLink::SetDataField(std::string field) {
  field_ = std::move(field);
  DataChanged();
}

bool FieldDataLink::Active() const {
  return source_ && source_->Active() && !field_.empty() &&
         source_->DataSet()->FindField(field_).has_value();
}

db::DataSetInterface* FieldDataLink::DataSet() const {
  return source_ ? source_->DataSet() : nullptr;
}

db::FieldInfo FieldDataLink::Field() const {
  if (!Active()) throw db::EDatabaseError("Field '" + field_ + "' is not available");
  return *DataSet()->FindField(field_);
}

std::string FieldDataLink::FieldText() const {
  return DataSet()->FieldText(field_);
}

bool FieldDataLink::FieldBoolean() const {
  return DataSet()->FieldBoolean(field_);
}

void FieldDataLink::WriteText(std::string text) {
  Write([&] { DataSet()->SetFieldText(field_, text); });
}

void FieldDataLink::WriteBoolean(bool value) {
  Write([&] { DataSet()->SetFieldBoolean(field_, value); });
}

void FieldDataLink::Write(const std::function<void()>& store) {
  try {
    FlagScope writing(writing_);
    BeginWrite();
    store();
  } catch (...) {
    // The control already shows the refused value: show the field's again.
    refresh_();
    throw;
  }
}

void FieldDataLink::DataChanged() {
  if (!writing_) refresh_();
}

void FieldDataLink::SourceDestroyed() {
  source_ = nullptr;
}

void FieldDataLink::BeginWrite() {
  if (source_->State() == db::DataSetState::Browse && source_->AutoEdit()) DataSet()->Edit();
}

}  // namespace forms
