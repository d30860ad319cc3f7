#include "framework/forms/data_link.hpp"

#include "framework/db/database_error.hpp"
#include "framework/db/database_messages.hpp"

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
  refresh_();
}

void FieldDataLink::SetDataField(std::string field) {
  field_ = std::move(field);
  refresh_();
}

bool FieldDataLink::Active() const {
  return source_ && source_->Active() && !field_.empty() && source_->DataSet()->FindField(field_);
}

db::TDataSet* FieldDataLink::DataSet() const {
  return source_ ? source_->DataSet() : nullptr;
}

db::TField& FieldDataLink::Field() const {
  if (!Active()) throw db::EDatabaseError(db::messages::FieldNotFound(field_));
  return *DataSet()->FindField(field_);
}

void FieldDataLink::WriteText(std::string text) {
  Write([&](db::TField& field) { field.SetAsString(text); });
}

void FieldDataLink::WriteBoolean(bool value) {
  Write([&](db::TField& field) { field.SetAsBoolean(value); });
}

void FieldDataLink::Write(const std::function<void(db::TField&)>& store) {
  try {
    FlagScope writing(writing_);
    source_->Edit();
    store(Field());
  } catch (...) {
    // The control already shows the refused value: show the field's again.
    refresh_();
    throw;
  }
}

void FieldDataLink::DataEvent(db::DataEvent event, const db::TField* field) {
  if (writing_) return;
  if (event == db::DataEvent::FieldChange &&
      (!field || !db::SameFieldName(field->FieldName(), field_))) {
    return;
  }
  refresh_();
}

void FieldDataLink::SourceDestroyed() {
  source_ = nullptr;
}

}  // namespace forms
