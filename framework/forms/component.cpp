#include "framework/forms/component.hpp"

#include <algorithm>
#include <cctype>

namespace forms {

TComponent::TComponent(TComponent* owner, std::string name)
    : owner_(owner), name_(std::move(name)) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  // Components outliving their owner must not reach back into it.
  for (TComponent* component : components_)
    component->owner_ = nullptr;
  if (owner_) std::erase(owner_->components_, this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  auto found = std::find_if(components_.begin(), components_.end(),
                            [&](const TComponent* c) { return SameName(c->Name(), name); });
  return found == components_.end() ? nullptr : *found;
}

void TComponent::NotifyLoaded() {
  // A copy: a component starting up may create or destroy others.
  const std::vector<TComponent*> components = components_;
  for (TComponent* component : components) {
    component->NotifyLoaded();
    component->Loaded();
  }
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace forms
