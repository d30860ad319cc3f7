#include "tables/index/exp_parser.hpp"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine.hpp"
#include "tables/index/exp_call.hpp"
#include "tables/index/exp_errors.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/exp_literals.hpp"
#include "tables/index/exp_number_text.hpp"
#include "tables/index/exp_operator.hpp"
#include "tables/storage/dbf_date.hpp"

namespace tables {
namespace {

using Item = std::unique_ptr<TxbExpBaseObject>;

bool IsBlank(char c) {
  return c == ' ' || (c > 0 && c < ' ');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsNameStart(char c) {
  return IsLetter(c) || c == '_' || c == '.';
}
bool OpensLiteral(char c) {
  return c == '"' || c == '\'' || c == '[' || c == '{';
}
char ClosingOf(char c) {
  return c == '[' ? ']' : (c == '{' ? '}' : c);
}

// Index of the character that closes the literal opened at pos; the end of the text when it
// is missing.
std::size_t LiteralEnd(std::string_view text, std::size_t pos) {
  std::size_t close = text.find(ClosingOf(text[pos]), pos + 1);
  return close == std::string_view::npos ? text.size() : close;
}

// Index of the ")" that closes the "(" at pos (literals skipped), or npos.
std::size_t MatchingParenthesis(std::string_view text, std::size_t pos) {
  int depth = 0;
  for (std::size_t i = pos; i < text.size(); ++i) {
    char c = text[i];
    if (OpensLiteral(c)) {
      i = LiteralEnd(text, i);
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

// An argument list split at the commas outside parentheses and literals; a list of blanks
// has no arguments.
std::vector<std::string_view> SplitArguments(std::string_view list) {
  std::vector<std::string_view> pieces;
  if (list.find_first_not_of(' ') == std::string_view::npos) return pieces;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    char c = list[i];
    if (OpensLiteral(c)) {
      i = LiteralEnd(list, i);
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ',' && depth == 0) {
      pieces.push_back(list.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(list.substr(start));
  return pieces;
}

struct OperatorMatch {
  std::uint8_t code;
  std::size_t length;
};

std::optional<OperatorMatch> MatchOperator(std::string_view text, std::size_t pos) {
  static constexpr struct {
    const char* form;
    std::uint8_t code;
  } kForms[] = {
      {"**", xb_op::Power},        {"<>", xb_op::NotEqual},     {"!=", xb_op::NotEqual},
      {"<=", xb_op::LessEqual},    {"=<", xb_op::LessEqual},    {">=", xb_op::GreaterEqual},
      {"=>", xb_op::GreaterEqual}, {"==", xb_op::ExactlyEqual}, {"=", xb_op::Equal},
      {"#", xb_op::NotEqual},      {">", xb_op::Greater},       {"<", xb_op::Less},
      {"$", xb_op::Contains},      {"+", xb_op::Plus},          {"-", xb_op::Minus},
      {"*", xb_op::Times},         {"/", xb_op::Divide},        {"^", xb_op::Power},
      {"!", xb_op::Not},
  };
  std::string_view rest = text.substr(pos);
  for (const auto& form : kForms) {
    if (rest.starts_with(form.form)) return OperatorMatch{form.code, std::strlen(form.form)};
  }
  return std::nullopt;
}

// A token word that is a literal or an operator once one leading and one trailing "." are
// removed.
struct Keyword {
  bool isBoolean;
  bool boolean;
  std::uint8_t code;
};

std::optional<Keyword> MatchKeyword(std::string_view token) {
  if (token.starts_with('.')) token.remove_prefix(1);
  if (token.ends_with('.')) token.remove_suffix(1);
  if (token == "T" || token == "TRUE") return Keyword{true, true, 0};
  if (token == "F" || token == "FALSE") return Keyword{true, false, 0};
  if (token == "AND") return Keyword{false, false, xb_op::And};
  if (token == "OR") return Keyword{false, false, xb_op::Or};
  if (token == "NOT") return Keyword{false, false, xb_op::Not};
  return std::nullopt;
}

void CheckDepth(int depth) {
  if (depth > kMaxExpressionDepth) RaiseCannotEvaluate();
}

// Reads one level (the whole text, a group's inside or one argument) into a flat list of
// items and binds it.
class LevelReader {
 public:
  LevelReader(const TxbExpParseSettings& settings, TxbExpOperandStats& stats, int nesting)
      : settings_(settings), stats_(stats), nesting_(nesting) {
    CheckDepth(nesting);
  }

  Item Read(std::string_view text);

 private:
  void ReadLiteral(std::string_view text, std::size_t& pos);
  void ReadParenthesis(std::string_view text, std::size_t& pos);
  void ReadOperator(const OperatorMatch& match, char c, std::size_t& pos);
  bool ContinuesExponent(std::string_view text, std::size_t pos) const;
  bool IsSignPosition() const;

  std::string TakeToken();
  void FinishToken();
  void FlushSign();
  Item TokenItem(const std::string& token, bool isSigned);
  Item NumberItem(const std::string& token);
  Item VariableItem(const std::string& name);
  Item CallItem(const std::string& name, std::string_view argumentList);
  Item GroupItem(std::string_view inside);
  TxbUserDefFunction& FindFunction(const std::string& name) const;
  void Add(Item item);
  Item Bind();

  const TxbExpParseSettings& settings_;
  TxbExpOperandStats& stats_;
  int nesting_;
  std::vector<Item> items_;
  std::string token_;
  std::string sign_;  // "+" or "-" waiting for the next token
};

Item LevelReader::Read(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    char c = text[pos];
    if (IsBlank(c)) {
      FinishToken();
      ++pos;
    } else if (OpensLiteral(c)) {
      ReadLiteral(text, pos);
    } else if (c == '(') {
      ReadParenthesis(text, pos);
    } else if (c == ')') {
      RaiseUnexpectedClose();
    } else if (c == ',') {
      FinishToken();
      ++pos;
    } else if (c == '-' && pos + 1 < text.size() && text[pos + 1] == '>') {
      token_ += '.';  // A->B is the name A.B
      pos += 2;
    } else if (ContinuesExponent(text, pos)) {
      token_ += c;
      ++pos;
    } else if (auto match = MatchOperator(text, pos)) {
      ReadOperator(*match, c, pos);
    } else {
      token_ += c;
      ++pos;
      if (c == '.' && token_.size() > 1 && token_[0] == '.') FinishToken();  // .AND. ends here
    }
  }
  FinishToken();
  FlushSign();
  return Bind();
}

void LevelReader::ReadLiteral(std::string_view text, std::size_t& pos) {
  FinishToken();
  FlushSign();
  std::size_t end = LiteralEnd(text, pos);
  std::string_view body = text.substr(pos + 1, end - pos - 1);
  if (text[pos] == '{') {
    Add(std::make_unique<TxbExpDateLit>(*settings_.machine,
                                        XbDate().FromText(*settings_.machine, body)));
  } else {
    Add(std::make_unique<TxbExpTextLit>(body));
  }
  ++stats_.count;
  pos = end < text.size() ? end + 1 : end;
}

void LevelReader::ReadParenthesis(std::string_view text, std::size_t& pos) {
  std::size_t close = MatchingParenthesis(text, pos);
  if (close == std::string_view::npos) RaiseMissingClose();
  std::string_view inside = text.substr(pos + 1, close - pos - 1);
  if (!token_.empty()) {
    std::string name = TakeToken();
    Add(CallItem(name, inside));
  } else {
    FlushSign();
    Add(GroupItem(inside));
  }
  pos = close + 1;
}

void LevelReader::ReadOperator(const OperatorMatch& match, char c, std::size_t& pos) {
  FinishToken();
  if ((match.code == xb_op::Plus || match.code == xb_op::Minus) && IsSignPosition()) {
    sign_ += c;
    ++pos;
    return;
  }
  FlushSign();
  Add(std::make_unique<TxbExpOperator>(*settings_.machine, match.code, settings_.rules));
  pos += match.length;
}

// The sign of an exponent inside a number token (1E-5) belongs to the token.
bool LevelReader::ContinuesExponent(std::string_view text, std::size_t pos) const {
  if (token_.size() < 2 || !IsDigit(token_[0])) return false;
  char last = token_.back();
  return (last == 'E' || last == 'e') && (text[pos] == '+' || text[pos] == '-') &&
         pos + 1 < text.size() && IsDigit(text[pos + 1]);
}

// "+" and "-" first in the level or right after another operator are signs.
bool LevelReader::IsSignPosition() const {
  if (items_.empty()) return true;
  const TxbExpBaseObject& last = *items_.back();
  return last.ClassCode() == xb_node::UnboundOperator;
}

std::string LevelReader::TakeToken() {
  std::string token = sign_ + token_;
  sign_.clear();
  token_.clear();
  return settings_.machine->codePages().Upper(token);
}

void LevelReader::FinishToken() {
  if (token_.empty()) return;
  bool isSigned = !sign_.empty();
  std::string token = TakeToken();
  if (Item item = TokenItem(token, isSigned)) Add(std::move(item));
}

// A sign that found no token to lead is a number literal of its own (worth 0).
void LevelReader::FlushSign() {
  if (sign_.empty()) return;
  Add(NumberItem(sign_));
  sign_.clear();
}

Item LevelReader::TokenItem(const std::string& token, bool isSigned) {
  char first = token[0];
  if (isSigned || IsDigit(first) || first == '+' || first == '-') return NumberItem(token);
  if (!IsNameStart(first)) return nullptr;  // tokens of other characters are dropped
  if (token.size() >= 2) {
    if (auto keyword = MatchKeyword(token)) {
      if (!keyword->isBoolean)
        return std::make_unique<TxbExpOperator>(*settings_.machine, keyword->code, settings_.rules);
      ++stats_.count;
      return std::make_unique<TxbExpBlnLit>(keyword->boolean);
    }
  }
  return VariableItem(token);
}

Item LevelReader::NumberItem(const std::string& token) {
  double value = 0;
  if (!TryTextToFloat(token, '.', value)) value = 0;
  int width = static_cast<int>(token.size());
  std::size_t point = token.find('.');
  int decimals = point == std::string::npos ? 0 : static_cast<int>(token.size() - point - 1);
  ++stats_.count;
  if (width > stats_.widest) stats_.widest = width;
  if (decimals > stats_.decimals) stats_.decimals = decimals;
  return std::make_unique<TxbExpNumLit>(value, width, decimals);
}

Item LevelReader::VariableItem(const std::string& name) {
  if (!settings_.link) RaiseUnknownVariable(name);
  TxbUserDefFieldVar* variable = settings_.link->FindFieldVar(name);
  if (!variable) RaiseNoFunction(name);
  ++stats_.count;
  if (variable->Width() > stats_.widest) stats_.widest = variable->Width();
  return std::make_unique<TxbExpFieldvar>(settings_.handler, *variable);
}

Item LevelReader::CallItem(const std::string& name, std::string_view argumentList) {
  std::vector<Item> arguments;
  for (std::string_view piece : SplitArguments(argumentList)) {
    arguments.push_back(LevelReader(settings_, stats_, nesting_ + 1).Read(piece));
  }
  TxbUserDefFunction& function = FindFunction(name);
  ++stats_.count;
  auto call = std::make_unique<TxbExpFunction>(*settings_.machine, settings_.handler, function,
                                               std::move(arguments));
  CheckDepth(call->Depth());
  return call;
}

// Built-ins first, then the link's functions, then the link's answer for unknown names.
TxbUserDefFunction& LevelReader::FindFunction(const std::string& name) const {
  if (TxbUserDefFunction* builtIn = XbExpGlobalFunctions().Find(name)) return *builtIn;
  TxbExpUserLink* link = settings_.link;
  if (!link) RaiseNoFunction(name);
  TxbUserDefFunction* function = link->FindFunction(name);
  if (!function) function = link->UnknownFunction(name);
  if (!function) RaiseNoFunction(name);
  return *function;
}

Item LevelReader::GroupItem(std::string_view inside) {
  Item inner = LevelReader(settings_, stats_, nesting_ + 1).Read(inside);
  auto group = std::make_unique<TxbExpContainer>(std::move(inner));
  CheckDepth(group->Depth());
  return group;
}

void LevelReader::Add(Item item) {
  items_.push_back(std::move(item));
}

// Binds the operators level by level (2 to 8), each leftmost first: an operator takes the
// item to its right and, unless it is .NOT., the item to its left (which may be what an
// operator of the same level has just become). The list must end as one item.
Item LevelReader::Bind() {
  for (std::uint8_t level = 2; level <= 8; ++level) {
    std::vector<Item> bound;
    bound.reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
      Item item = std::move(items_[i]);
      if (item->ClassCode() == xb_node::UnboundOperator) {
        auto& op = static_cast<TxbExpOperator&>(*item);
        if (op.level() == level) {
          Item right = i + 1 < items_.size() ? std::move(items_[++i]) : nullptr;
          Item left;
          if (op.code() != xb_op::Not && !bound.empty()) {
            left = std::move(bound.back());
            bound.pop_back();
          }
          op.Bind(std::move(left), std::move(right));
          CheckDepth(op.Depth());
        }
      }
      bound.push_back(std::move(item));
    }
    items_ = std::move(bound);
  }
  if (items_.size() > 1) RaiseCannotEvaluate();
  return items_.empty() ? nullptr : std::move(items_.front());
}

}  // namespace

std::unique_ptr<TxbExpBaseObject> ParseExpression(std::string_view text,
                                                  const TxbExpParseSettings& settings,
                                                  TxbExpOperandStats& stats) {
  return LevelReader(settings, stats, 1).Read(text);
}

}  // namespace tables
