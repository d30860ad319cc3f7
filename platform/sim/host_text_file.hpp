#pragma once
// Whole text files of the machine folder on the host (machine.ini, processes.ini, the registry
// files), read and written in one piece. Failures throw platform::Exception naming the file.
#include <filesystem>
#include <string>

namespace platform::sim {

std::string ReadHostText(const std::filesystem::path& path);
// Creates or truncates the file.
void WriteHostText(const std::filesystem::path& path, const std::string& text);
// Writes "<path>.new" and renames it over the file, so that a reader sees either the old text
// or the new one, never a part.
void WriteHostTextReplacing(const std::filesystem::path& path, const std::string& text);

}  // namespace platform::sim
