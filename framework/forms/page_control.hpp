#pragma once
// TPageControl: tabbed pages. Each TTabSheet is built with the page control as its parent and
// holds the page's controls; the active page is the one shown.
//
//   forms::TPageControl pagecontrolSetup{*this, "pagecontrolSetup"};
//   forms::TTabSheet tabsheetSetup{pagecontrolSetup, "tabsheetSetup"};
//   forms::TLabel lblInstructions{tabsheetSetup, "lblInstructions"};
#include <vector>

#include "framework/forms/control.hpp"

namespace forms {

class TTabSheet;

class TPageControl : public TWinControl {
 public:
  TPageControl(TWinControl& parent, std::string name);

  std::vector<TTabSheet*> Pages() const;
  // The first sheet until another is chosen; nullptr without sheets.
  TTabSheet* ActivePage() const;
  void SetActivePage(TTabSheet* page);

  void Accept(ControlVisitor& visitor) override;

 protected:
  bool ShowsChild(const TControl& child) const override;

 private:
  friend class TTabSheet;
  TTabSheet* activePage_ = nullptr;
};

class TTabSheet : public TWinControl {
 public:
  TTabSheet(TPageControl& pages, std::string name);
  ~TTabSheet() override;
  TPageControl* PageControl() const;
  void Accept(ControlVisitor& visitor) override;
};

}  // namespace forms
