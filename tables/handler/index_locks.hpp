#pragma once
// The index locks of one record write: every open index file locked in slot order; a lock that
// cannot be had releases those taken and raises "Error %s in Lock of %s". Released in reverse
// order when the write ends.
#include <vector>

#include "tables/index/index_file.hpp"

namespace tables {

class XbIndexLocks {
 public:
  explicit XbIndexLocks(const std::vector<XBobjIndexFile*>& files);
  ~XbIndexLocks();
  XbIndexLocks(const XbIndexLocks&) = delete;
  XbIndexLocks& operator=(const XbIndexLocks&) = delete;

 private:
  void Release();
  std::vector<XBobjIndexFile*> taken_;
};

}  // namespace tables
