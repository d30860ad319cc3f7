#pragma once
// TzDesktop: the whole screen as a drawing area; its size is the screen's resolution.
namespace sysinfo {

class TzDesktop {
 public:
  TzDesktop();
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_;
  int height_;
};

}  // namespace sysinfo
