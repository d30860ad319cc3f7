#include "platform/sim/host_text_file.hpp"

#include <fstream>
#include <sstream>

#include "platform/exception.hpp"

namespace platform::sim {

std::string ReadHostText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception("Cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteHostText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out.flush()) throw Exception("Cannot write " + path.string());
}

void WriteHostTextReplacing(const std::filesystem::path& path, const std::string& text) {
  const std::filesystem::path temporary = path.string() + ".new";
  WriteHostText(temporary, text);
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) throw Exception("Cannot replace " + path.string() + ": " + error.message());
}

}  // namespace platform::sim
