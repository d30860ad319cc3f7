#include "platform/reg_file.hpp"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/exception.hpp"

namespace platform {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kHexLineLimit = 77;  // a hex line breaks once it reaches this column

struct RootName {
  KeyHandle root;
  std::string_view name;
};
constexpr RootName kRoots[] = {{hkey::ClassesRoot, "HKEY_CLASSES_ROOT"},
                               {hkey::CurrentUser, "HKEY_CURRENT_USER"},
                               {hkey::LocalMachine, "HKEY_LOCAL_MACHINE"},
                               {hkey::Users, "HKEY_USERS"}};

// ---- export ----

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

// A REG_SZ whose bytes are exactly one line of text and a single NUL is written as a string;
// anything else would not survive the trip, so it is written as hex(1).
bool PlainString(const std::vector<std::uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  return std::none_of(data.begin(), data.end() - 1,
                      [](std::uint8_t b) { return b == 0 || b == '\r' || b == '\n'; });
}

std::string HexData(std::string_view prefix, const std::vector<std::uint8_t>& data) {
  std::string out(prefix);
  std::size_t column = out.size();
  for (std::size_t i = 0; i < data.size(); ++i) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", data[i]);
    out += digits;
    column += 2;
    if (i + 1 == data.size()) break;
    out += ',';
    ++column;
    if (column >= kHexLineLimit) {
      out += "\\\r\n  ";
      column = 2;
    }
  }
  return out;
}

std::string ValueLine(const std::string& name, ValueType type,
                      const std::vector<std::uint8_t>& data) {
  const std::string left = name.empty() ? "@=" : "\"" + Escaped(name) + "\"=";
  if (type == ValueType::String && PlainString(data))
    return left + "\"" + Escaped(StringFromData(data)) + "\"";
  if (type == ValueType::Dword && data.size() == 4) {
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", DwordFromData(data));
    return left + text;
  }
  if (type == ValueType::Binary) return HexData(left + "hex:", data);
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
  return HexData(left + prefix, data);
}

void Check(ErrorCode error, const std::string& path) {
  if (error != win_error::Success)
    throw Exception("Cannot read the registry key " + path + " (error " + std::to_string(error) +
                    ")");
}

void ExportKey(Registry& registry, KeyHandle key, const std::string& path, std::string& out) {
  out += "[" + path + "]";
  out += kLineEnd;
  std::string name;
  ValueType type = ValueType::None;
  std::vector<std::uint8_t> data;
  for (std::uint32_t i = 0;; ++i) {
    const ErrorCode error = registry.EnumValue(key, i, name, &type, &data);
    if (error == win_error::NoMoreItems) break;
    Check(error, path);
    out += ValueLine(name, type, data);
    out += kLineEnd;
  }
  out += kLineEnd;
  std::vector<std::string> children;
  for (std::uint32_t i = 0;; ++i) {
    const ErrorCode error = registry.EnumKey(key, i, name);
    if (error == win_error::NoMoreItems) break;
    Check(error, path);
    children.push_back(name);
  }
  for (const auto& child : children) {
    const std::string childPath = path + "\\" + child;
    KeyHandle handle = 0;
    Check(registry.OpenKey(key, child, key_access::Read, handle), childPath);
    ExportKey(registry, handle, childPath, out);
    registry.CloseKey(handle);
  }
}

// ---- import ----

class Importer {
 public:
  Importer(Registry& registry, std::string_view text, std::string_view source)
      : registry_(registry), source_(source) {
    SplitLines(text);
  }
  ~Importer() { CloseCurrent(); }
  Importer(const Importer&) = delete;
  Importer& operator=(const Importer&) = delete;

  void Run() {
    std::size_t index = 0;
    while (index < lines_.size() && Trimmed(lines_[index]).empty())
      ++index;
    if (index == lines_.size() || Trimmed(lines_[index]) != kHeader)
      Fail(index, "the text does not start with \"REGEDIT4\"");
    for (++index; index < lines_.size(); ++index) {
      const std::string_view line = TrimmedLeft(lines_[index]);
      if (Trimmed(line).empty() || line.front() == ';') continue;
      if (line.front() == '[')
        OpenSection(index, Trimmed(line));
      else
        ReadValue(index);
    }
  }

 private:
  static std::string_view TrimmedLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
      text.remove_prefix(1);
    return text;
  }
  static std::string_view Trimmed(std::string_view text) {
    text = TrimmedLeft(text);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
      text.remove_suffix(1);
    return text;
  }

  void SplitLines(std::string_view text) {
    while (!text.empty()) {
      auto end = text.find('\n');
      std::string_view line = text.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
    }
  }

  [[noreturn]] void Fail(std::size_t index, const std::string& message) const {
    throw Exception(std::string(source_) + ", line " + std::to_string(index + 1) + ": " + message);
  }

  void CloseCurrent() {
    if (current_) registry_.CloseKey(current_);
    current_ = 0;
  }

  void OpenSection(std::size_t index, std::string_view line) {
    CloseCurrent();
    if (line.back() != ']') Fail(index, "a key line must end with \"]\"");
    const std::string_view path = line.substr(1, line.size() - 2);
    const std::string_view rootName = path.substr(0, path.find('\\'));
    KeyHandle root = 0;
    if (!RootKeyFromName(rootName, root))
      Fail(index, "unknown root key \"" + std::string(rootName) + "\"");
    const std::string_view subKey =
        rootName.size() < path.size() ? path.substr(rootName.size() + 1) : std::string_view();
    const ErrorCode error = registry_.CreateKey(root, subKey, key_access::AllAccess, current_);
    if (error != win_error::Success) {
      current_ = 0;
      Fail(index, "cannot create the key (error " + std::to_string(error) + ")");
    }
  }

  // A quoted text with \\ and \" escapes; `pos` ends after the closing quote.
  std::string QuotedText(std::size_t index, std::string_view line, std::size_t& pos) const {
    std::string text;
    for (++pos; pos < line.size(); ++pos) {
      if (line[pos] == '"') {
        ++pos;
        return text;
      }
      if (line[pos] == '\\' && pos + 1 < line.size()) ++pos;
      text += line[pos];
    }
    Fail(index, "a quoted text has no closing quote");
  }

  void ReadValue(std::size_t& index) {
    if (!current_) Fail(index, "a value line comes before any key line");
    const std::size_t first = index;
    const std::string_view line = TrimmedLeft(lines_[index]);
    std::size_t pos = 0;
    std::string name;
    if (line.front() == '@')
      pos = 1;
    else if (line.front() == '"')
      name = QuotedText(index, line, pos);
    else
      Fail(index, "a value line must start with a quoted name or \"@\"");
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
      ++pos;
    if (pos >= line.size() || line[pos] != '=') Fail(index, "\"=\" expected after the name");
    std::string data(Trimmed(line.substr(pos + 1)));
    while (!data.empty() && data.back() == '\\' && data.rfind("hex", 0) == 0) {
      data.pop_back();
      if (++index == lines_.size()) Fail(first, "the hex data breaks off at the end of the text");
      data += Trimmed(lines_[index]);
    }
    ValueType type = ValueType::None;
    const std::vector<std::uint8_t> bytes = ParseData(first, data, type);
    const ErrorCode error = registry_.SetValue(current_, name, type, bytes);
    if (error != win_error::Success)
      Fail(first, "cannot set the value (error " + std::to_string(error) + ")");
  }

  std::vector<std::uint8_t> ParseData(std::size_t index, std::string_view data,
                                      ValueType& type) const {
    if (!data.empty() && data.front() == '"') {
      std::size_t pos = 0;
      const std::string text = QuotedText(index, data, pos);
      if (pos != data.size()) Fail(index, "unexpected text after the closing quote");
      type = ValueType::String;
      return StringData(text);
    }
    if (data.rfind("dword:", 0) == 0) {
      type = ValueType::Dword;
      return DwordData(static_cast<std::uint32_t>(HexNumber(index, data.substr(6), 8)));
    }
    if (data.rfind("hex:", 0) == 0) {
      type = ValueType::Binary;
      return HexBytes(index, data.substr(4));
    }
    if (data.rfind("hex(", 0) == 0) {
      const auto close = data.find("):");
      if (close == std::string_view::npos) Fail(index, "\"):\" expected after hex(");
      type = static_cast<ValueType>(HexNumber(index, data.substr(4, close - 4), 8));
      return HexBytes(index, data.substr(close + 2));
    }
    Fail(index, "unknown value data \"" + std::string(data) + "\"");
  }

  std::uint64_t HexNumber(std::size_t index, std::string_view digits, std::size_t most) const {
    digits = Trimmed(digits);
    if (digits.empty() || digits.size() > most) Fail(index, "bad hexadecimal number");
    std::uint64_t value = 0;
    for (char c : digits) {
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) Fail(index, "bad hexadecimal number \"" + std::string(digits) + "\"");
      value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    return value;
  }

  std::vector<std::uint8_t> HexBytes(std::size_t index, std::string_view text) const {
    std::vector<std::uint8_t> bytes;
    text = Trimmed(text);
    while (!text.empty()) {
      const auto comma = text.find(',');
      const std::string_view item = text.substr(0, comma);
      bytes.push_back(static_cast<std::uint8_t>(HexNumber(index, item, 2)));
      if (comma == std::string_view::npos) break;
      text.remove_prefix(comma + 1);
      text = Trimmed(text);
    }
    return bytes;
  }

  Registry& registry_;
  std::string_view source_;
  std::vector<std::string_view> lines_;
  KeyHandle current_ = 0;
};

}  // namespace

std::string_view RootKeyName(KeyHandle root) {
  for (const auto& entry : kRoots)
    if (entry.root == root) return entry.name;
  throw Exception("Not a predefined registry root: " + std::to_string(root));
}

bool RootKeyFromName(std::string_view name, KeyHandle& root) {
  for (const auto& entry : kRoots) {
    if (entry.name.size() == name.size() &&
        std::equal(name.begin(), name.end(), entry.name.begin(), [](char a, char b) {
          return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b;
        })) {
      root = entry.root;
      return true;
    }
  }
  return false;
}

std::string ExportRegistryRoot(Registry& registry, KeyHandle root) {
  std::string out(kHeader);
  out += kLineEnd;
  out += kLineEnd;
  ExportKey(registry, root, std::string(RootKeyName(root)), out);
  return out;
}

void ImportRegistryText(Registry& registry, std::string_view text, std::string_view source) {
  Importer(registry, text, source).Run();
}

}  // namespace platform
