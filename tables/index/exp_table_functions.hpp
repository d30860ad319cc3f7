#pragma once
// The functions and variables a table link registers: RECNO, DELETED, BOF, EOF, TYPE and one
// variable per field.
#include <string_view>

#include "tables/index/exp_registry.hpp"

namespace tables {

class TxbDBFExpUserLink;
class XbRecordSource;

// Current record number (Number).
class TxblDBFRecNo : public TxbUserDefFunction {
 public:
  explicit TxblDBFRecNo(TxbDBFExpUserLink& link) : link_(link) {}
  std::string_view Name() const override { return "RECNO"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;

 private:
  TxbDBFExpUserLink& link_;
};

// Deletion mark of the current record (Boolean).
class TxblDBFDeleted : public TxbUserDefFunction {
 public:
  explicit TxblDBFDeleted(TxbDBFExpUserLink& link) : link_(link) {}
  std::string_view Name() const override { return "DELETED"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;

 private:
  TxbDBFExpUserLink& link_;
};

// The table's begin-of-file flag (Boolean).
class TxblDBFBOF : public TxbUserDefFunction {
 public:
  explicit TxblDBFBOF(TxbDBFExpUserLink& link) : link_(link) {}
  std::string_view Name() const override { return "BOF"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;

 private:
  TxbDBFExpUserLink& link_;
};

// The table's end-of-file flag (Boolean).
class TxblDBFEOF : public TxbUserDefFunction {
 public:
  explicit TxblDBFEOF(TxbDBFExpUserLink& link) : link_(link) {}
  std::string_view Name() const override { return "EOF"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;

 private:
  TxbDBFExpUserLink& link_;
};

// TYPE(name): the one-letter type of the named field as Text; "U" when the table has no such
// field.
class TxblDBFType : public TxbUserDefFunction {
 public:
  explicit TxblDBFType(TxbDBFExpUserLink& link) : link_(link) {}
  std::string_view Name() const override { return "TYPE"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;

 private:
  TxbDBFExpUserLink& link_;
};

// One field of the table (kind 17), read from the current record by its type letter: C raw
// text, D day (Date), F/N number, L logical, M memo text; other letters give the raw text
// with type 9.
class TxblDBFFieldVars : public TxbUserDefFieldVar {
 public:
  TxblDBFFieldVars(XbRecordSource& table, int field);
  int Kind() const override;
  bool Value(TxbExpValue& value, std::uint8_t& type) override;
  int Field() const { return field_; }
  XbRecordSource& Table() const { return table_; }

 private:
  XbRecordSource& table_;
  int field_;
  char letter_;
};

}  // namespace tables
