#include "framework/forms/page_control.hpp"

#include "framework/forms/control_visitor.hpp"

namespace forms {

TPageControl::TPageControl(TWinControl& parent, std::string name)
    : TWinControl(parent, std::move(name)) {
  SetTabStop(true);
}

std::vector<TTabSheet*> TPageControl::Pages() const {
  std::vector<TTabSheet*> pages;
  for (TControl* control : Controls()) {
    if (auto* sheet = dynamic_cast<TTabSheet*>(control)) pages.push_back(sheet);
  }
  return pages;
}

TTabSheet* TPageControl::ActivePage() const {
  if (activePage_) return activePage_;
  const auto pages = Pages();
  return pages.empty() ? nullptr : pages.front();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  activePage_ = page;
  Changed();
}

void TPageControl::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

bool TPageControl::ShowsChild(const TControl& child) const {
  return dynamic_cast<const TTabSheet*>(&child) == nullptr || &child == ActivePage();
}

TTabSheet::TTabSheet(TPageControl& pages, std::string name) : TWinControl(pages, std::move(name)) {}

TTabSheet::~TTabSheet() {
  if (TPageControl* pages = PageControl(); pages && pages->activePage_ == this) {
    pages->activePage_ = nullptr;
  }
}

TPageControl* TTabSheet::PageControl() const {
  return static_cast<TPageControl*>(Parent());
}

void TTabSheet::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

}  // namespace forms
