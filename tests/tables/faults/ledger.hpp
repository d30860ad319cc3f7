#pragma once
// What an operation reported written, per record: the value each record holds after a call
// that returned normally, and the one write under way when a fault struck. After a failure a
// record must read as its reported value, or as the attempted one in full.
#include <map>
#include <optional>
#include <string>

namespace tables::testing {

class Ledger {
 public:
  void Report(int record, std::string value) { reported_[record] = std::move(value); }
  // A write of value to record begins; Confirm once the call returned normally.
  void Attempt(int record, std::string value) { attempt_ = {record, std::move(value)}; }
  void Confirm() {
    reported_[attempt_->record] = attempt_->value;
    attempt_.reset();
  }

  const std::map<int, std::string>& reported() const { return reported_; }
  int highestReported() const { return reported_.empty() ? 0 : reported_.rbegin()->first; }
  bool Attempted(int record) const { return attempt_ && attempt_->record == record; }
  // Whether value is what record may hold now.
  bool Allows(int record, const std::string& value) const {
    auto found = reported_.find(record);
    if (found != reported_.end() && found->second == value) return true;
    return Attempted(record) && attempt_->value == value;
  }

 private:
  struct Write {
    int record;
    std::string value;
  };
  std::map<int, std::string> reported_;
  std::optional<Write> attempt_;
};

}  // namespace tables::testing
