#pragma once
// Backends render controls and feed input to them through this visitor. A data-aware control
// reaches its plain counterpart unless the visitor overrides its own entry.
namespace forms {

class TForm;
class TLabel;
class TButton;
class TBitBtn;
class TEdit;
class TDBEdit;
class TCheckBox;
class TDBCheckBox;
class TComboBox;
class TDBComboBox;
class TGroupBox;
class TRichEdit;
class TImage;
class TPageControl;
class TTabSheet;

class ControlVisitor {
 public:
  virtual ~ControlVisitor() = default;
  virtual void Visit(TForm& form) = 0;
  virtual void Visit(TLabel& label) = 0;
  virtual void Visit(TButton& button) = 0;
  virtual void Visit(TBitBtn& button);
  virtual void Visit(TEdit& edit) = 0;
  virtual void Visit(TDBEdit& edit);
  virtual void Visit(TCheckBox& box) = 0;
  virtual void Visit(TDBCheckBox& box);
  virtual void Visit(TComboBox& box) = 0;
  virtual void Visit(TDBComboBox& box);
  virtual void Visit(TGroupBox& box) = 0;
  virtual void Visit(TRichEdit& edit) = 0;
  virtual void Visit(TImage& image) = 0;
  virtual void Visit(TPageControl& pages) = 0;
  virtual void Visit(TTabSheet& sheet) = 0;
};

}  // namespace forms
