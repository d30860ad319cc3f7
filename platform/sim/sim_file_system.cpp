#include "platform/sim/sim_file_system.hpp"

#include <filesystem>

#include "platform/native/windows_path.hpp"

namespace platform::sim {
namespace {

// Windows paths onto the drive folders of the machine.
class SimPathMapper final : public PathMapper {
 public:
  explicit SimPathMapper(const SimContext& context) : context_(context) {}

  ErrorCode Map(std::string_view path, LastPart last, MappedPath& result) override {
    WindowsPath parsed;
    const SimDrive* drive = nullptr;
    const ErrorCode error = Locate(path, last, parsed, drive);
    if (error != win_error::Success) return error;
    const std::string root = drive->hostFolder.string();
    result = ResolveUnder(root, parsed.components);
    // "C:\WINDOWS\" searched for: the folder is named, nothing in it is.
    if (last == LastPart::Pattern && parsed.trailingSeparator) {
      result.folder = result.host;
      result.parentExists = result.exists && std::filesystem::is_directory(result.host);
      result.name.clear();
      result.givenName.clear();
      result.exists = false;
      result.isRoot = false;
      result.folderIsRoot = parsed.components.empty();
    }
    result.readOnlyVolume = drive->kind == DriveKind::CdRom;
    return win_error::Success;
  }

  ErrorCode FullPath(std::string_view path, std::string& result) override {
    result.clear();
    WindowsPath parsed;
    const ErrorCode error = ParseWindowsPath(path, context_.currentFolder, LastPart::Name, parsed);
    if (error == win_error::Success) result = parsed.Text();
    return error;
  }

  ErrorCode VolumeFileSystem(std::string_view root, std::string& name) override {
    name.clear();
    WindowsPath parsed;
    const SimDrive* drive = nullptr;
    const ErrorCode error = Locate(root, LastPart::Name, parsed, drive);
    if (error == win_error::Success) name = drive->fileSystem;
    return error;
  }

 private:
  ErrorCode Locate(std::string_view path, LastPart last, WindowsPath& parsed,
                   const SimDrive*& drive) const {
    const ErrorCode error = ParseWindowsPath(path, context_.currentFolder, last, parsed);
    if (error != win_error::Success) return error;
    drive = context_.FindDrive(parsed.drive);
    if (!drive) return win_error::PathNotFound;
    if (drive->kind == DriveKind::CdRom && !std::filesystem::is_directory(drive->hostFolder)) {
      return win_error::NotReady;
    }
    return win_error::Success;
  }

  const SimContext& context_;
};

}  // namespace

SimFileSystem::SimFileSystem(const SimContext& context)
    : HostFileSystem(std::make_unique<SimPathMapper>(context)), context_(context) {}

ErrorCode SimFileSystem::Open(std::string_view path, std::uint32_t access, std::uint32_t share,
                              Disposition disposition, std::unique_ptr<File>& result) {
  const bool changes = (access & file_access::GenericWrite) != 0 ||
                       disposition == Disposition::CreateAlways ||
                       disposition == Disposition::TruncateExisting;
  if (changes && IsRunningExecutable(path)) {
    result.reset();
    return win_error::SharingViolation;
  }
  return HostFileSystem::Open(path, access, share, disposition, result);
}

ErrorCode SimFileSystem::Copy(std::string_view source, std::string_view target, bool failIfExists) {
  // A missing source and an existing target under failIfExists are told first, as ever.
  std::uint32_t attributes = 0;
  const ErrorCode sourceState = Attributes(source, attributes);
  const bool refusedAnyway = sourceState != win_error::Success || (failIfExists && Exists(target));
  if (!refusedAnyway && IsRunningExecutable(target)) return win_error::SharingViolation;
  return HostFileSystem::Copy(source, target, failIfExists);
}

ErrorCode SimFileSystem::Remove(std::string_view path) {
  // The mapped image of a running program cannot be deleted: DeleteFile answers access denied,
  // not the sharing violation a write or copy meets.
  if (Exists(path) && IsRunningExecutable(path)) return win_error::AccessDenied;
  std::string full;
  FullPath(path, full);
  const ErrorCode error = HostFileSystem::Remove(path);
  if (error == win_error::Success) TellRemoved(full);
  return error;
}

ErrorCode SimFileSystem::RemoveFolder(std::string_view path) {
  std::string full;
  FullPath(path, full);
  const ErrorCode error = HostFileSystem::RemoveFolder(path);
  if (error == win_error::Success) TellRemoved(full);
  return error;
}

ErrorCode SimFileSystem::Rename(std::string_view from, std::string_view to) {
  std::string fullFrom;
  std::string fullTo;
  FullPath(from, fullFrom);
  FullPath(to, fullTo);
  const ErrorCode error = HostFileSystem::Rename(from, to);
  if (error == win_error::Success && context_.objectMoved) context_.objectMoved(fullFrom, fullTo);
  return error;
}

void SimFileSystem::TellRemoved(const std::string& fullPath) const {
  if (context_.objectRemoved) context_.objectRemoved(fullPath);
}

bool SimFileSystem::IsRunningExecutable(std::string_view path) {
  if (!context_.isRunningExecutable) return false;
  std::string full;
  return FullPath(path, full) == win_error::Success && context_.isRunningExecutable(full);
}

}  // namespace platform::sim
