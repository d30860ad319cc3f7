#pragma once
// TMemoryBlobStream: a blob stream that holds the whole contents in memory; `commit` receives
// them when Commit is called. Datasets whose blobs fit in memory build their streams on it.
#include <functional>
#include <string>

#include "framework/db/blob_stream.hpp"

namespace db {

class TMemoryBlobStream : public TBlobStream {
 public:
  TMemoryBlobStream(std::string contents, std::function<void(const std::string&)> commit);

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() const override { return static_cast<std::int64_t>(contents_.size()); }
  void Commit() override;

 private:
  std::string contents_;
  std::size_t position_ = 0;
  std::function<void(const std::string&)> commit_;
};

}  // namespace db
