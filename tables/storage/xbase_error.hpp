#pragma once
// The engine's exceptions and its one error routine. Every engine failure becomes an
// EXbaseError built from (code, subcode, text) and the message table.
#include <string>
#include <string_view>

#include "platform/exception.hpp"

namespace tables {

class EXbaseError : public platform::Exception {
 public:
  explicit EXbaseError(const std::string& message, int code = 0, int subcode = 0)
      : platform::Exception(message), code_(code), subcode_(subcode) {}
  int code() const { return code_; }
  int subcode() const { return subcode_; }

 private:
  int code_;
  int subcode_;
};

// Key errors at open: missing, superfluous or invalid table key.
class EXbaseEncryption : public EXbaseError {
 public:
  using EXbaseError::EXbaseError;
};

// Parse and evaluation errors of the expression language.
class EXbaseExpression : public EXbaseError {
 public:
  using EXbaseError::EXbaseError;
};

// Error codes of the message table.
namespace xb_code {
inline constexpr int FileNotFound = 2;
inline constexpr int AccessDenied = 5;
inline constexpr int InvalidAccessCode = 12;
inline constexpr int RecordLocked = 33;
inline constexpr int HeaderInvalid = 1001;
inline constexpr int BeyondEof = 1002;
inline constexpr int FieldNameInvalid = 1003;
inline constexpr int FieldTypeIncorrect = 1004;
inline constexpr int MemoFormat = 1005;
inline constexpr int FormulaUntranslatable = 1006;
inline constexpr int NumberTooLarge = 1011;
inline constexpr int PasswordForUnencrypted = 1269;
inline constexpr int NoPassword = 1270;
inline constexpr int InvalidPassword = 1271;
inline constexpr int TagFieldEmpty = 5117;
}  // namespace xb_code

// Subcodes: where an error arose.
namespace xb_sub {
inline constexpr int Read = 1101;
inline constexpr int Write = 1102;
inline constexpr int FileSize = 1105;
inline constexpr int Rename = 1106;
inline constexpr int Open = 1107;
inline constexpr int Create = 1108;
inline constexpr int Truncate = 1109;
inline constexpr int Flush = 1111;
inline constexpr int MemoLock = 1112;
inline constexpr int HeaderCheck = 1204;
inline constexpr int RecordRead = 1207;
inline constexpr int InvalidDate = 1251;
inline constexpr int NumberConversion = 1261;
inline constexpr int LogicalConversion = 1262;
inline constexpr int FieldLookup = 1298;
inline constexpr int FieldTypeCheck = 1299;
inline constexpr int KeyChangeShared = 2105;
inline constexpr int TagNameMissing = 5114;
inline constexpr int MemoMissing = 6101;
inline constexpr int MemoBlockFormat = 6199;
inline constexpr int OwnText = -7;  // the text carries its own explanation
}  // namespace xb_sub

// Whether an error came from a failed disk call, which says nothing about whether the file it
// was reading is damaged: such an error keeps its own code rather than become "not valid".
inline bool XbIsDiskFailure(const EXbaseError& error) {
  return error.subcode() >= xb_sub::Read && error.subcode() <= xb_sub::MemoLock;
}

// The message of a code in the table; nullptr when the code has none.
const char* XbMessageFor(int code);

// The message ReportError raises for (code, subcode, text).
std::string XbErrorMessage(int code, int subcode, std::string_view text);

// The error routine: raises EXbaseError with the composed message. A negative subcode other
// than -7 raises the runtime library's numbered run-time error for the code instead.
[[noreturn]] void ReportError(int code, int subcode, std::string_view text);

// Key-error messages with the file name filled in ("s%" in 1271 is the text as stored).
std::string XbKeyErrorMessage(int code, std::string_view fileName);

}  // namespace tables
