#pragma once
// Turns the bytes a terminal sends into keys: printable characters (UTF-8 sequences whole),
// control keys, the escape sequences of cursor and page keys, and Alt (Escape followed by a
// character).
#include <string>
#include <vector>

namespace forms {

struct Key {
  enum class Kind {
    Text,  // `text` holds one character (its UTF-8 bytes)
    Enter,
    Tab,
    BackTab,
    Escape,
    Backspace,
    Delete,
    Up,
    Down,
    Left,
    Right,
    PageUp,
    PageDown,
    Home,
    End,
  };
  Kind kind = Kind::Text;
  std::string text;
  bool alt = false;

  bool operator==(const Key&) const = default;
};

class KeyDecoder {
 public:
  void Feed(const std::string& bytes) { pending_ += bytes; }
  // The keys complete so far. With `final` (no more bytes are on the way) a lone Escape is
  // the Escape key rather than the start of a sequence.
  std::vector<Key> Take(bool final);
  bool HasPending() const { return !pending_.empty(); }

 private:
  std::string pending_;
};

}  // namespace forms
