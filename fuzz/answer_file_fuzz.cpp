// Answer files from untrusted bytes: parsed against the installer's questions, then every
// question looked up as the unattended run looks it up.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/support/try_read.hpp"
#include "tools/setup/answer_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  fuzz::TryRead([&] {
    const setup_tool::AnswerFile answers = setup_tool::AnswerFile::Parse(text, "answers.ini");
    for (const setup_tool::AnswerKey& key : setup_tool::InstallerAnswerKeys())
      answers.Find(key.section, key.key);
  });
  return 0;
}
