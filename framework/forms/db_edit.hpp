#pragma once
// TDBEdit: an edit box showing one field of the current record. What the user (or code)
// puts in the box is written to the field at once, putting the dataset in edit state first;
// a record move shows the new record's value. The field's size limits typing.
//
//   forms::TDBEdit UserNameEdit{GroupBox1, "UserNameEdit"};
//   UserNameEdit.SetDataSource(&UserSource);
//   UserNameEdit.SetDataField("UserName");
#include "framework/forms/data_link.hpp"
#include "framework/forms/edit.hpp"

namespace forms {

class TDBEdit : public TEdit {
 public:
  TDBEdit(TWinControl& parent, std::string name);

  db::TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(db::TDataSource* source) { link_.SetDataSource(source); }
  const std::string& DataField() const { return link_.DataField(); }
  void SetDataField(std::string field) { link_.SetDataField(std::move(field)); }
  const FieldDataLink& Link() const { return link_; }

  void Accept(ControlVisitor& visitor) override;

 protected:
  void Change() override;

 private:
  void Refresh();
  FieldDataLink link_;
};

}  // namespace forms
