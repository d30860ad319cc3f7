#include "platform/native/shell_link_format.hpp"

#include <memory>
#include <string>
#include <string_view>

#include "platform/byte_order.hpp"
#include "platform/exception.hpp"
#include "platform/path_parts.hpp"

namespace platform {
namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
// {00021401-0000-0000-C000-000000000046} in its stored byte order.
constexpr std::uint8_t kLinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

namespace link_flag {
constexpr std::uint32_t HasLinkInfo = 0x02;
constexpr std::uint32_t HasName = 0x04;
constexpr std::uint32_t HasRelativePath = 0x08;
constexpr std::uint32_t HasWorkingDir = 0x10;
constexpr std::uint32_t HasArguments = 0x20;
}  // namespace link_flag

constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr std::uint32_t kVolumeIdHeaderSize = 0x10;
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint16_t kMaxCount = 0xFFFF;

class ByteWriter {
 public:
  void U16(std::uint16_t value) { AppendLE16(bytes_, value); }
  void U32(std::uint32_t value) { AppendLE32(bytes_, value); }
  void U64(std::uint64_t value) { AppendLE64(bytes_, value); }
  void Raw(const std::uint8_t* data, std::size_t size) {
    bytes_.insert(bytes_.end(), data, data + size);
  }
  void Text(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void TextWithNul(std::string_view text) {
    Text(text);
    bytes_.push_back(0);
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// The SW_ value IShellLink keeps: normal, maximized, or minimized without activation.
std::uint32_t StoredShowCommand(int showCommand) {
  switch (showCommand) {
    case show_mode::ShowMaximized:
      return show_mode::ShowMaximized;
    case show_mode::ShowMinimized:
    case show_mode::Minimize:
    case show_mode::ShowMinNoActive:
      return show_mode::ShowMinNoActive;
    default:
      return show_mode::ShowNormal;
  }
}

void CheckLength(std::string_view text, const char* what) {
  if (text.size() > kMaxCount) {
    throw Exception(std::string("The shortcut's ") + what + " is too long (" +
                    std::to_string(text.size()) + " characters; at most 65535)");
  }
}

void WriteHeader(ByteWriter& out, std::uint32_t flags, std::uint32_t showCommand) {
  out.U32(kHeaderSize);
  out.Raw(kLinkClassId, sizeof kLinkClassId);
  out.U32(flags);
  out.U32(0);  // attributes of the target
  out.U64(0);  // creation time
  out.U64(0);  // access time
  out.U64(0);  // write time
  out.U32(0);  // target size
  out.U32(0);  // icon index
  out.U32(showCommand);
  out.U16(0);  // hot key
  out.U16(0);  // reserved
  out.U32(0);
  out.U32(0);
}

// A LinkInfo with a VolumeID for a fixed drive without a label and the local base path.
void WriteLinkInfo(ByteWriter& out, std::string_view basePath) {
  const std::uint32_t volumeIdSize = kVolumeIdHeaderSize + 1;
  const std::uint32_t basePathOffset = kLinkInfoHeaderSize + volumeIdSize;
  const auto basePathSize = static_cast<std::uint32_t>(basePath.size() + 1);
  const std::uint32_t suffixOffset = basePathOffset + basePathSize;
  out.U32(suffixOffset + 1);  // whole LinkInfo, ending with an empty common path suffix
  out.U32(kLinkInfoHeaderSize);
  out.U32(kVolumeIdAndLocalBasePath);
  out.U32(kLinkInfoHeaderSize);  // VolumeID follows the header
  out.U32(basePathOffset);
  out.U32(0);  // no network location
  out.U32(suffixOffset);
  out.U32(volumeIdSize);
  out.U32(kDriveFixed);
  out.U32(0);  // drive serial number
  out.U32(kVolumeIdHeaderSize);
  out.TextWithNul("");  // volume label
  out.TextWithNul(basePath);
  out.TextWithNul("");  // common path suffix
}

void WriteCountedString(ByteWriter& out, std::string_view text) {
  out.U16(static_cast<std::uint16_t>(text.size()));
  out.Text(text);
}

}  // namespace

std::vector<std::uint8_t> ShellLinkBytes(const ShellLinkData& link) {
  CheckLength(link.path, "target path");
  CheckLength(link.arguments, "arguments");
  CheckLength(link.workingFolder, "working folder");
  CheckLength(link.description, "description");

  const bool absolute = HasDriveRoot(link.path);
  std::uint32_t flags = 0;
  if (absolute) flags |= link_flag::HasLinkInfo;
  if (!link.description.empty()) flags |= link_flag::HasName;
  if (!absolute && !link.path.empty()) flags |= link_flag::HasRelativePath;
  if (!link.workingFolder.empty()) flags |= link_flag::HasWorkingDir;
  if (!link.arguments.empty()) flags |= link_flag::HasArguments;

  ByteWriter out;
  WriteHeader(out, flags, StoredShowCommand(link.showCommand));
  if (flags & link_flag::HasLinkInfo) WriteLinkInfo(out, link.path);
  // String data in the order the format fixes: name, relative path, working folder, arguments.
  if (flags & link_flag::HasName) WriteCountedString(out, link.description);
  if (flags & link_flag::HasRelativePath) WriteCountedString(out, link.path);
  if (flags & link_flag::HasWorkingDir) WriteCountedString(out, link.workingFolder);
  if (flags & link_flag::HasArguments) WriteCountedString(out, link.arguments);
  out.U32(0);  // terminal block of the extra data
  return out.Take();
}

ErrorCode SaveShellLink(FileSystem& files, const ShellLinkData& link, std::string_view linkFile) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ShellLinkBytes(link);
  } catch (const Exception&) {
    return win_error::InvalidParameter;
  }
  std::unique_ptr<File> file;
  if (ErrorCode error = files.Open(linkFile, file_access::GenericWrite, file_share::None,
                                   Disposition::CreateAlways, file))
    return error;
  std::uint32_t written = 0;
  if (ErrorCode error =
          file->WriteAt(0, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written))
    return error;
  return written == bytes.size() ? win_error::Success : win_error::DiskFull;
}

}  // namespace platform
