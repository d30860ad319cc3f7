#pragma once
// What the single and multiple index files of the other families share when they are opened
// and written anew: opening or creating the disk file, checking a definition the format can
// hold, and rewriting a file under the whole-file lock with its old bytes put back when the
// build fails, so that a failed build loses nothing.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/index_file.hpp"
#include "tables/index/txb_sort.hpp"

namespace tables {

// Opens path as mode says; a missing file is created empty only with mode.create, else the
// engine's error 2 is raised.
void XbOpenSingleIndexFile(XBobjIndexFile& file, const std::string& path, XbIndexOpenMode mode);

// Raises for what the kind of file cannot hold: GENERAL collation, and descending tags where
// descendingAllowed is false; also for an empty key expression.
void XbRefuseUnsupported(const XbTagDefinition& definition, std::string_view kind,
                         bool descendingAllowed);
// Raises for a key length of 0 or above maximum.
void XbCheckKeyLength(int length, int maximum);

// Takes every key out of sort in order, handing it to take(key bytes, record) and reporting
// phase 2 of file's build.
void XbTakeSortedKeys(TxbSort& sort, XBobjIndexFile& file,
                      const std::function<void(std::string_view, std::int32_t)>& take);

class XbSingleIndexRewrite {
 public:
  // Needs the file writable; takes the whole-file lock of a shared file.
  XbSingleIndexRewrite(XBobjIndexFile& file, std::function<void()> forgetPages);
  // Puts the old bytes back unless Done was called; releases the lock.
  ~XbSingleIndexRewrite();
  XbSingleIndexRewrite(const XbSingleIndexRewrite&) = delete;
  XbSingleIndexRewrite& operator=(const XbSingleIndexRewrite&) = delete;

  // Keeps the old bytes, truncates the file to a zeroed header of headerSize bytes and makes
  // new pages start after it.
  void Start(std::uint32_t headerSize);
  void Done() { done_ = true; }

 private:
  XBobjIndexFile& file_;
  std::function<void()> forgetPages_;
  std::vector<std::uint8_t> old_;
  bool started_ = false;
  bool done_ = false;
};

}  // namespace tables
