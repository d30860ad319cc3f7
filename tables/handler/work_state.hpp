#pragma once
// Puts a handler's work state to a kind of work and back to browsing however the work ends.
namespace tables {

class XbWorkStateScope {
 public:
  XbWorkStateScope(int& state, int work, int after) : state_(state), after_(after) {
    state_ = work;
  }
  ~XbWorkStateScope() { state_ = after_; }
  XbWorkStateScope(const XbWorkStateScope&) = delete;
  XbWorkStateScope& operator=(const XbWorkStateScope&) = delete;

 private:
  int& state_;
  int after_;
};

}  // namespace tables
