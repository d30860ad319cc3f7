#include "tools/setup/account_answers.hpp"

#include <algorithm>
#include <cctype>

#include "app/user_account_rules.hpp"

namespace setup_tool {
namespace {

constexpr std::string_view kParent = "Parent";
constexpr std::string_view kGuest = "Guest";
constexpr std::string_view kAddedUser = "User.N";
constexpr std::string_view kAddedUserStem = "User.";

constexpr std::array<std::string_view, 7> kCategories{"Porn",  "Adult",  "Violence", "Hate",
                                                      "Drugs", "Gamble", "Weapon"};

std::vector<AnswerKey> SectionKeys(std::string_view section) {
  const bool added = section == kAddedUser;
  std::vector<AnswerKey> keys;
  if (added) keys.push_back({section, "Name", AnswerKind::Text});
  if (section != kGuest) {
    keys.push_back({section, "Password", AnswerKind::Text});
    keys.push_back({section, "Confirm", AnswerKind::Text});
  }
  keys.push_back({section, "Age", AnswerKind::Text});
  for (std::string_view category : kCategories)
    keys.push_back({section, category, AnswerKind::YesNo});
  if (added) keys.push_back({section, "Submit", AnswerKind::YesNo});
  keys.push_back({section, "Logit", AnswerKind::YesNo});
  keys.push_back({section, "WordBlock", AnswerKind::YesNo});
  if (added) keys.push_back({section, "Cancel", AnswerKind::YesNo});
  return keys;
}

bool IsYes(std::string_view value) {
  return value.size() == 3 && std::tolower(static_cast<unsigned char>(value[0])) == 'y';
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

class Reader {
 public:
  explicit Reader(const AnswerFile& file) : file_(file) {}

  [[noreturn]] void Fail(const std::string& section, const std::string& problem) const {
    throw platform::Exception("Answer file " + file_.Source() + ", [" + section + "]: " + problem);
  }

  AccountAnswer Section(const std::string& section, std::string_view declared) const {
    AccountAnswer answer;
    answer.section = section;
    for (const AnswerKey& key : SectionKeys(declared)) {
      const std::optional<std::string> value = file_.Find(section, key.key);
      if (!value) continue;
      if (key.key == "Name") {
        answer.name = Limited(section, "Name", *value, app::kMaxUserNameLength);
      } else if (key.key == "Password") {
        answer.password = Limited(section, "Password", *value, app::kMaxPasswordLength);
      } else if (key.key == "Confirm") {
        answer.confirm = Limited(section, "Confirm", *value, app::kMaxPasswordLength);
      } else if (key.key == "Age") {
        answer.age = Age(section, declared, *value);
      } else if (key.key == "Cancel") {
        answer.cancel = IsYes(*value);
      } else {
        answer.flags[std::string(key.key)] = IsYes(*value);
      }
    }
    return answer;
  }

  // The [User.N] sections, checked to run from 1 without a gap, in number order.
  std::vector<std::string> AddedSections() const {
    std::vector<std::string> given;
    for (const std::string& section : file_.Sections())
      if (section.starts_with(kAddedUserStem)) given.push_back(section);
    std::vector<std::string> numbered;
    for (std::size_t n = 1; n <= given.size(); ++n)
      numbered.push_back(std::string(kAddedUserStem) + std::to_string(n));
    for (const std::string& section : given) {
      if (std::find(numbered.begin(), numbered.end(), section) == numbered.end()) {
        Fail(section, "the accounts are numbered from [User.1] without a gap");
      }
    }
    return numbered;
  }

  // Save's checks of the entry as the form would hold it.
  void CheckSave(const AccountAnswer& answer, app::AccountEntry entry) const {
    if (const std::optional<std::string_view> refusal = app::SaveRefusal(entry)) {
      throw EAccountAnswer(file_.Source(), answer.section, *refusal);
    }
  }

 private:
  std::string Limited(const std::string& section, std::string_view key, const std::string& value,
                      std::size_t limit) const {
    if (value.size() > limit) {
      Fail(section, std::string(key) + " is longer than the " + std::to_string(limit) +
                        " characters its box takes");
    }
    return value;
  }

  std::string Age(const std::string& section, std::string_view declared,
                  const std::string& value) const {
    const std::span<const std::string_view> ages =
        declared == kAddedUser ? app::AddedUserAges() : std::span(app::kDesignedAges);
    for (std::string_view age : ages)
      if (Lower(age) == Lower(value)) return std::string(age);
    Fail(section, "Age \"" + value + "\" is not in the age box (\"Preschool\", \"Grade 1\" to " +
                      "\"Grade 12\", \"Age 18-24\", \"Age 25-34\", \"Age 35-49\", " +
                      "\"Age 50-64\", \"Age 65 +\")");
  }

  const AnswerFile& file_;
};

}  // namespace

EAccountAnswer::EAccountAnswer(const std::string& source, const std::string& section,
                               std::string_view formMessage)
    : platform::Exception("Answer file " + source + ", [" + section +
                          "]: " + std::string(formMessage)),
      formMessage_(formMessage) {}

std::span<const AnswerKey> AccountAnswerKeys() {
  static const std::vector<AnswerKey> keys = [] {
    std::vector<AnswerKey> all;
    for (std::string_view section : {kParent, kGuest, kAddedUser}) {
      const std::vector<AnswerKey> some = SectionKeys(section);
      all.insert(all.end(), some.begin(), some.end());
    }
    return all;
  }();
  return keys;
}

AccountAnswers ReadAccountAnswers(const AnswerFile& file) {
  const Reader reader(file);
  AccountAnswers answers;
  answers.parent = reader.Section(std::string(kParent), kParent);
  answers.guest = reader.Section(std::string(kGuest), kGuest);
  for (const std::string& section : reader.AddedSections()) {
    if (!answers.added.empty() && answers.added.back().cancel) {
      reader.Fail(section, "comes after [" + answers.added.back().section +
                               "], whose Cancel=yes ends the adding of accounts");
    }
    answers.added.push_back(reader.Section(section, kAddedUser));
  }
  reader.CheckSave(answers.parent, {"PARENT", answers.parent.password.value_or(""),
                                    answers.parent.confirm.value_or(""), false, false});
  for (const AccountAnswer& added : answers.added) {
    if (added.cancel) continue;
    reader.CheckSave(added, {added.name.value_or(""), added.password.value_or(""),
                             added.confirm.value_or(""), true, false});
  }
  return answers;
}

}  // namespace setup_tool
