#pragma once
// TComponent: the root of everything a form is built from. A component has a name and an
// owner (the form or component it belongs to); the owner lists its components so that they
// can be found by name and told when the form has been built.
//
// Components are normally members of their form class, declared in the order they are built:
//
//   class TStart : public forms::TForm {
//    public:
//     TStart();
//     forms::TGroupBox grpWelcome{*this, "grpWelcome"};
//   };
//
// Owners never delete their components: a component lives as long as the member (or other
// object) that holds it, and leaves its owner's list when it is destroyed.
#include <string>
#include <string_view>
#include <vector>

namespace forms {

class TComponent {
 public:
  explicit TComponent(TComponent* owner, std::string name = {});
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TComponent* Owner() const { return owner_; }
  // The owned components in the order they were created.
  const std::vector<TComponent*>& Components() const { return components_; }
  // A directly owned component by name (letter case ignored); nullptr when there is none.
  TComponent* FindComponent(std::string_view name) const;

  // Called once on every owned component (depth first) after the owning form has been built,
  // before its OnCreate event; components that need their final settings start up here.
  virtual void Loaded() {}
  void NotifyLoaded();

 private:
  TComponent* owner_;
  std::string name_;
  std::vector<TComponent*> components_;
};

// Compares two names the way component, control and field names are compared: ASCII letters
// without regard to case.
bool SameName(std::string_view a, std::string_view b);

}  // namespace forms
