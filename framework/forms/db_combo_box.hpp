#pragma once
// TDBComboBox: a combo box showing one field; the chosen or typed text is written to the
// field, and a record move shows the new record's value (selecting the matching item).
#include "framework/forms/combo_box.hpp"
#include "framework/forms/data_link.hpp"

namespace forms {

class TDBComboBox : public TComboBox {
 public:
  TDBComboBox(TWinControl& parent, std::string name);

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
