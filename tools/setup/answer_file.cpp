#include "tools/setup/answer_file.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <sstream>

#include "app/whole_number.hpp"
#include "platform/exception.hpp"

namespace setup_tool {
namespace {

constexpr std::array<AnswerKey, 8> kInstallerKeys{{
    {"Setup", "License", AnswerKind::AcceptDecline},
    {"Proxy", "UseProxy", AnswerKind::YesNo},
    {"Proxy", "Host", AnswerKind::Text},
    {"Proxy", "Port", AnswerKind::WholeNumber},
    {"Upgrade", "ImportSites", AnswerKind::YesNo},
    {"Finish", "StartNow", AnswerKind::YesNo},
    {"Security", "WidenRunKey", AnswerKind::YesNo},
    {"Security", "WidenPrograms", AnswerKind::YesNo},
}};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

// A value without the comment after it: a ';' after blanks starts one, as in the
// documented example "License=accept   ; accept or decline".
std::string_view WithoutComment(std::string_view value) {
  for (std::size_t at = 1; at < value.size(); ++at) {
    if (value[at] == ';' && std::isspace(static_cast<unsigned char>(value[at - 1]))) {
      return Trim(value.substr(0, at));
    }
  }
  return value;
}

std::string Slot(std::string_view section, std::string_view key) {
  return Lower(section) + "\n" + Lower(key);
}

// Why a value is not allowed for its kind; empty when it is.
std::string ValueProblem(AnswerKind kind, std::string_view value) {
  std::string lower = Lower(value);
  switch (kind) {
    case AnswerKind::YesNo:
      return (lower == "yes" || lower == "no") ? "" : "must be yes or no";
    case AnswerKind::AcceptDecline:
      return (lower == "accept" || lower == "decline") ? "" : "must be accept or decline";
    case AnswerKind::Text:
      return "";
    case AnswerKind::WholeNumber:
      return (value == kCancelAnswer || app::ParseWholeNumber(value).has_value())
                 ? ""
                 : "must be a whole number or " + std::string(kCancelAnswer);
  }
  return "";
}

class Parser {
 public:
  Parser(std::string_view source, std::span<const AnswerKey> keys) : source_(source), keys_(keys) {}

  [[noreturn]] void Fail(const std::string& problem) const {
    throw platform::Exception("Answer file " + source_ + ", line " + std::to_string(line_) + ": " +
                              problem);
  }

  void Line(std::string_view text, std::map<std::string, std::string>& values) {
    ++line_;
    text = Trim(text);
    if (text.empty() || text.front() == ';' || text.front() == '#') return;
    if (text.front() == '[') return Section(text);
    std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) Fail("\"" + std::string(text) + "\" is not key=value");
    if (section_.empty()) Fail("key outside a section");
    std::string_view key = Trim(text.substr(0, equals));
    std::string_view value = WithoutComment(Trim(text.substr(equals + 1)));
    const AnswerKey* known = FindKey(key);
    if (!known) Fail("unknown key " + std::string(key) + " in [" + section_ + "]");
    std::string problem = ValueProblem(known->kind, value);
    if (!problem.empty()) {
      Fail(std::string(known->key) + " " + problem + ", not \"" + std::string(value) + "\"");
    }
    if (!values.emplace(Slot(section_, key), std::string(value)).second) {
      Fail(std::string(known->key) + " in [" + section_ + "] is given twice");
    }
  }

 private:
  void Section(std::string_view text) {
    if (text.back() != ']') Fail("\"" + std::string(text) + "\" is not a section header");
    std::string_view name = Trim(text.substr(1, text.size() - 2));
    auto known = std::find_if(keys_.begin(), keys_.end(), [&](const AnswerKey& key) {
      return Lower(key.section) == Lower(name);
    });
    if (known == keys_.end()) Fail("unknown section [" + std::string(name) + "]");
    section_ = std::string(known->section);
  }

  const AnswerKey* FindKey(std::string_view key) const {
    for (const AnswerKey& known : keys_) {
      if (Lower(known.section) == Lower(section_) && Lower(known.key) == Lower(key)) {
        return &known;
      }
    }
    return nullptr;
  }

  std::string source_;
  std::span<const AnswerKey> keys_;
  std::string section_;
  int line_ = 0;
};

}  // namespace

std::span<const AnswerKey> InstallerAnswerKeys() {
  return kInstallerKeys;
}

AnswerFile AnswerFile::Parse(std::string_view text, std::string_view source,
                             std::span<const AnswerKey> keys) {
  AnswerFile file;
  file.source_ = std::string(source);
  Parser parser(source, keys);
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    parser.Line(text.substr(start, end - start), file.values_);
    start = end + 1;
  }
  return file;
}

AnswerFile AnswerFile::Load(const std::string& hostPath, std::span<const AnswerKey> keys) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) throw platform::Exception("Cannot read the answer file " + hostPath);
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(text.str(), hostPath, keys);
}

std::optional<std::string> AnswerFile::Find(std::string_view section, std::string_view key) const {
  auto found = values_.find(Slot(section, key));
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

}  // namespace setup_tool
