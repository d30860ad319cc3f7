#include "tools/xbtool/eval_command.hpp"

#include <cmath>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

#include "tables/index/exp_global_registry.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_number_text.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tools/xbtool/arguments.hpp"
#include "tools/xbtool/json_output.hpp"
#include "tools/xbtool/table_access.hpp"
#include "tools/xbtool/text_codec.hpp"
#include "tools/xbtool/verb.hpp"
#include "tools/xbtool/xbtool_command.hpp"

namespace tools::xbtool {
namespace {

using tables::TxbExpHandler;
using tables::TxbExpValue;

constexpr const char* kEvalHelp =
    "Usage: xbtool eval EXPR [--table FILE [--key K] [--record N | --all]] [--json]\n"
    "\n"
    "Parses EXPR in the table engine's expression language and evaluates it: on its own,\n"
    "or against a record of the table FILE (--record N, record 1 when not given) or against\n"
    "every record (--all). Prints the expression's own text, then for each evaluation the\n"
    "result type (code and name) and the value.\n"
    "\n"
    "Options:\n"
    "  --table FILE   evaluate against the records of this table (opened shared, read-only;\n"
    "                 --key gives the key of an encrypted one)\n"
    "  --record N     the record to evaluate against\n"
    "  --all          evaluate against every record; a failing record is reported and the\n"
    "                 others still evaluated\n"
    "  --json         one JSON object per evaluation and line: {\"text\", \"type\", \"value\"}\n"
    "                 (a Date adds \"day\", a table \"record\"), or {\"error\"} for a failure\n"
    "\n"
    "The exit status is 2 when the expression or any evaluation failed.\n";

std::string_view TypeName(std::uint8_t type) {
  switch (type) {
    case tables::xb_type::None:
      return "None";
    case tables::xb_type::Undefined:
      return "Undefined";
    case tables::xb_type::Text:
      return "Text";
    case tables::xb_type::Number:
    case tables::xb_type::NumberReserved:
    case tables::xb_type::DateReserved:
      return "Number";
    case tables::xb_type::Date:
      return "Date";
    case tables::xb_type::Boolean:
      return "Boolean";
    default:
      return "Other";
  }
}

// Each byte as the character of the same code point, in UTF-8.
std::string Latin1ToUtf8(std::string_view bytes) {
  std::string text;
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

std::string TextOf(const TxbExpValue& value) {
  TxbExpValue copy = value;
  return copy.MakeText();
}

std::int32_t DayOf(const TxbExpValue& value) {
  return tables::DayNumberOf(value.number());
}

// Writes evaluations and failures as text lines or as JSON objects.
class EvalPrinter {
 public:
  EvalPrinter(std::ostream& out, std::ostream& err, const TextCodec& codec, bool json)
      : out_(out), err_(err), codec_(codec), json_(json) {}

  void Expression(const TxbExpHandler& handler) {
    expressionText_ = handler.ExpressionText();
    if (!json_) out_ << "expression: " << codec_.ToTerminal(expressionText_) << '\n';
  }

  void Result(const TxbExpHandler& handler, std::optional<std::int32_t> record) {
    if (json_) {
      JsonResult(handler, record);
    } else {
      if (record) out_ << "record " << *record << ": ";
      std::uint8_t type = handler.ResultType();
      out_ << "type " << static_cast<int>(type) << " (" << TypeName(type)
           << "): " << PlainValue(handler.Value(), type) << '\n';
    }
  }

  void Failure(const std::string& message, std::optional<std::int32_t> record) {
    if (json_) {
      JsonObjectLine failure;
      if (record) failure.Add("record", *record);
      out_ << failure.Add("error", Latin1ToUtf8(message)).Text() << '\n';
    } else {
      if (record) err_ << "record " << *record << ": ";
      err_ << codec_.ToTerminal(message) << '\n';
    }
  }

 private:
  void JsonResult(const TxbExpHandler& handler, std::optional<std::int32_t> record) {
    const TxbExpValue& value = handler.Value();
    std::uint8_t type = handler.ResultType();
    JsonObjectLine result;
    if (record) result.Add("record", *record);
    result.Add("text", Latin1ToUtf8(expressionText_)).Add("type", type);
    AddValue(result, value, type);
    if (type == tables::xb_type::Date && !value.IsUnassigned()) result.Add("day", DayOf(value));
    out_ << result.Text() << '\n';
  }

  // Numbers keep the text the expression engine gives them (7, not 7.0).
  static void AddValue(JsonObjectLine& result, const TxbExpValue& value, std::uint8_t type) {
    if (value.IsUnassigned()) {
      result.Add("value", nullptr);
      return;
    }
    switch (type) {
      case tables::xb_type::Text:
        result.Add("value", Latin1ToUtf8(TextOf(value)));
        return;
      case tables::xb_type::Number:
      case tables::xb_type::DateReserved:
        if (std::isfinite(value.number())) {
          result.AddNumber("value", tables::ShortestNumberText(value.number()));
        } else {
          result.Add("value", nullptr);
        }
        return;
      case tables::xb_type::Date:
        result.Add("value", tables::XbDate().StorageText(DayOf(value)));
        return;
      case tables::xb_type::Boolean:
        result.Add("value", value.boolean());
        return;
      default:
        result.Add("value", nullptr);
    }
  }

  std::string PlainValue(const TxbExpValue& value, std::uint8_t type) const {
    if (value.IsUnassigned()) return "no value";
    switch (type) {
      case tables::xb_type::Text:
      case tables::xb_type::Other:
        return "\"" + codec_.ToTerminal(TextOf(value)) + "\"";
      case tables::xb_type::Number:
      case tables::xb_type::DateReserved:
        return tables::ShortestNumberText(value.number());
      case tables::xb_type::Date: {
        std::int32_t day = DayOf(value);
        if (day == 0) return "empty date (day 0)";
        return tables::XbDate().StorageText(day) + " (day " + std::to_string(day) + ")";
      }
      case tables::xb_type::Boolean:
        return value.boolean() ? ".T." : ".F.";
      default:
        return "no value";
    }
  }

  std::ostream& out_;
  std::ostream& err_;
  const TextCodec& codec_;
  bool json_;
  std::string expressionText_;
};

// Evaluates once and reports the result or the failure; false when it failed.
bool EvaluateOnce(TxbExpHandler& handler, EvalPrinter& printer,
                  std::optional<std::int32_t> record) {
  try {
    handler.Evaluate();
  } catch (const platform::Exception& error) {
    printer.Failure(error.what(), record);
    return false;
  }
  printer.Result(handler, record);
  return true;
}

struct EvalRequest {
  std::string expression;
  std::optional<std::string> table;
  std::optional<std::int32_t> record;
  bool all = false;
};

EvalRequest ReadRequest(const ParsedArguments& parsed, const TextCodec& codec) {
  EvalRequest request;
  request.expression = codec.ToTable(parsed.positionals().front());
  request.table = parsed.Value("--table");
  request.all = parsed.Has("--all");
  if (auto record = parsed.Value("--record")) request.record = RecordNumberArgument(*record);
  if (request.all && request.record) throw UsageError("--record and --all exclude each other");
  if (!request.table && (request.all || request.record || parsed.Has("--key"))) {
    throw UsageError("--record, --all and --key need --table");
  }
  return request;
}

// Evaluates against the table's records; false when any evaluation failed.
bool EvaluateRecords(const EvalRequest& request, const std::string& key, EvalPrinter& printer) {
  tables::XBO_dBaseFld table(*request.table, true, false, key);
  TxbExpHandler handler(&tables::XbTableLink(table), false, request.expression);
  printer.Expression(handler);
  std::int32_t first = request.all ? 1 : request.record.value_or(1);
  std::int32_t last = request.all ? table.recordCount() : first;
  bool succeeded = true;
  for (std::int32_t n = first; n <= last; ++n) {
    try {
      table.ReadRecord(n);
    } catch (const platform::Exception& error) {
      printer.Failure(error.what(), n);
      succeeded = false;
      continue;
    }
    succeeded = EvaluateOnce(handler, printer, n) && succeeded;
  }
  return succeeded;
}

int RunEval(VerbContext& context) {
  const EvalRequest request = ReadRequest(context.arguments, context.codec);
  tables::TxbExpEngineScope expressions;
  EvalPrinter printer(context.out, context.err, context.codec, context.arguments.Has("--json"));
  try {
    if (request.table) {
      return EvaluateRecords(request, context.key, printer) ? kExitSuccess : kExitError;
    }
    TxbExpHandler handler(nullptr, false, request.expression);
    printer.Expression(handler);
    return EvaluateOnce(handler, printer, std::nullopt) ? kExitSuccess : kExitError;
  } catch (const platform::Exception& error) {
    printer.Failure(error.what(), std::nullopt);
    return kExitError;
  }
}

}  // namespace

const Verb& EvalVerb() {
  static const Verb verb{
      "eval",     "evaluate an expression, alone or on records of a table",       kEvalHelp,
      {{"EXPR"}}, {{"--table", true}, {"--record", true}, {"--all"}, {"--json"}}, RunEval};
  return verb;
}

int RunEvalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> commandLine = {EvalVerb().name};
  commandLine.insert(commandLine.end(), args.begin(), args.end());
  return RunXbtool(commandLine, out, err);
}

}  // namespace tools::xbtool
