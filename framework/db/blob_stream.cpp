#include "framework/db/blob_stream.hpp"

namespace db {

std::string TBlobStream::ReadAll() {
  Seek(0, SeekOrigin::Begin);
  std::string contents(static_cast<std::size_t>(Size()), '\0');
  contents.resize(Read(contents.data(), contents.size()));
  return contents;
}

}  // namespace db
