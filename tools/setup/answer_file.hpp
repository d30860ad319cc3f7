#pragma once
// The answer file of an unattended installation: an INI file whose sections and keys answer
// the installer's questions. Only known sections and keys are accepted, and each value is
// checked against what its question allows when the file is read, so that a bad answer stops
// the run before anything on the machine changes.
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace setup_tool {

// What a key's value may be.
enum class AnswerKind {
  YesNo,          // yes | no
  AcceptDecline,  // accept | decline
  Text,           // any text; "<cancel>" cancels the input box
  WholeNumber,    // a whole number; "<cancel>" cancels the input box
};

// A section ending in ".N" ("User.N") stands for the numbered sections "User.1", "User.2", ...
struct AnswerKey {
  std::string_view section;
  std::string_view key;
  AnswerKind kind;
};

// The keys of the installer's questions: [Setup] License, [Proxy] UseProxy, Host, Port,
// [Upgrade] ImportSites, [Finish] StartNow, the administrator's choices [Security]
// WidenRunKey and WidenPrograms, and the accounts of the user-account form ([Parent],
// [Guest], [User.N]; account_answers.hpp).
std::span<const AnswerKey> InstallerAnswerKeys();

inline constexpr std::string_view kCancelAnswer = "<cancel>";

class AnswerFile {
 public:
  // Parses INI text. `source` names the file in error messages. Unknown sections or keys, a
  // key given twice, a line that is neither a section, a key nor a comment, and values their
  // key does not allow raise platform::Exception.
  static AnswerFile Parse(std::string_view text, std::string_view source,
                          std::span<const AnswerKey> keys = InstallerAnswerKeys());
  // Reads a host file.
  static AnswerFile Load(const std::string& hostPath,
                         std::span<const AnswerKey> keys = InstallerAnswerKeys());

  // The value as written (trimmed), or nothing when the key is absent.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  const std::string& Source() const { return source_; }
  // The sections of the file in the order they first appear, spelled as their keys declare
  // them ("User.2" for "[user.2]").
  const std::vector<std::string>& Sections() const { return sections_; }

 private:
  std::string source_;
  std::vector<std::string> sections_;
  // "section\nkey" in lower case -> value.
  std::map<std::string, std::string> values_;
};

}  // namespace setup_tool
