#include "framework/db/data_set.hpp"

#include <algorithm>
#include <cctype>
#include <utility>

#include "framework/db/data_source.hpp"
#include "framework/db/database_messages.hpp"

namespace db {
namespace {

// Points the fields at another buffer (and, for the calc-fields and filter states, switches
// the state) for the life of the scope, without telling the data sources.
class BufferScope {
 public:
  BufferScope(DataSetState& state, RecordBuffer*& scratch, RecordBuffer& buffer,
              DataSetState transient)
      : state_(state), scratch_(scratch), savedState_(state), savedScratch_(scratch) {
    state_ = transient;
    scratch_ = &buffer;
  }
  ~BufferScope() {
    state_ = savedState_;
    scratch_ = savedScratch_;
  }
  BufferScope(const BufferScope&) = delete;
  BufferScope& operator=(const BufferScope&) = delete;

 private:
  DataSetState& state_;
  RecordBuffer*& scratch_;
  DataSetState savedState_;
  RecordBuffer* savedScratch_;
};

std::string Upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool TextMatches(std::string fieldText, std::string key, LocateOptions options) {
  if (options.caseInsensitive) {
    fieldText = Upper(std::move(fieldText));
    key = Upper(std::move(key));
  }
  return options.partialKey ? fieldText.starts_with(key) : fieldText == key;
}

}  // namespace

TDataSet::TDataSet(std::string name) : name_(std::move(name)) {}

TDataSet::~TDataSet() {
  const auto sources = sources_;
  for (TDataSource* source : sources)
    source->DataSetDestroyed();
}

void TDataSet::SetActive(bool active) {
  if (active) {
    Open();
  } else {
    Close();
  }
}

void TDataSet::Open() {
  if (Active()) return;
  Fire(BeforeOpen);
  state_ = DataSetState::Opening;
  try {
    InternalOpen();
    current_ = NewBuffer();
    ReadFirst();
  } catch (...) {
    state_ = DataSetState::Inactive;
    hasRecord_ = false;
    DestroyFields();
    if (IsCursorOpen()) InternalClose();
    throw;
  }
  SetState(DataSetState::Browse);
  SendEvent(DataEvent::DataSetChange);
  Fire(AfterOpen);
}

void TDataSet::Close() {
  if (!Active()) return;
  Fire(BeforeClose);
  if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) InternalCancel(current_);
  SetState(DataSetState::Inactive);
  hasRecord_ = false;
  bof_ = eof_ = true;
  modified_ = false;
  try {
    InternalClose();
  } catch (...) {
    DestroyFields();
    throw;
  }
  DestroyFields();
  SendEvent(DataEvent::DataSetChange);
  Fire(AfterClose);
}

TField* TDataSet::FindField(std::string_view name) const {
  const auto found = std::find_if(fields_.begin(), fields_.end(), [&](const auto& field) {
    return SameFieldName(field->FieldName(), name);
  });
  return found == fields_.end() ? nullptr : found->get();
}

TField& TDataSet::FieldByName(std::string_view name) const {
  TField* field = FindField(name);
  if (!field) Fail(messages::FieldNotFound(name));
  return *field;
}

void TDataSet::AddCalculatedField(std::string name, FieldType type, int size) {
  if (Active()) Fail(messages::kOpen);
  const bool taken =
      std::any_of(calculatedDefs_.begin(), calculatedDefs_.end(),
                  [&](const TFieldDef& def) { return SameFieldName(def.name, name); });
  if (taken) Fail(messages::DuplicateField(name));
  calculatedDefs_.push_back({std::move(name), type, size, false});
}

void TDataSet::First() {
  CheckBrowseMode();
  Fire(BeforeScroll);
  ReadFirst();
  SendEvent(DataEvent::DataSetScroll);
  Fire(AfterScroll);
}

void TDataSet::Last() {
  CheckBrowseMode();
  Fire(BeforeScroll);
  ReadLast();
  SendEvent(DataEvent::DataSetScroll);
  Fire(AfterScroll);
}

void TDataSet::Next() {
  MoveBy(1);
}

void TDataSet::Prior() {
  MoveBy(-1);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if ((distance > 0 && eof_) || (distance < 0 && bof_) || distance == 0) return 0;
  Fire(BeforeScroll);
  int moved = 0;
  for (; distance > 0; --distance, ++moved) {
    if (!Step(GetMode::Next)) {
      eof_ = true;
      break;
    }
    bof_ = false;
  }
  for (; distance < 0; ++distance, --moved) {
    if (!Step(GetMode::Prior)) {
      bof_ = true;
      break;
    }
    eof_ = false;
  }
  SendEvent(DataEvent::DataSetScroll);
  Fire(AfterScroll);
  return moved;
}

bool TDataSet::IsEmpty() const {
  CheckActive();
  return !hasRecord_ && state_ != DataSetState::Insert;
}

int TDataSet::RecordCount() const {
  CheckActive();
  return GetRecordCount();
}

int TDataSet::RecNo() const {
  CheckActive();
  return hasRecord_ && state_ != DataSetState::Insert ? GetRecNo(current_) : 0;
}

void TDataSet::SetRecNo(int recNo) {
  CheckBrowseMode();
  Fire(BeforeScroll);
  InternalSetRecNo(recNo);
  RecordBuffer found = NewBuffer();
  if (!FetchInto(found, GetMode::Current, false)) {
    if (hasRecord_) InternalSetToRecord(current_);
    Fail(messages::kRecordBeyondRange);
  }
  current_ = std::move(found);
  hasRecord_ = true;
  bof_ = eof_ = false;
  SendEvent(DataEvent::DataSetScroll);
  Fire(AfterScroll);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  InternalRefresh();
  Resync();
  SendEvent(DataEvent::DataSetChange);
}

void TDataSet::Edit() {
  if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
  CheckBrowseMode();
  CheckCanModify();
  if (!hasRecord_) {
    Insert();
    return;
  }
  Fire(BeforeEdit);
  RunWithErrorHandler(OnEditError, [this] { InternalEdit(current_); });
  CalculateFields(current_);
  saved_ = current_;
  savedHadRecord_ = true;
  modified_ = false;
  SetState(DataSetState::Edit);
  SendEvent(DataEvent::RecordChange);
  Fire(AfterEdit);
}

void TDataSet::Insert() {
  BeginInsert(BookmarkFlag::Inserted);
}

void TDataSet::Append() {
  BeginInsert(BookmarkFlag::Eof);
}

void TDataSet::BeginInsert(BookmarkFlag flag) {
  CheckBrowseMode();
  CheckCanModify();
  Fire(BeforeInsert);
  Fire(BeforeScroll);
  RecordBuffer fresh = NewBuffer();
  InternalInitRecord(fresh);
  SetBookmarkFlag(fresh, flag);
  saved_ = std::exchange(current_, std::move(fresh));
  savedHadRecord_ = hasRecord_;
  modified_ = false;
  SetState(DataSetState::Insert);
  try {
    Fire(OnNewRecord);
  } catch (...) {
    current_ = std::move(saved_);
    hasRecord_ = savedHadRecord_;
    SetState(DataSetState::Browse);
    throw;
  }
  modified_ = false;  // defaults alone do not make a record worth posting
  CalculateFields(current_);
  SendEvent(DataEvent::DataSetChange);
  Fire(AfterInsert);
  Fire(AfterScroll);
}

void TDataSet::Post() {
  CheckActive();
  if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) Fail(messages::kNotEditing);
  Fire(BeforePost);
  CheckRequiredFields();
  RunWithErrorHandler(OnPostError, [this] { InternalPost(current_); });
  hasRecord_ = true;
  modified_ = false;
  Resync();
  SetState(DataSetState::Browse);
  SendEvent(DataEvent::DataSetChange);
  Fire(AfterPost);
}

void TDataSet::Cancel() {
  if (state_ == DataSetState::SetKey) {
    EndKeyEdit();
    return;
  }
  if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
  Fire(BeforeCancel);
  InternalCancel(current_);
  current_ = std::move(saved_);
  hasRecord_ = savedHadRecord_;
  if (hasRecord_) InternalSetToRecord(current_);
  modified_ = false;
  SetState(DataSetState::Browse);
  SendEvent(DataEvent::DataSetChange);
  Fire(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == DataSetState::Insert) {
    Cancel();
    return;
  }
  if (!hasRecord_) Fail(messages::kEmpty);
  CheckCanModify();
  Fire(BeforeDelete);
  Fire(BeforeScroll);
  RunWithErrorHandler(OnDeleteError, [this] { InternalDelete(current_); });
  modified_ = false;
  Resync();
  SetState(DataSetState::Browse);
  SendEvent(DataEvent::DataSetChange);
  Fire(AfterDelete);
  Fire(AfterScroll);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
    if (modified_) {
      Post();
    } else {
      Cancel();
    }
  } else if (state_ == DataSetState::SetKey) {
    EndKeyEdit();
  }
}

TBookmark TDataSet::GetBookmark() const {
  CheckActive();
  return hasRecord_ && state_ != DataSetState::Insert ? GetBookmarkData(current_) : TBookmark();
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  CheckBrowseMode();
  if (bookmark.empty()) Fail(messages::kBookmarkNotFound);
  Fire(BeforeScroll);
  InternalGotoBookmark(bookmark);
  RecordBuffer found = NewBuffer();
  if (!FetchInto(found, GetMode::Current, false)) {
    if (hasRecord_) InternalSetToRecord(current_);
    Fail(messages::kBookmarkNotFound);
  }
  current_ = std::move(found);
  hasRecord_ = true;
  bof_ = eof_ = false;
  SendEvent(DataEvent::DataSetScroll);
  Fire(AfterScroll);
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const {
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
  const auto order = std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end());
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

bool TDataSet::Locate(std::string_view keyFields, const std::vector<OptionalValue>& values,
                      LocateOptions options) {
  std::optional<RecordBuffer> match = FindMatch(keyFields, values, options);
  if (!match) return false;
  Fire(BeforeScroll);
  current_ = std::move(*match);
  hasRecord_ = true;
  bof_ = eof_ = false;
  SendEvent(DataEvent::DataSetScroll);
  Fire(AfterScroll);
  return true;
}

std::optional<std::vector<OptionalValue>> TDataSet::Lookup(std::string_view keyFields,
                                                           const std::vector<OptionalValue>& values,
                                                           std::string_view resultFields) {
  const std::vector<TField*> results = FieldList(resultFields);
  std::optional<RecordBuffer> match = FindMatch(keyFields, values, {});
  if (!match) return std::nullopt;
  std::vector<OptionalValue> found;
  {
    BufferScope reading(state_, scratch_, *match, state_);
    for (const TField* field : results)
      found.push_back(field->Value());
  }
  if (hasRecord_) InternalSetToRecord(current_);
  return found;
}

std::optional<RecordBuffer> TDataSet::FindMatch(std::string_view keyFields,
                                                const std::vector<OptionalValue>& values,
                                                LocateOptions options) {
  CheckBrowseMode();
  const std::vector<TField*> keys = FieldList(keyFields);
  if (keys.size() != values.size()) {
    Fail("Search of " + std::to_string(keys.size()) + " key fields given " +
         std::to_string(values.size()) + " values");
  }
  RecordBuffer candidate = NewBuffer();
  try {
    InternalFirst();
    while (FetchInto(candidate, GetMode::Next, true)) {
      if (Matches(candidate, keys, values, options)) return candidate;
    }
  } catch (...) {
    if (hasRecord_) InternalSetToRecord(current_);
    throw;
  }
  if (hasRecord_) InternalSetToRecord(current_);
  return std::nullopt;
}

bool TDataSet::Matches(RecordBuffer& candidate, const std::vector<TField*>& keys,
                       const std::vector<OptionalValue>& values, LocateOptions options) {
  BufferScope reading(state_, scratch_, candidate, state_);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const OptionalValue value = keys[i]->Value();
    const OptionalValue& key = values[i];
    if (!key || !value) {
      if (key.has_value() != value.has_value()) return false;
      continue;
    }
    if (const auto* text = std::get_if<std::string>(&*key)) {
      if (!TextMatches(keys[i]->AsString(), *text, options)) return false;
    } else if (keys[i]->Converted(*key) != *value) {
      return false;
    }
  }
  return true;
}

std::vector<TField*> TDataSet::FieldList(std::string_view names) const {
  std::vector<TField*> fields;
  std::size_t start = 0;
  while (start <= names.size()) {
    const std::size_t end = std::min(names.find(';', start), names.size());
    std::string_view name = names.substr(start, end - start);
    while (!name.empty() && name.front() == ' ')
      name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ')
      name.remove_suffix(1);
    if (!name.empty()) fields.push_back(&FieldByName(name));
    start = end + 1;
  }
  return fields;
}

void TDataSet::SetFiltered(bool filtered) {
  if (filtered == filtered_) return;
  filtered_ = filtered;
  if (Active()) FilterChanged();
}

void TDataSet::SetFilter(std::string filter) {
  if (filter == filter_) return;
  filter_ = std::move(filter);
  if (Active() && filtered_) FilterChanged();
}

void TDataSet::FilterChanged() {
  First();
}

const std::vector<TIndexDef>& TDataSet::IndexDefs() {
  indexDefs_.clear();
  if (Active()) UpdateIndexDefs();
  return indexDefs_;
}

void TDataSet::SetKey() {
  CheckBrowseMode();
  keyBuffer_ = NewBuffer();
  InternalInitRecord(keyBuffer_);
  SetState(DataSetState::SetKey);
}

void TDataSet::EndKeyEdit() {
  if (state_ == DataSetState::SetKey) SetState(DataSetState::Browse);
}

void TDataSet::DisableControls() {
  if (disableCount_++ == 0) {
    eventsMissed_ = false;
    stateWhenDisabled_ = state_;
  }
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0 || --disableCount_ > 0 || !eventsMissed_) return;
  eventsMissed_ = false;
  if (state_ != stateWhenDisabled_) SendEvent(DataEvent::UpdateState);
  SendEvent(DataEvent::DataSetChange);
}

std::unique_ptr<TBlobStream> TDataSet::CreateBlobStream(const TField& field, BlobStreamMode mode) {
  CheckActive();
  if (!field.IsBlob()) Fail(messages::NotBlobField(field.FieldName()));
  if (mode != BlobStreamMode::Read) {
    CheckEditingState(field);
    if (field.ReadOnly()) Fail(messages::FieldReadOnly(field.FieldName()));
  }
  return InternalCreateBlobStream(field, mode);
}

std::string TDataSet::Translate(std::string_view text, bool) const {
  return std::string(text);
}

void TDataSet::UpdateIndexDefs() {}

bool TDataSet::GetIsIndexField(const TField&) const {
  return false;
}

void TDataSet::InternalEdit(RecordBuffer&) {}

void TDataSet::InternalCancel(RecordBuffer&) {}

void TDataSet::InternalRefresh() {}

std::unique_ptr<TBlobStream> TDataSet::InternalCreateBlobStream(const TField&, BlobStreamMode) {
  Fail(messages::kNoBlobs);
}

void TDataSet::InitFieldDefsAndFields() {
  fieldDefs_.Clear();
  InternalInitFieldDefs();
  CreateFields();
}

RecordBuffer& TDataSet::ActiveBuffer() {
  if (scratch_) return *scratch_;
  return state_ == DataSetState::SetKey ? keyBuffer_ : current_;
}

const RecordBuffer& TDataSet::ActiveBuffer() const {
  if (scratch_) return *scratch_;
  return state_ == DataSetState::SetKey ? keyBuffer_ : current_;
}

bool TDataSet::RecordAccepted(RecordBuffer& buffer) {
  if (!filtered_ || !OnFilterRecord) return true;
  CalculateFields(buffer);
  BufferScope judging(state_, scratch_, buffer, DataSetState::Filter);
  bool accept = true;
  OnFilterRecord(*this, accept);
  return accept;
}

void TDataSet::BlobFieldChanged(const TField& field) {
  modified_ = true;
  SendEvent(DataEvent::FieldChange, &field);
}

void TDataSet::CheckActive() const {
  if (state_ == DataSetState::Inactive) Fail(messages::kClosed);
}

void TDataSet::Fail(std::string_view message) const {
  throw EDatabaseError(name_.empty() ? std::string(message) : name_ + ": " + std::string(message));
}

void TDataSet::Resync() {
  hasRecord_ = FetchInto(current_, GetMode::Current, false) ||
               FetchInto(current_, GetMode::Next, false) ||
               FetchInto(current_, GetMode::Prior, false);
  bof_ = eof_ = !hasRecord_;
}

void TDataSet::MoveCursor(const std::function<void()>& moveCursor) {
  CheckBrowseMode();
  Fire(BeforeScroll);
  moveCursor();
  Resync();
  SendEvent(DataEvent::DataSetScroll);
  Fire(AfterScroll);
}

OptionalValue TDataSet::FieldValueOf(const TField& field) {
  CheckActive();
  const RecordBuffer& buffer = ActiveBuffer();
  if (&buffer == &current_ && !scratch_ && !hasRecord_ && state_ != DataSetState::Insert) {
    return std::nullopt;  // browsing an empty dataset
  }
  if (field.Calculated()) return buffer.calculated[static_cast<std::size_t>(field.FieldNo())];
  const OptionalValue value = GetFieldData(field, buffer);
  if (!value) return std::nullopt;
  if (field.IsBlob()) {
    return FieldValue(InternalCreateBlobStream(field, BlobStreamMode::Read)->ReadAll());
  }
  FieldValue converted = field.Converted(*value);
  if (field.DataType() != FieldType::String) return converted;
  return FieldValue(Translate(std::get<std::string>(converted), false));
}

void TDataSet::StoreFieldValue(const TField& field, const OptionalValue& value) {
  CheckEditingState(field);
  if (field.ReadOnly()) Fail(messages::FieldReadOnly(field.FieldName()));
  RecordBuffer& buffer = ActiveBuffer();
  if (field.Calculated()) {
    buffer.calculated[static_cast<std::size_t>(field.FieldNo())] = value;
    return;
  }
  if (field.IsBlob()) {
    const std::string contents = value ? std::get<std::string>(*value) : std::string();
    auto stream = InternalCreateBlobStream(field, BlobStreamMode::Write);
    stream->Write(contents.data(), contents.size());
    stream->Commit();
    return;
  }
  if (value && field.DataType() == FieldType::String) {
    SetFieldData(field, buffer, FieldValue(Translate(std::get<std::string>(*value), true)));
  } else {
    SetFieldData(field, buffer, value);
  }
  if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
    modified_ = true;
    CalculateFields(buffer);
    SendEvent(DataEvent::FieldChange, &field);
  }
}

void TDataSet::CheckEditingState(const TField& field) const {
  CheckActive();
  if (field.Calculated()) {
    if (state_ != DataSetState::CalcFields) Fail(messages::FieldReadOnly(field.FieldName()));
    return;
  }
  if (state_ != DataSetState::Edit && state_ != DataSetState::Insert &&
      state_ != DataSetState::SetKey) {
    Fail(messages::kNotEditing);
  }
}

void TDataSet::CheckRequiredFields() const {
  for (const auto& field : fields_) {
    if (field->Required() && !field->Calculated() && field->IsNull()) {
      Fail(messages::FieldRequired(field->FieldName()));
    }
  }
}

void TDataSet::CheckCanModify() const {
  if (!GetCanModify()) Fail(messages::kReadOnly);
}

void TDataSet::CreateFields() {
  fields_.clear();
  int fieldNo = 0;
  for (const TFieldDef& def : fieldDefs_.Items())
    fields_.push_back(std::make_unique<TField>(*this, def, FieldKind::Data, ++fieldNo));
  int slot = 0;
  for (const TFieldDef& def : calculatedDefs_) {
    if (FindField(def.name)) Fail(messages::DuplicateField(def.name));
    fields_.push_back(std::make_unique<TField>(*this, def, FieldKind::Calculated, slot++));
  }
  for (std::size_t i = 0; i < fields_.size(); ++i)
    fields_[i]->index_ = static_cast<int>(i);
}

void TDataSet::DestroyFields() {
  fields_.clear();
}

RecordBuffer TDataSet::NewBuffer() const {
  RecordBuffer buffer;
  buffer.data.assign(GetRecordSize(), std::byte{0});
  buffer.calculated.assign(calculatedDefs_.size(), std::nullopt);
  return buffer;
}

void TDataSet::SetState(DataSetState state) {
  if (state == state_) return;
  state_ = state;
  SendEvent(DataEvent::UpdateState);
}

void TDataSet::Fire(const DataSetNotifyEvent& event) {
  if (event) event(*this);
}

void TDataSet::SendEvent(DataEvent event, const TField* field) {
  if (disableCount_ > 0) {
    eventsMissed_ = true;
    return;
  }
  const auto sources = sources_;  // a source may leave while told
  for (TDataSource* source : sources)
    source->DataEvent(event, field);
}

void TDataSet::CalculateFields(RecordBuffer& buffer) {
  if (calculatedDefs_.empty()) return;
  std::fill(buffer.calculated.begin(), buffer.calculated.end(), std::nullopt);
  if (!autoCalcFields_ || !OnCalcFields) return;
  BufferScope calculating(state_, scratch_, buffer, DataSetState::CalcFields);
  OnCalcFields(*this);
}

bool TDataSet::FetchInto(RecordBuffer& buffer, GetMode mode, bool doCheck) {
  switch (GetRecord(buffer, mode, doCheck)) {
    case GetResult::Ok:
      CalculateFields(buffer);
      return true;
    case GetResult::Error:
      if (doCheck) Fail(messages::kRecordBeyondRange);
      return false;
    case GetResult::Bof:
    case GetResult::Eof:
      break;
  }
  return false;
}

void TDataSet::ReadFirst() {
  InternalFirst();
  hasRecord_ = FetchInto(current_, GetMode::Next, true);
  bof_ = true;
  eof_ = !hasRecord_;
}

void TDataSet::ReadLast() {
  InternalLast();
  hasRecord_ = FetchInto(current_, GetMode::Prior, true);
  eof_ = true;
  bof_ = !hasRecord_;
}

bool TDataSet::Step(GetMode mode) {
  RecordBuffer next = NewBuffer();
  if (hasRecord_) InternalSetToRecord(current_);
  if (FetchInto(next, mode, true)) {
    current_ = std::move(next);
    hasRecord_ = true;
    return true;
  }
  if (hasRecord_) InternalSetToRecord(current_);
  return false;
}

void TDataSet::RunWithErrorHandler(const DataSetErrorEvent& handler,
                                   const std::function<void()>& step) {
  while (true) {
    try {
      step();
      return;
    } catch (const EAbort&) {
      throw;
    } catch (const platform::Exception& error) {
      if (!handler) throw;
      DataAction action = DataAction::Fail;
      handler(*this, error, action);
      if (action == DataAction::Fail) throw;
      if (action == DataAction::Abort) throw EAbort();
    }
  }
}

void TDataSet::AddSource(TDataSource& source) {
  if (std::find(sources_.begin(), sources_.end(), &source) == sources_.end()) {
    sources_.push_back(&source);
  }
}

void TDataSet::RemoveSource(TDataSource& source) {
  std::erase(sources_, &source);
}

}  // namespace db
