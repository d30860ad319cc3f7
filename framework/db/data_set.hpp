#pragma once
// TDataSet: the dataset base class. It keeps the state machine (inactive, browse, edit,
// insert, set key and the transient calc-fields and filter states), the field objects, the
// record buffers, bookmarks, the events and the data sources bound to it; a derived class
// supplies the records through the protected hooks: open and close the cursor, fetch records
// into buffers, read and write field data of a buffer, post, delete, bookmarks and blob
// streams.
//
// Moving to another record posts a pending edit first. The current record lives in one buffer;
// Edit keeps a copy of it so that Cancel restores it. The events fire in this order:
//   Open:   BeforeOpen, (fields built, first record read), AfterOpen
//   moves:  BeforeScroll, (move), AfterScroll
//   Insert: BeforeInsert, BeforeScroll, OnNewRecord, AfterInsert, AfterScroll
//   Edit:   BeforeEdit, AfterEdit;  Post: BeforePost, AfterPost;  Cancel: BeforeCancel,
//   AfterCancel;  Delete: BeforeDelete, BeforeScroll, AfterDelete, AfterScroll;
//   Close:  BeforeClose, AfterClose.
// Every record read (and every refetch after a change) computes the calculated fields through
// OnCalcFields; a derived class that filters asks RecordAccepted, which calls OnFilterRecord.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/db/blob_stream.hpp"
#include "framework/db/data_set_types.hpp"
#include "framework/db/database_error.hpp"
#include "framework/db/field.hpp"
#include "framework/db/index_def.hpp"
#include "framework/db/record_buffer.hpp"

namespace db {

class TDataSource;

using DataSetNotifyEvent = std::function<void(TDataSet&)>;
using FilterRecordEvent = std::function<void(TDataSet&, bool& accept)>;
using DataSetErrorEvent =
    std::function<void(TDataSet&, const std::exception& error, DataAction& action)>;

class TDataSet {
 public:
  explicit TDataSet(std::string name = {});
  virtual ~TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  const std::string& Name() const { return name_; }
  DataSetState State() const { return state_; }
  bool Active() const { return state_ != DataSetState::Inactive; }
  void SetActive(bool active);
  void Open();
  void Close();

  // Fields. Calculated fields are added while closed and kept across opens.
  const TFieldDefs& FieldDefs() const { return fieldDefs_; }
  const std::vector<std::unique_ptr<TField>>& Fields() const { return fields_; }
  TField* FindField(std::string_view name) const;
  TField& FieldByName(std::string_view name) const;  // EDatabaseError "Field 'X' not found"
  void AddCalculatedField(std::string name, FieldType type, int size = 0);
  bool AutoCalcFields() const { return autoCalcFields_; }
  void SetAutoCalcFields(bool on) { autoCalcFields_ = on; }

  // Navigation. Eof: a move ran past the last record (or the dataset is empty); Bof likewise.
  void First();
  void Last();
  void Next();
  void Prior();
  // Moves up to `distance` records (negative: backwards); returns how many it moved.
  int MoveBy(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const;
  int RecordCount() const;
  // The current record's number (0 without a stored record); SetRecNo moves to record n.
  int RecNo() const;
  void SetRecNo(int recNo);
  // Reads the current record again from the cursor.
  void Refresh();

  // Editing.
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // Posts a pending edit or insert; nothing in browse state.
  void CheckBrowseMode();
  // A field was written since Edit / Insert.
  bool Modified() const { return modified_; }
  bool CanModify() const { return GetCanModify(); }

  // Bookmarks: empty when there is no current record.
  TBookmark GetBookmark() const;
  void GotoBookmark(const TBookmark& bookmark);
  virtual bool BookmarkValid(const TBookmark& bookmark) = 0;
  // Negative, 0 or positive; an empty bookmark sorts first, two empty ones are equal.
  virtual int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

  // Searching. `keyFields` names one or more fields separated by ";", one value per field
  // (null matches a null field). Locate makes the first match current; Lookup returns the
  // values of `resultFields` of the first match and stays where it is.
  virtual bool Locate(std::string_view keyFields, const std::vector<OptionalValue>& values,
                      LocateOptions options = {});
  virtual std::optional<std::vector<OptionalValue>> Lookup(std::string_view keyFields,
                                                           const std::vector<OptionalValue>& values,
                                                           std::string_view resultFields);

  // Filtering: while Filtered, only records OnFilterRecord (and the derived class's Filter
  // text) accepts are visible. Changing either while open goes to the first record.
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool filtered);
  const std::string& Filter() const { return filter_; }
  void SetFilter(std::string filter);

  // The indexes the dataset can order by, as the dataset reports them now.
  const std::vector<TIndexDef>& IndexDefs();

  // Enters the set-key state: fields write into a blank search key buffer until Cancel or a
  // search of the derived class ends it.
  void SetKey();

  // While disabled (calls nest) the data sources hear nothing; enabling tells them once that
  // the data changed.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }

  // A stream over a memo or blob field of the active record. Writing needs edit or insert state.
  std::unique_ptr<TBlobStream> CreateBlobStream(const TField& field, BlobStreamMode mode);

  DataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  DataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  DataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  DataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  DataSetNotifyEvent OnNewRecord, OnCalcFields;
  FilterRecordEvent OnFilterRecord;
  DataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

 protected:
  // --- The cursor (derived classes) ---
  // Opens the cursor; must call InitFieldDefsAndFields once the field definitions can be
  // built. InternalClose closes it; the base frees the fields afterwards.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  // Fills FieldDefsToFill() with one definition per column.
  virtual void InternalInitFieldDefs() = 0;
  // Places the cursor before the first / after the last record.
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  // Reads the record `mode` names into `buffer` (record image, bookmark and flag). With
  // `doCheck`, a failing read raises instead of returning Error.
  virtual GetResult GetRecord(RecordBuffer& buffer, GetMode mode, bool doCheck) = 0;
  // Bytes of the record image of a buffer.
  virtual std::size_t GetRecordSize() const = 0;
  // A blank new record.
  virtual void InternalInitRecord(RecordBuffer& buffer) = 0;
  // Puts the cursor on the record a buffer holds.
  virtual void InternalSetToRecord(const RecordBuffer& buffer) = 0;
  virtual void InternalGotoBookmark(const TBookmark& bookmark) = 0;
  virtual TBookmark GetBookmarkData(const RecordBuffer& buffer) const = 0;
  virtual BookmarkFlag GetBookmarkFlag(const RecordBuffer& buffer) const = 0;
  virtual void SetBookmarkFlag(RecordBuffer& buffer, BookmarkFlag flag) = 0;
  // The value of a data field in a buffer, in the field's type (a non-null value of any type
  // for a memo or blob that has contents); nothing when null.
  virtual OptionalValue GetFieldData(const TField& field, const RecordBuffer& buffer) const = 0;
  // Stores a value already converted to the field's type.
  virtual void SetFieldData(const TField& field, RecordBuffer& buffer,
                            const OptionalValue& value) = 0;
  // Edit is starting on the current record: lock it and re-read it into `buffer` if needed.
  virtual void InternalEdit(RecordBuffer& buffer);
  // Stores the buffer: in place in Edit state, as a new record in Insert state (its bookmark
  // flag tells Before/Inserted or Eof for Append); afterwards the cursor is on that record.
  virtual void InternalPost(RecordBuffer& buffer) = 0;
  // Edit or insert is given up (unlock); the base restores the buffers.
  virtual void InternalCancel(RecordBuffer& buffer);
  // Deletes the current record; the cursor then stands where the next record is.
  virtual void InternalDelete(RecordBuffer& buffer) = 0;
  // Drops whatever the cursor holds in memory, before Refresh re-reads.
  virtual void InternalRefresh();
  virtual int GetRecordCount() const = 0;
  // The record number a buffer holds.
  virtual int GetRecNo(const RecordBuffer& buffer) const = 0;
  // Moves the cursor to record n (the base then reads it); raises when there is none.
  virtual void InternalSetRecNo(int recNo) = 0;
  virtual bool GetCanModify() const { return true; }
  virtual std::unique_ptr<TBlobStream> InternalCreateBlobStream(const TField& field,
                                                                BlobStreamMode mode);
  // Filtering was switched or its text changed.
  virtual void FilterChanged();
  // Text of string fields as stored and as shown differ (a code page): `toStored` converts
  // a shown text for storing, else a stored one for showing. The base keeps texts as they are.
  virtual std::string Translate(std::string_view text, bool toStored) const;
  // Fills IndexDefsToFill() with the dataset's indexes (none by default).
  virtual void UpdateIndexDefs();
  virtual bool GetIsIndexField(const TField& field) const;

  // --- Helpers for derived classes ---
  TFieldDefs& FieldDefsToFill() { return fieldDefs_; }
  std::vector<TIndexDef>& IndexDefsToFill() { return indexDefs_; }
  void InitFieldDefsAndFields();
  // The buffer fields read and write now.
  RecordBuffer& ActiveBuffer();
  const RecordBuffer& ActiveBuffer() const;
  RecordBuffer& KeyBuffer() { return keyBuffer_; }
  // Asks OnFilterRecord about a fetched buffer (true when none is set).
  bool RecordAccepted(RecordBuffer& buffer);
  // Ends the set-key state of a search.
  void EndKeyEdit();
  // The field was changed through a blob stream: mark modified and tell the controls.
  void BlobFieldChanged(const TField& field);
  // Checks shared by operations that need an open dataset (a derived class adds its own).
  virtual void CheckActive() const;
  [[noreturn]] void Fail(std::string_view message) const;
  // Re-reads the current record after the cursor was moved by the derived class.
  void Resync();
  // A move of the derived class's own (a key search): leaves edit mode, fires the scroll
  // events around `moveCursor` and makes the record the cursor then stands on current.
  void MoveCursor(const std::function<void()>& moveCursor);

 private:
  friend class TField;
  friend class TDataSource;

  OptionalValue FieldValueOf(const TField& field);
  void StoreFieldValue(const TField& field, const OptionalValue& value);
  void CheckEditingState(const TField& field) const;
  void CheckRequiredFields() const;
  void CheckCanModify() const;
  void CreateFields();
  void DestroyFields();
  RecordBuffer NewBuffer() const;
  void SetState(DataSetState state);
  void Fire(const DataSetNotifyEvent& event);
  void SendEvent(DataEvent event, const TField* field = nullptr);
  void CalculateFields(RecordBuffer& buffer);
  bool FetchInto(RecordBuffer& buffer, GetMode mode, bool doCheck);
  void ReadFirst();
  void ReadLast();
  bool Step(GetMode mode);
  void BeginInsert(BookmarkFlag flag);
  void RunWithErrorHandler(const DataSetErrorEvent& handler, const std::function<void()>& step);
  std::optional<RecordBuffer> FindMatch(std::string_view keyFields,
                                        const std::vector<OptionalValue>& values,
                                        LocateOptions options);
  bool Matches(RecordBuffer& candidate, const std::vector<TField*>& keys,
               const std::vector<OptionalValue>& values, LocateOptions options);
  std::vector<TField*> FieldList(std::string_view names) const;
  void AddSource(TDataSource& source);
  void RemoveSource(TDataSource& source);

  std::string name_;
  DataSetState state_ = DataSetState::Inactive;
  TFieldDefs fieldDefs_;
  std::vector<TIndexDef> indexDefs_;
  std::vector<TFieldDef> calculatedDefs_;
  std::vector<std::unique_ptr<TField>> fields_;
  bool autoCalcFields_ = true;
  RecordBuffer current_;             // the current record (or the record being edited or inserted)
  RecordBuffer saved_;               // current_ as it was before Edit or Insert
  RecordBuffer keyBuffer_;           // search key of the set-key state
  RecordBuffer* scratch_ = nullptr;  // a fetched buffer fields are looking at
  bool hasRecord_ = false;           // current_ holds a stored record
  bool savedHadRecord_ = false;
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;
  bool filtered_ = false;
  std::string filter_;
  int disableCount_ = 0;
  bool eventsMissed_ = false;
  DataSetState stateWhenDisabled_ = DataSetState::Inactive;
  std::vector<TDataSource*> sources_;
};

}  // namespace db
