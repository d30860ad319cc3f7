#include "platform/native/host_file_system.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/native/host_attributes.hpp"
#include "platform/native/host_descriptor.hpp"
#include "platform/native/host_errors.hpp"
#include "platform/native/host_file.hpp"
#include "platform/native/host_file_copy.hpp"
#include "platform/native/host_find.hpp"
#include "platform/native/share_mode_locks.hpp"

namespace platform {
namespace {

ErrorCode MissingError(const MappedPath& path) {
  return path.parentExists ? win_error::FileNotFound : win_error::PathNotFound;
}

bool StatusOf(const std::string& host, struct stat& status) {
  return stat(host.c_str(), &status) == 0;
}

// Runs a delete or rename of an existing file unless a handle refuses deletion; a file
// carrying the read-only attribute cannot be deleted, but it can be renamed.
ErrorCode WhenFileDeletable(const MappedPath& path, bool refuseReadOnly,
                            const std::function<ErrorCode()>& action) {
  bool writable = false;
  const int fd = OpenPreferringWrite(path.host, 0, true, writable);
  if (fd < 0) return ErrorFromErrno(errno, path.parentExists);
  HostDescriptor descriptor(fd);
  struct stat status {};
  if (fstat(fd, &status) != 0) return ErrorFromErrno(errno);
  if (refuseReadOnly && (status.st_mode & S_IWUSR) == 0) return win_error::AccessDenied;
  return WhenDeletable(fd, writable, action);
}

ErrorCode HostResult(int returned, const MappedPath& path) {
  return returned == 0 ? win_error::Success : ErrorFromErrno(errno, path.parentExists);
}

// Creates every missing folder along a host path whose first missing component is below an
// existing folder.
ErrorCode MakeHostFolders(const std::string& host) {
  for (std::size_t slash = host.find('/', 1);; slash = host.find('/', slash + 1)) {
    const std::string prefix = host.substr(0, slash);
    if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return ErrorFromErrno(errno, false);
    if (slash == std::string::npos) return win_error::Success;
  }
}

}  // namespace

HostFileSystem::HostFileSystem(std::unique_ptr<PathMapper> mapper) : mapper_(std::move(mapper)) {}

ErrorCode HostFileSystem::Open(std::string_view path, std::uint32_t access, std::uint32_t share,
                               Disposition disposition, std::unique_ptr<File>& result) {
  result.reset();
  MappedPath mapped;
  const ErrorCode error = mapper_->Map(path, LastPart::Name, mapped);
  if (error != win_error::Success) return error;
  return OpenHostFile(mapped, access, share, disposition, result, writeTime_);
}

ErrorCode HostFileSystem::Attributes(std::string_view path, std::uint32_t& attributes) {
  attributes = file_attribute::Invalid;
  MappedPath mapped;
  const ErrorCode error = mapper_->Map(path, LastPart::Name, mapped);
  if (error != win_error::Success) return error;
  struct stat status {};
  if (!mapped.exists || !StatusOf(mapped.host, status)) return MissingError(mapped);
  attributes = AttributesFromHost(status);
  return win_error::Success;
}

ErrorCode HostFileSystem::Copy(std::string_view source, std::string_view target,
                               bool failIfExists) {
  MappedPath from, to;
  ErrorCode error = mapper_->Map(source, LastPart::Name, from);
  if (error != win_error::Success) return error;
  error = mapper_->Map(target, LastPart::Name, to);
  if (error != win_error::Success) return error;
  return CopyHostFile(from, to, failIfExists);
}

ErrorCode HostFileSystem::Remove(std::string_view path) {
  MappedPath mapped;
  const ErrorCode error = mapper_->Map(path, LastPart::Name, mapped);
  if (error != win_error::Success) return error;
  struct stat status {};
  if (!mapped.exists || !StatusOf(mapped.host, status)) return MissingError(mapped);
  if (S_ISDIR(status.st_mode) || mapped.readOnlyVolume) return win_error::AccessDenied;
  return WhenFileDeletable(mapped, true,
                           [&] { return HostResult(unlink(mapped.host.c_str()), mapped); });
}

ErrorCode HostFileSystem::Rename(std::string_view from, std::string_view to) {
  MappedPath source, target;
  ErrorCode error = mapper_->Map(from, LastPart::Name, source);
  if (error != win_error::Success) return error;
  error = mapper_->Map(to, LastPart::Name, target);
  if (error != win_error::Success) return error;
  struct stat sourceStatus {
  }, targetStatus{};
  if (!source.exists || !StatusOf(source.host, sourceStatus)) return MissingError(source);
  if (source.isRoot || target.isRoot || source.readOnlyVolume || target.readOnlyVolume) {
    return win_error::AccessDenied;
  }
  if (!target.parentExists) return win_error::PathNotFound;
  // A target that resolves to the source itself is a change of the name's case.
  const bool sameFile = target.exists && StatusOf(target.host, targetStatus) &&
                        targetStatus.st_dev == sourceStatus.st_dev &&
                        targetStatus.st_ino == sourceStatus.st_ino;
  if (target.exists && !sameFile) return win_error::AlreadyExists;
  const std::string destination = JoinHostPath(target.folder, target.givenName);
  const auto move = [&] {
    const unsigned flags = sameFile ? 0 : RENAME_NOREPLACE;
    const int returned =
        renameat2(AT_FDCWD, source.host.c_str(), AT_FDCWD, destination.c_str(), flags);
    if (returned != 0 && errno == EEXIST) return win_error::AlreadyExists;
    return HostResult(returned, target);
  };
  if (S_ISDIR(sourceStatus.st_mode)) return move();
  return WhenFileDeletable(source, false, move);
}

ErrorCode HostFileSystem::MakeFolder(std::string_view path) {
  MappedPath mapped;
  const ErrorCode error = mapper_->Map(path, LastPart::Name, mapped);
  if (error != win_error::Success) return error;
  struct stat status {};
  if (mapped.exists && StatusOf(mapped.host, status)) {
    return S_ISDIR(status.st_mode) ? win_error::Success : win_error::AlreadyExists;
  }
  if (mapped.readOnlyVolume) return win_error::AccessDenied;
  return MakeHostFolders(mapped.host);
}

ErrorCode HostFileSystem::RemoveFolder(std::string_view path) {
  MappedPath mapped;
  const ErrorCode error = mapper_->Map(path, LastPart::Name, mapped);
  if (error != win_error::Success) return error;
  struct stat status {};
  if (!mapped.exists || !StatusOf(mapped.host, status)) return MissingError(mapped);
  if (mapped.isRoot || !S_ISDIR(status.st_mode) || mapped.readOnlyVolume) {
    return win_error::AccessDenied;
  }
  return HostResult(rmdir(mapped.host.c_str()), mapped);
}

ErrorCode HostFileSystem::Find(std::string_view pattern, std::vector<FindData>& result) {
  result.clear();
  MappedPath mapped;
  const ErrorCode error = mapper_->Map(pattern, LastPart::Pattern, mapped);
  if (error != win_error::Success) return error;
  return FindHostEntries(mapped, result);
}

ErrorCode HostFileSystem::FullPath(std::string_view path, std::string& result) {
  return mapper_->FullPath(path, result);
}

ErrorCode HostFileSystem::VolumeFileSystem(std::string_view root, std::string& name) {
  return mapper_->VolumeFileSystem(root, name);
}

std::string HostFileSystem::HostPath(std::string_view path) {
  MappedPath mapped;
  if (mapper_->Map(path, LastPart::Name, mapped) != win_error::Success) return {};
  return mapped.host;
}

}  // namespace platform
