#include "tables/handler/index_locks.hpp"

namespace tables {

XbIndexLocks::XbIndexLocks(const std::vector<XBobjIndexFile*>& files) {
  for (XBobjIndexFile* file : files) {
    try {
      file->Lock();
    } catch (...) {
      Release();
      throw;
    }
    taken_.push_back(file);
  }
}

XbIndexLocks::~XbIndexLocks() {
  Release();
}

void XbIndexLocks::Release() {
  for (auto file = taken_.rbegin(); file != taken_.rend(); ++file)
    (*file)->Unlock();
  taken_.clear();
}

}  // namespace tables
