#include "tables/index/single_index_build.hpp"

#include "tables/storage/xbase_error.hpp"

namespace tables {

void XbOpenSingleIndexFile(XBobjIndexFile& file, const std::string& path, XbIndexOpenMode mode) {
  XBO_DiskFile& disk = file.diskFile();
  if (!file.table().machine().files().Exists(path)) {
    if (!mode.create) ReportError(xb_code::FileNotFound, xb_sub::OwnText, path);
    disk.Create(path, mode.shared, true);
    return;
  }
  disk.Open(path, mode.shared, mode.writable);
}

void XbRefuseUnsupported(const XbTagDefinition& definition, std::string_view kind,
                         bool descendingAllowed) {
  if (definition.general) {
    throw EXbaseError(std::string(kind) + " index files have no GENERAL collation");
  }
  if (!definition.ascending && !descendingAllowed) {
    throw EXbaseError(std::string(kind) + " index files have no descending order");
  }
  if (definition.keyExpression.empty()) throw EXbaseError("The index needs a key expression");
}

void XbCheckKeyLength(int length, int maximum) {
  if (length == 0) throw EXbaseError("The key expression gives an empty text: key length 0");
  if (length > maximum) {
    throw EXbaseError("Key length " + std::to_string(length) + " greater than " +
                      std::to_string(maximum) + " bytes");
  }
}

XbSingleIndexRewrite::XbSingleIndexRewrite(XBobjIndexFile& file, std::function<void()> forgetPages)
    : file_(file), forgetPages_(std::move(forgetPages)) {
  XBO_DiskFile& disk = file_.diskFile();
  if (!disk.writable()) {
    throw EXbaseError(disk.path() + ": writing the index needs the file opened writable",
                      xb_code::AccessDenied);
  }
  if (disk.shared() && !disk.LockFile()) {
    throw EXbaseError("Error " + std::to_string(disk.LastError()) + " in Lock of " + disk.path());
  }
}

XbSingleIndexRewrite::~XbSingleIndexRewrite() {
  XBO_DiskFile& disk = file_.diskFile();
  if (started_ && !done_) {
    try {
      disk.TruncateAt(0);
      if (!old_.empty()) disk.WriteAt(0, old_.data(), static_cast<std::uint32_t>(old_.size()));
      forgetPages_();
      file_.ResetNextPage();
    } catch (...) {
      // The build's own error is the one reported; this is the best that can be done.
    }
  }
  if (disk.shared() && disk.lockCount() > 0) disk.Unlock();
}

void XbSingleIndexRewrite::Start(std::uint32_t headerSize) {
  XBO_DiskFile& disk = file_.diskFile();
  const std::uint64_t size = disk.FileSize();
  old_.resize(size);
  if (size > 0) disk.ReadAt(0, old_.data(), static_cast<std::uint32_t>(size));
  started_ = true;
  disk.TruncateAt(0);
  forgetPages_();
  const std::vector<std::uint8_t> header(headerSize, 0);
  file_.WriteBlock(0, header.data(), headerSize);
  file_.ResetNextPage();
}

void XbTakeSortedKeys(TxbSort& sort, XBobjIndexFile& file,
                      const std::function<void(std::string_view, std::int32_t)>& take) {
  const std::int64_t count = sort.keysAdded();
  file.StatusReport({2, XbBuildStatus::Event::Start, count});
  TxbVariant key;
  std::int32_t record = 0;
  for (std::int64_t ordinal = 1; sort.Next(key, record); ++ordinal) {
    take(key.bytes(), record);
    file.StatusReport({2, XbBuildStatus::Event::Step, ordinal});
  }
  file.StatusReport({2, XbBuildStatus::Event::End, count});
}

}  // namespace tables
