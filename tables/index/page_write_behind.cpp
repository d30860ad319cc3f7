#include "tables/index/page_write_behind.hpp"

#include <cstring>

#include "tables/index/cdx_layout.hpp"
#include "tables/index/index_file.hpp"

namespace tables {

XbPageWriteBehind::XbPageWriteBehind(XBobjIndexFile& file)
    : file_(file), window_(std::size_t{kWindowPages} * kCdxPageSize) {}

void XbPageWriteBehind::Write(std::uint32_t offset, const std::uint8_t* page) {
  if (offset < base_) {
    file_.WriteBlock(offset, page, kCdxPageSize);
    return;
  }
  if (taken_.none()) base_ = offset;
  if ((offset - base_) / kCdxPageSize >= kWindowPages) {
    Flush();
    base_ = offset;
  }
  const std::uint32_t slot = (offset - base_) / kCdxPageSize;
  std::memcpy(window_.data() + std::size_t{slot} * kCdxPageSize, page, kCdxPageSize);
  taken_.set(slot);
}

void XbPageWriteBehind::Flush() {
  for (std::uint32_t first = 0; first < kWindowPages;) {
    if (!taken_.test(first)) {
      ++first;
      continue;
    }
    std::uint32_t end = first + 1;
    while (end < kWindowPages && taken_.test(end))
      ++end;
    file_.WriteBlock(base_ + first * kCdxPageSize,
                     window_.data() + std::size_t{first} * kCdxPageSize,
                     (end - first) * kCdxPageSize);
    first = end;
  }
  taken_.reset();
}

}  // namespace tables
