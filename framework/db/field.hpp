#pragma once
// TField: one column of an open dataset, reading and writing the value of the active record
// (the current record, the record being edited or inserted, the record a filter or the
// calculation of calculated fields is looking at). Values convert between the field's type
// and text, integers (32 and 64 bits), floating point, truth values and date-times; a field
// without a value is null. Data fields are made from the dataset's field definitions when it
// opens; calculated fields are declared before opening and filled by OnCalcFields.
//
//   users.FieldByName("UserName").SetAsString("PARENT");
//   bool blocked = users.FieldByName("Porn").AsBoolean();
#include <cstdint>
#include <string>

#include "framework/db/field_def.hpp"

namespace db {

class TDataSet;

enum class FieldKind { Data, Calculated };

class TField {
 public:
  TField(TDataSet& dataSet, TFieldDef def, FieldKind kind, int fieldNo);
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  TDataSet& DataSet() const { return dataSet_; }
  const std::string& FieldName() const { return def_.name; }
  FieldType DataType() const { return def_.type; }
  int Size() const { return def_.size; }
  bool Required() const { return def_.required; }
  FieldKind Kind() const { return kind_; }
  bool Calculated() const { return kind_ == FieldKind::Calculated; }
  // 1-based position among the dataset's field definitions; 0 for a calculated field.
  int FieldNo() const { return fieldNo_; }
  // The position in the dataset's field list.
  int Index() const { return index_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool IsBlob() const { return IsBlobType(def_.type); }
  // The field is part of the key of the dataset's current index.
  bool IsIndexField() const;

  bool IsNull() const { return !Value().has_value(); }
  // The value of the active record in this field's type (the text of a memo or blob).
  OptionalValue Value() const;
  // Conversions of the value; a null value reads as empty text, 0, false or date 0.
  // EConvertError / ERangeError when the value does not convert.
  std::string AsString() const;
  std::int32_t AsInteger() const;
  std::int64_t AsLargeInt() const;
  double AsFloat() const;
  bool AsBoolean() const;
  TDateTime AsDateTime() const;

  // Writes in edit, insert (and set-key) state only. A value is converted to the field's
  // type; a string longer than the field is cut to its size.
  void SetValue(const OptionalValue& value);
  void SetAsString(std::string_view text);
  void SetAsInteger(std::int32_t value) { SetValue(FieldValue(std::int64_t{value})); }
  void SetAsLargeInt(std::int64_t value) { SetValue(FieldValue(value)); }
  void SetAsFloat(double value) { SetValue(FieldValue(value)); }
  void SetAsBoolean(bool value) { SetValue(FieldValue(value)); }
  void SetAsDateTime(const TDateTime& value) { SetValue(FieldValue(value)); }
  void Clear() { SetValue(std::nullopt); }

  // The value converted to this field's type (shared with the dataset when it stores values).
  FieldValue Converted(const FieldValue& value) const;

 private:
  friend class TDataSet;
  TDataSet& dataSet_;
  TFieldDef def_;
  FieldKind kind_;
  int fieldNo_;
  int index_ = 0;
  bool readOnly_ = false;
};

}  // namespace db
