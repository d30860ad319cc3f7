#pragma once
// The failures of parsing and evaluation, each raised as EXbaseExpression with its message
// text filled in.
#include <cstdint>
#include <string_view>

namespace tables {

// "There is no function for %s"
[[noreturn]] void RaiseNoFunction(std::string_view name);
// "%s needed for Argument %d of %s"
[[noreturn]] void RaiseArgumentType(std::uint8_t expected, int position, std::string_view function);
// "Target value missing for %s operation"
[[noreturn]] void RaiseTargetMissing(std::string_view operation);
// "The two sides of an operation do not match"
[[noreturn]] void RaiseSidesMismatch();
// "A %s value is required but invalid"
[[noreturn]] void RaiseInvalidValue(std::string_view what);
// "Field/variable %s is unknown"
[[noreturn]] void RaiseUnknownVariable(std::string_view name);
// "Expression cannot be evaluated"
[[noreturn]] void RaiseCannotEvaluate();
// "Missing closing parentheses"
[[noreturn]] void RaiseMissingClose();
// "Unexpected closing parentheses found"
[[noreturn]] void RaiseUnexpectedClose();

}  // namespace tables
