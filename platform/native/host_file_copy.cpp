#include "platform/native/host_file_copy.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "platform/native/host_errors.hpp"
#include "platform/native/host_file.hpp"

namespace platform {
namespace {

constexpr std::uint32_t kChunkSize = 64 * 1024;

ErrorCode CopyContents(File& source, File& target) {
  std::vector<char> chunk(kChunkSize);
  for (std::uint64_t offset = 0;;) {
    std::uint32_t read = 0;
    ErrorCode result = source.ReadAt(offset, chunk.data(), kChunkSize, read);
    if (result != win_error::Success) return result;
    if (read == 0) return win_error::Success;
    std::uint32_t written = 0;
    result = target.WriteAt(offset, chunk.data(), read, written);
    if (result != win_error::Success) return result;
    offset += read;
  }
}

// The target takes the source's last-write time and permission bits (its read-only
// attribute) once its contents are in place.
ErrorCode CopyTimeAndMode(const struct stat& source, const std::string& target) {
  const timespec times[2] = {source.st_atim, source.st_mtim};
  if (utimensat(AT_FDCWD, target.c_str(), times, 0) != 0) return ErrorFromErrno(errno);
  if (chmod(target.c_str(), source.st_mode & 07777) != 0) return ErrorFromErrno(errno);
  return win_error::Success;
}

}  // namespace

ErrorCode CopyHostFile(const MappedPath& source, const MappedPath& target, bool failIfExists) {
  if (!source.exists) {
    return source.parentExists ? win_error::FileNotFound : win_error::PathNotFound;
  }
  struct stat sourceStatus {};
  if (stat(source.host.c_str(), &sourceStatus) != 0) return ErrorFromErrno(errno);
  if (S_ISDIR(sourceStatus.st_mode)) return win_error::AccessDenied;
  if (!target.parentExists) return win_error::PathNotFound;
  if (target.exists && failIfExists) return win_error::FileExists;
  if (target.readOnlyVolume) return win_error::AccessDenied;

  std::unique_ptr<File> input;
  ErrorCode result = OpenHostFile(source, file_access::GenericRead, file_share::ReadWrite,
                                  Disposition::OpenExisting, input);
  if (result != win_error::Success) return result;
  std::unique_ptr<File> output;
  result = OpenHostFile(target, file_access::GenericWrite, file_share::None,
                        failIfExists ? Disposition::CreateNew : Disposition::CreateAlways, output);
  if (result != win_error::Success) return result;
  result = CopyContents(*input, *output);
  output.reset();
  if (result != win_error::Success) return result;
  return CopyTimeAndMode(sourceStatus, target.host);
}

}  // namespace platform
