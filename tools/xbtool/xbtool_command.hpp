#pragma once
// xbtool: inspects, dumps, exports, creates and changes xBase tables with the table engine.
// `xbtool --help` lists the verbs; `xbtool VERB --help` explains one. Exit status: 0 done,
// 1 a negative answer (lock: busy), 2 any error (its message on err).
#include <ostream>
#include <string>
#include <vector>

namespace tools::xbtool {

int RunXbtool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tools::xbtool
