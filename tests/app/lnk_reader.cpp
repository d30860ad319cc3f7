#include "lnk_reader.hpp"

namespace app_test {
namespace {

constexpr std::uint32_t kHasTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasRelativePath = 0x08;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kIsUnicode = 0x80;

class Cursor {
 public:
  explicit Cursor(const std::string& bytes) : bytes_(bytes) {}
  bool Has(std::size_t count) const { return at_ + count <= bytes_.size(); }
  std::uint32_t U8(std::size_t at) const { return static_cast<std::uint8_t>(bytes_[at]); }
  std::uint32_t U16At(std::size_t at) const { return U8(at) | U8(at + 1) << 8; }
  std::uint32_t U32At(std::size_t at) const { return U16At(at) | U16At(at + 2) << 16; }
  std::size_t Position() const { return at_; }
  void Skip(std::size_t count) { at_ += count; }
  // A NUL-terminated ANSI string starting at an absolute offset.
  std::string CString(std::size_t at) const {
    std::string text;
    while (at < bytes_.size() && bytes_[at] != '\0')
      text += bytes_[at++];
    return text;
  }
  // A counted string of the string data: 16-bit count, then the characters.
  std::optional<std::string> Counted(bool unicode) {
    if (!Has(2)) return std::nullopt;
    std::size_t count = U16At(at_);
    at_ += 2;
    std::size_t width = unicode ? 2 : 1;
    if (!Has(count * width)) return std::nullopt;
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
      text += bytes_[at_ + i * width];
    at_ += count * width;
    return text;
  }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

}  // namespace

std::optional<LinkContents> ReadLink(const std::string& bytes) {
  Cursor cursor(bytes);
  if (!cursor.Has(76) || cursor.U32At(0) != 0x4C || cursor.U32At(4) != 0x00021401) {
    return std::nullopt;
  }
  LinkContents link;
  link.flags = cursor.U32At(20);
  link.showCommand = cursor.U32At(60);
  cursor.Skip(76);
  if (link.flags & kHasTargetIdList) {
    if (!cursor.Has(2)) return std::nullopt;
    cursor.Skip(2 + cursor.U16At(cursor.Position()));
  }
  if (link.flags & kHasLinkInfo) {
    std::size_t start = cursor.Position();
    if (!cursor.Has(20)) return std::nullopt;
    std::size_t size = cursor.U32At(start);
    link.localBasePath = cursor.CString(start + cursor.U32At(start + 16));
    cursor.Skip(size);
  }
  bool unicode = link.flags & kIsUnicode;
  struct Field {
    std::uint32_t flag;
    std::string* target;
  };
  for (const Field& field :
       {Field{kHasName, &link.description}, Field{kHasRelativePath, &link.relativePath},
        Field{kHasWorkingDir, &link.workingFolder}, Field{kHasArguments, &link.arguments}}) {
    if (!(link.flags & field.flag)) continue;
    std::optional<std::string> text = cursor.Counted(unicode);
    if (!text) return std::nullopt;
    *field.target = *text;
  }
  return link;
}

}  // namespace app_test
