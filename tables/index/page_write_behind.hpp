#pragma once
// Gathers the pages a tree build writes, which come mostly in ascending order, and writes each
// unbroken stretch of them with one write instead of one write per page. A page allocated but
// not yet written when its stretch goes out (a node of an upper level still filling) is
// written alone when it comes. Nothing reaches the file before Flush or a page beyond the
// window; the owner flushes before anything else reads the file.
#include <bitset>
#include <cstdint>
#include <vector>

namespace tables {

class XBobjIndexFile;

class XbPageWriteBehind {
 public:
  explicit XbPageWriteBehind(XBobjIndexFile& file);

  // Takes the 512 bytes of the page at offset.
  void Write(std::uint32_t offset, const std::uint8_t* page);
  // Writes every page taken and not yet written.
  void Flush();

 private:
  static constexpr std::uint32_t kWindowPages = 128;

  XBobjIndexFile& file_;
  std::uint32_t base_ = 0;  // offset of the window's first page
  std::vector<std::uint8_t> window_;
  std::bitset<kWindowPages> taken_;
};

}  // namespace tables
