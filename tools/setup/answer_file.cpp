#include "tools/setup/answer_file.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <sstream>

#include "app/whole_number.hpp"
#include "platform/exception.hpp"
#include "tools/setup/account_answers.hpp"

namespace setup_tool {
namespace {

constexpr std::array<AnswerKey, 8> kQuestionKeys{{
    {"Setup", "License", AnswerKind::AcceptDecline},
    {"Proxy", "UseProxy", AnswerKind::YesNo},
    {"Proxy", "Host", AnswerKind::Text},
    {"Proxy", "Port", AnswerKind::WholeNumber},
    {"Upgrade", "ImportSites", AnswerKind::YesNo},
    {"Finish", "StartNow", AnswerKind::YesNo},
    {"Security", "WidenRunKey", AnswerKind::YesNo},
    {"Security", "WidenPrograms", AnswerKind::YesNo},
}};

const std::vector<AnswerKey>& AllInstallerKeys() {
  static const std::vector<AnswerKey> keys = [] {
    std::vector<AnswerKey> all(kQuestionKeys.begin(), kQuestionKeys.end());
    const std::span<const AnswerKey> accounts = AccountAnswerKeys();
    all.insert(all.end(), accounts.begin(), accounts.end());
    return all;
  }();
  return keys;
}

constexpr std::string_view kNumberedSuffix = ".N";

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

// The section's name as its key declares it when name is that section ("user.3" for the
// declared "User.N" gives "User.3"); nothing otherwise.
std::optional<std::string> DeclaredSpelling(std::string_view declared, std::string_view name) {
  if (!declared.ends_with(kNumberedSuffix)) {
    if (Lower(declared) != Lower(name)) return std::nullopt;
    return std::string(declared);
  }
  const std::string_view stem = declared.substr(0, declared.size() - 1);  // "User."
  if (name.size() <= stem.size() || Lower(name.substr(0, stem.size())) != Lower(stem)) {
    return std::nullopt;
  }
  const std::string_view number = name.substr(stem.size());
  if (number.front() == '0' || !std::all_of(number.begin(), number.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
      })) {
    return std::nullopt;
  }
  return std::string(stem) + std::string(number);
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

  void Line(std::string_view text, std::map<std::string, std::string>& values,
            std::vector<std::string>& sections) {
    ++line_;
    text = Trim(text);
    if (text.empty() || text.front() == ';' || text.front() == '#') return;
    if (text.front() == '[') return Section(text, sections);
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
  void Section(std::string_view text, std::vector<std::string>& sections) {
    if (text.back() != ']') Fail("\"" + std::string(text) + "\" is not a section header");
    std::string_view name = Trim(text.substr(1, text.size() - 2));
    for (const AnswerKey& key : keys_) {
      if (std::optional<std::string> spelling = DeclaredSpelling(key.section, name)) {
        section_ = *spelling;
        declared_ = key.section;
        if (std::find(sections.begin(), sections.end(), section_) == sections.end()) {
          sections.push_back(section_);
        }
        return;
      }
    }
    Fail("unknown section [" + std::string(name) + "]");
  }

  const AnswerKey* FindKey(std::string_view key) const {
    for (const AnswerKey& known : keys_) {
      if (known.section == declared_ && Lower(known.key) == Lower(key)) return &known;
    }
    return nullptr;
  }

  std::string source_;
  std::span<const AnswerKey> keys_;
  std::string section_;
  std::string_view declared_;  // the section as its keys declare it ("User.N")
  int line_ = 0;
};

}  // namespace

std::span<const AnswerKey> InstallerAnswerKeys() {
  return AllInstallerKeys();
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
    parser.Line(text.substr(start, end - start), file.values_, file.sections_);
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
