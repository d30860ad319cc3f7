#include "platform/sddl.hpp"

#include <array>
#include <utility>

#include "platform/exception.hpp"
#include "platform/ini_text.hpp"

namespace platform {
namespace {

constexpr std::array<std::pair<std::string_view, std::uint8_t>, 4> kAceTypes = {{
    {"A", ace_type::AccessAllowed},
    {"D", ace_type::AccessDenied},
    {"AU", ace_type::SystemAudit},
    {"AL", ace_type::SystemAlarm},
}};

constexpr std::array<std::pair<std::string_view, std::uint8_t>, 7> kAceFlags = {{
    {"OI", ace_flag::ObjectInherit},
    {"CI", ace_flag::ContainerInherit},
    {"NP", ace_flag::NoPropagateInherit},
    {"IO", ace_flag::InheritOnly},
    {"ID", ace_flag::Inherited},
    {"SA", ace_flag::SuccessfulAccess},
    {"FA", ace_flag::FailedAccess},
}};

struct AclFlagBits {
  std::uint16_t isProtected, autoInherited, autoInheritReq;
};
constexpr AclFlagBits kDaclBits{sd_control::DaclProtected, sd_control::DaclAutoInherited,
                                sd_control::DaclAutoInheritReq};
constexpr AclFlagBits kSaclBits{sd_control::SaclProtected, sd_control::SaclAutoInherited,
                                sd_control::SaclAutoInheritReq};

[[noreturn]] void Malformed(std::string_view text, std::string_view what) {
  throw Exception("The security descriptor \"" + std::string(text) +
                  "\" is malformed: " + std::string(what));
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

std::string FlagsText(std::uint8_t flags) {
  std::uint8_t named = 0;
  std::string text;
  for (const auto& [letters, bit] : kAceFlags)
    if (flags & bit) {
      text += letters;
      named |= bit;
    }
  return named == flags ? text : IniHex(flags);
}

std::string AceText(const Ace& ace) {
  std::string type;
  for (const auto& [letters, value] : kAceTypes)
    if (value == ace.type) type = letters;
  if (type.empty()) type = IniHex(ace.type);
  const std::string flags = FlagsText(ace.flags);
  if (!Ace::HasMaskAndSid(ace.type))
    return "(" + type + ";" + flags + ";;;;#" + Hex(ace.body) + ")";
  return "(" + type + ";" + flags + ";" + IniHex(ace.mask) + ";;;" + ace.sid.Text() + ")";
}

std::string AclText(std::string_view tag, AclState state, const Acl& acl, std::uint16_t control,
                    const AclFlagBits& bits) {
  if (state == AclState::Missing) return {};
  std::string text(tag);
  if (control & bits.isProtected) text += "P";
  if (control & bits.autoInheritReq) text += "AR";
  if (control & bits.autoInherited) text += "AI";
  if (state == AclState::Null) return text + "NO_ACCESS_CONTROL";
  for (const auto& ace : acl.aces)
    text += AceText(ace);
  return text;
}

// Reads one descriptor text from left to right.
class SddlReader {
 public:
  explicit SddlReader(std::string_view text) : text_(text), rest_(text) {}

  SecurityDescriptor Read() {
    SecurityDescriptor descriptor;
    while (!rest_.empty()) {
      if (rest_.size() < 2 || rest_[1] != ':')
        Malformed(text_, "a section must start with O:, G:, D: or S:");
      const char tag = rest_[0];
      rest_.remove_prefix(2);
      switch (tag) {
        case 'O':
          descriptor.owner = ReadSid(TakeUntilSection());
          break;
        case 'G':
          descriptor.group = ReadSid(TakeUntilSection());
          break;
        case 'D':
          ReadAclSection(descriptor.daclState, descriptor.dacl, descriptor.control, kDaclBits);
          break;
        case 'S':
          ReadAclSection(descriptor.saclState, descriptor.sacl, descriptor.control, kSaclBits);
          break;
        default:
          Malformed(text_, "unknown section \"" + std::string(1, tag) + ":\"");
      }
    }
    return descriptor;
  }

 private:
  // A SID ends where the next "X:" section starts; a SID holds no colon.
  std::string_view TakeUntilSection() {
    const auto colon = rest_.find(':');
    const auto taken = rest_.substr(0, colon == std::string_view::npos ? rest_.size() : colon - 1);
    rest_.remove_prefix(taken.size());
    return taken;
  }

  Sid ReadSid(std::string_view text) {
    auto sid = ParseSidText(text);
    if (!sid) Malformed(text_, "\"" + std::string(text) + "\" is not a SID");
    return *sid;
  }

  void ReadAclSection(AclState& state, Acl& acl, std::uint16_t& control, const AclFlagBits& bits) {
    acl = Acl{};
    state = AclState::Present;
    while (!rest_.empty() && rest_[0] != '(' && !(rest_.size() > 1 && rest_[1] == ':')) {
      if (Take("P"))
        control |= bits.isProtected;
      else if (Take("AR"))
        control |= bits.autoInheritReq;
      else if (Take("AI"))
        control |= bits.autoInherited;
      else if (Take("NO_ACCESS_CONTROL"))
        state = AclState::Null;
      else
        Malformed(text_, "unknown access list flag at \"" + std::string(rest_) + "\"");
    }
    while (!rest_.empty() && rest_[0] == '(') {
      if (state == AclState::Null) Malformed(text_, "a null access list has no entries");
      const auto close = rest_.find(')');
      if (close == std::string_view::npos) Malformed(text_, "an entry has no closing parenthesis");
      acl.aces.push_back(ReadAce(rest_.substr(1, close - 1)));
      rest_.remove_prefix(close + 1);
    }
  }

  bool Take(std::string_view word) {
    if (rest_.substr(0, word.size()) != word) return false;
    rest_.remove_prefix(word.size());
    return true;
  }

  Ace ReadAce(std::string_view entry) {
    std::vector<std::string_view> fields;
    while (true) {
      const auto semicolon = entry.find(';');
      fields.push_back(entry.substr(0, semicolon));
      if (semicolon == std::string_view::npos) break;
      entry.remove_prefix(semicolon + 1);
    }
    if (fields.size() != 6) Malformed(text_, "an entry needs six fields");
    if (!fields[3].empty() || !fields[4].empty()) Malformed(text_, "object entries are not kept");
    Ace ace;
    ace.type = ReadType(fields[0]);
    ace.flags = ReadFlags(fields[1]);
    if (!Ace::HasMaskAndSid(ace.type)) {
      if (!fields[2].empty() || fields[5].empty() || fields[5][0] != '#')
        Malformed(text_, "an entry of another type holds \"#\" and its bytes in hexadecimal");
      ace.body = ReadHex(fields[5].substr(1));
      return ace;
    }
    const auto mask = ParseIniNumber(fields[2]);
    if (!mask || fields[2].substr(0, 2) != "0x")
      Malformed(text_, "\"" + std::string(fields[2]) + "\" is not a hexadecimal mask");
    ace.mask = *mask;
    ace.sid = ReadSid(fields[5]);
    return ace;
  }

  std::uint8_t ReadType(std::string_view text) {
    for (const auto& [letters, value] : kAceTypes)
      if (letters == text) return value;
    const auto number = ParseIniNumber(text);
    if (!number || *number > 0xFF)
      Malformed(text_, "unknown entry type \"" + std::string(text) + "\"");
    return static_cast<std::uint8_t>(*number);
  }

  std::uint8_t ReadFlags(std::string_view text) {
    if (text.substr(0, 2) == "0x") {
      const auto number = ParseIniNumber(text);
      if (!number || *number > 0xFF)
        Malformed(text_, "bad entry flags \"" + std::string(text) + "\"");
      return static_cast<std::uint8_t>(*number);
    }
    std::uint8_t flags = 0;
    while (!text.empty()) {
      bool known = false;
      for (const auto& [letters, bit] : kAceFlags)
        if (text.substr(0, 2) == letters) {
          flags |= bit;
          known = true;
        }
      if (!known) Malformed(text_, "unknown entry flag \"" + std::string(text.substr(0, 2)) + "\"");
      text.remove_prefix(2);
    }
    return flags;
  }

  std::vector<std::uint8_t> ReadHex(std::string_view text) {
    if (text.size() % 2 != 0) Malformed(text_, "hexadecimal bytes come in pairs");
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
      const auto number = ParseIniNumber("0x" + std::string(text.substr(i, 2)));
      if (!number)
        Malformed(text_, "\"" + std::string(text.substr(i, 2)) + "\" is not a hexadecimal byte");
      bytes.push_back(static_cast<std::uint8_t>(*number));
    }
    return bytes;
  }

  std::string_view text_;
  std::string_view rest_;
};

}  // namespace

std::string DescriptorToSddl(const SecurityDescriptor& descriptor) {
  std::string text;
  if (descriptor.owner) text += "O:" + descriptor.owner->Text();
  if (descriptor.group) text += "G:" + descriptor.group->Text();
  text += AclText("D:", descriptor.daclState, descriptor.dacl, descriptor.control, kDaclBits);
  text += AclText("S:", descriptor.saclState, descriptor.sacl, descriptor.control, kSaclBits);
  return text;
}

SecurityDescriptor DescriptorFromSddl(std::string_view text) {
  return SddlReader(text).Read();
}

}  // namespace platform
