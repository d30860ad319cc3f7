#pragma once
// TDBCheckBox: a check box showing one field. A logical field is shown and written as a truth
// value; any other field is checked when its text equals ValueChecked and written as
// ValueChecked / ValueUnchecked (letter case ignored when comparing; several accepted texts
// may be given separated by ";", the first is the one written).
//
//   forms::TDBCheckBox DBCheckBox4{Categorybox1, "DBCheckBox4"};
//   DBCheckBox4.SetCaption("Adult Subjects");
//   DBCheckBox4.SetDataSource(&UserSource);
//   DBCheckBox4.SetDataField("Adult");
//   DBCheckBox4.SetValueChecked("Y");
//   DBCheckBox4.SetValueUnchecked("N");
#include "framework/forms/check_box.hpp"
#include "framework/forms/data_link.hpp"

namespace forms {

class TDBCheckBox : public TCheckBox {
 public:
  TDBCheckBox(TWinControl& parent, std::string name);

  db::TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(db::TDataSource* source) { link_.SetDataSource(source); }
  const std::string& DataField() const { return link_.DataField(); }
  void SetDataField(std::string field) { link_.SetDataField(std::move(field)); }
  const std::string& ValueChecked() const { return valueChecked_; }
  void SetValueChecked(std::string text);
  const std::string& ValueUnchecked() const { return valueUnchecked_; }
  void SetValueUnchecked(std::string text);
  const FieldDataLink& Link() const { return link_; }

  void Accept(ControlVisitor& visitor) override;

 protected:
  void Click() override;

 private:
  void Refresh();
  std::string valueChecked_ = "True";
  std::string valueUnchecked_ = "False";
  FieldDataLink link_;
};

}  // namespace forms
