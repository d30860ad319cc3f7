#include "platform/native/find_pattern.hpp"

#include <string>

namespace platform {
namespace {

char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDotEntry(std::string_view name) {
  return name == "." || name == "..";
}

bool HasExtension(std::string_view name) {
  return !IsDotEntry(name) && name.find('.') != std::string_view::npos;
}

// Plain wildcard matching with backtracking over the last "*".
bool MatchWildcards(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t starPattern = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starPattern = p++;
      starName = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      ++n;
    } else if (p < pattern.size() && FoldCase(pattern[p]) == FoldCase(name[n])) {
      ++p;
      ++n;
    } else if (starPattern != std::string_view::npos) {
      p = starPattern + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  // Left-over "*" match nothing; left-over "?" match nothing at the end of a name.
  while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '?'))
    ++p;
  return p == pattern.size();
}

// "?" before a dot of the pattern may also stand for no character before the name's dot
// ("ab?.txt" finds "ab.txt"): try the pattern with such runs shortened.
bool MatchWithShortQuestionRuns(std::string_view pattern, std::string_view name) {
  if (MatchWildcards(pattern, name)) return true;
  for (std::size_t dot = pattern.find("?."); dot != std::string_view::npos;
       dot = pattern.find("?.", dot + 1)) {
    std::string shorter(pattern.substr(0, dot));
    shorter += pattern.substr(dot + 1);
    if (MatchWithShortQuestionRuns(shorter, name)) return true;
  }
  return false;
}

}  // namespace

bool HasWildcards(std::string_view pattern) {
  return pattern.find_first_of("*?") != std::string_view::npos;
}

bool MatchesFindPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*" || pattern == "*.*") return true;
  if (!pattern.empty() && pattern.back() == '.' && !IsDotEntry(pattern)) {
    if (HasExtension(name)) return false;
    std::string_view stem = pattern;
    while (!stem.empty() && stem.back() == '.')
      stem.remove_suffix(1);
    return IsDotEntry(name) ? stem == "*" : MatchWithShortQuestionRuns(stem, name);
  }
  return MatchWithShortQuestionRuns(pattern, name);
}

}  // namespace platform
