#include "framework/forms/key_decoder.hpp"

#include <optional>

namespace forms {
namespace {

using Kind = Key::Kind;

// Length of the UTF-8 sequence a lead byte starts (1 for anything that is not a lead byte).
std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

std::optional<Kind> Control(char c) {
  switch (c) {
    case '\r':
    case '\n':
      return Kind::Enter;
    case '\t':
      return Kind::Tab;
    case 0x7F:
    case 0x08:
      return Kind::Backspace;
    default:
      return std::nullopt;
  }
}

// The key of a CSI or SS3 sequence's final part ("A", "5~", ...).
std::optional<Kind> Sequence(const std::string& body) {
  static const std::pair<const char*, Kind> table[] = {
      {"A", Kind::Up},      {"B", Kind::Down},     {"C", Kind::Right}, {"D", Kind::Left},
      {"Z", Kind::BackTab}, {"H", Kind::Home},     {"F", Kind::End},   {"1~", Kind::Home},
      {"4~", Kind::End},    {"7~", Kind::Home},    {"8~", Kind::End},  {"3~", Kind::Delete},
      {"5~", Kind::PageUp}, {"6~", Kind::PageDown}};
  for (const auto& [text, kind] : table) {
    if (body == text) return kind;
  }
  return std::nullopt;
}

}  // namespace

std::vector<Key> KeyDecoder::Take(bool final) {
  std::vector<Key> keys;
  std::size_t i = 0;
  while (i < pending_.size()) {
    const char c = pending_[i];
    if (c == '\x1b') {
      if (i + 1 >= pending_.size()) {
        if (!final) break;  // the rest of a sequence may still come
        keys.push_back({Kind::Escape, {}, false});
        ++i;
        continue;
      }
      const char next = pending_[i + 1];
      if (next == '[' || next == 'O') {
        std::size_t end = i + 2;
        while (end < pending_.size() && (pending_[end] < 0x40 || pending_[end] > 0x7E))
          ++end;
        if (end >= pending_.size()) {
          if (!final) break;
          i = pending_.size();  // a sequence cut short is dropped
          continue;
        }
        if (auto kind = Sequence(pending_.substr(i + 2, end - i - 1))) {
          keys.push_back({*kind, {}, false});
        }
        i = end + 1;
        continue;
      }
      if (next == '\x1b') {
        keys.push_back({Kind::Escape, {}, false});
        ++i;
        continue;
      }
      // Alt + key.
      const std::size_t length = Utf8Length(static_cast<unsigned char>(next));
      if (i + 1 + length > pending_.size() && !final) break;
      Key key{Kind::Text, pending_.substr(i + 1, length), true};
      if (auto kind = Control(next)) key = {*kind, {}, true};
      keys.push_back(key);
      i += 1 + length;
      continue;
    }
    if (auto kind = Control(c)) {
      keys.push_back({*kind, {}, false});
      if (c == '\r' && i + 1 < pending_.size() && pending_[i + 1] == '\n') ++i;
      ++i;
      continue;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
      ++i;  // other control characters mean nothing here
      continue;
    }
    const std::size_t length = Utf8Length(static_cast<unsigned char>(c));
    if (i + length > pending_.size()) {
      if (!final) break;
      i = pending_.size();
      continue;
    }
    keys.push_back({Kind::Text, pending_.substr(i, length), false});
    i += length;
  }
  pending_.erase(0, i);
  return keys;
}

}  // namespace forms
