#pragma once
// TBlobStream: the contents of one memo or blob field of the current record as a stream.
// A dataset creates it (TDataSet::CreateBlobStream) for reading or for writing; a stream opened
// for writing starts empty and stores what was written when Commit is called. A stream
// dropped without Commit leaves the field as it was.
#include <cstddef>
#include <cstdint>
#include <string>

namespace db {

enum class BlobStreamMode { Read, Write, ReadWrite };
enum class SeekOrigin { Begin, Current, End };

class TBlobStream {
 public:
  virtual ~TBlobStream() = default;
  TBlobStream(const TBlobStream&) = delete;
  TBlobStream& operator=(const TBlobStream&) = delete;

  // Copies at most `count` bytes from the position on; returns how many were copied.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes at the position, extending the contents as needed.
  virtual void Write(const void* buffer, std::size_t count) = 0;
  // The new position; EDatabaseError for a position before the start.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
  virtual std::int64_t Size() const = 0;
  // Stores the written contents in the field (marking the record modified).
  virtual void Commit() = 0;

  // The whole contents, from the start.
  std::string ReadAll();

 protected:
  TBlobStream() = default;
};

}  // namespace db
