#include "tables/index/exp_errors.hpp"

#include <string>

#include "tables/index/exp_types.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

[[noreturn]] void Raise(std::string message) {
  throw EXbaseExpression(message);
}

}  // namespace

void RaiseNoFunction(std::string_view name) {
  Raise("There is no function for " + std::string(name));
}

void RaiseArgumentType(std::uint8_t expected, int position, std::string_view function) {
  Raise(std::string(TypeMessageName(expected)) + " needed for Argument " +
        std::to_string(position) + " of " + std::string(function));
}

void RaiseTargetMissing(std::string_view operation) {
  Raise("Target value missing for " + std::string(operation) + " operation");
}

void RaiseSidesMismatch() {
  Raise("The two sides of an operation do not match");
}

void RaiseInvalidValue(std::string_view what) {
  Raise("A " + std::string(what) + " value is required but invalid");
}

void RaiseUnknownVariable(std::string_view name) {
  Raise("Field/variable " + std::string(name) + " is unknown");
}

void RaiseCannotEvaluate() {
  Raise("Expression cannot be evaluated");
}

void RaiseMissingClose() {
  Raise("Missing closing parentheses");
}

void RaiseUnexpectedClose() {
  Raise("Unexpected closing parentheses found");
}

}  // namespace tables
