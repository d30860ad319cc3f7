#pragma once
// Text comparison of the comparison operators: trailing blanks ignored, no prefix matching,
// optional case folding, and patterns with a leading or trailing many-character wildcard.
#include <string>

#include "platform/code_pages.hpp"
#include "tables/index/exp_value.hpp"

namespace tables {

struct TxbTextCompareRules {
  bool caseInsensitive = false;
  bool partialCompare = true;
  char wildcard = '*';
  platform::CodePages* casing = nullptr;  // the machine's, for case folding
};

// Holds the upper-cased copies a case-insensitive pattern match needs, so that a node that
// compares once per record reuses them.
struct TxbTextCompareBuffers {
  std::string left;
  std::string right;
};

// <0, 0 or >0 for left against right. An unassigned or empty side is the empty text, which is
// smaller than any other; a right side that begins or ends with the wildcard is a pattern
// (when partial compare is on) and a match gives 0.
int CompareExpressionTexts(const TxbExpValue& left, const TxbExpValue& right,
                           const TxbTextCompareRules& rules, TxbTextCompareBuffers& buffers);

}  // namespace tables
