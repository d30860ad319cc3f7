// Answer files from untrusted bytes: parsed against the installer's questions, then every
// question asked of the file as the unattended run asks it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/support/try_read.hpp"
#include "tools/setup/answer_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  fuzz::TryRead([&] {
    const setup_tool::AnswerFile answers = setup_tool::AnswerFile::Parse(text, "answers.ini");
    for (const setup_tool::AnswerKey& key : setup_tool::InstallerAnswerKeys()) {
      answers.Find(key.section, key.key);
      if (key.kind == setup_tool::AnswerKind::YesNo ||
          key.kind == setup_tool::AnswerKind::AcceptDecline)
        fuzz::TryRead([&] { answers.RequireYes(key.section, key.key, "question"); });
      else
        fuzz::TryRead([&] { answers.Require(key.section, key.key, "question"); });
    }
  });
  return 0;
}
