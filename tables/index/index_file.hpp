#pragma once
// XBobjIndexFile: one open index file of a table, format-neutral: the disk file with the
// table's cipher applied to every 512-byte block, page allocation, the index lock of the
// table's lock protocol, the list of tags and the status reports of tag builds.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/deferred_pages.hpp"
#include "tables/index/index_tag.hpp"
#include "tables/index/record_change.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/disk_file.hpp"

namespace tables {

// How an index file is opened.
struct XbIndexOpenMode {
  bool create = false;  // create the file when it is missing
  bool shared = true;
  bool writable = false;
};

// What a new tag is.
struct XbTagDefinition {
  std::string name;
  std::string keyExpression;
  std::string forExpression;  // empty: every record
  bool ascending = true;
  bool unique = false;
  bool general = false;  // GENERAL collation for character keys
};

// Progress of a tag build: phase 1 reads the records, phase 2 writes the keys.
struct XbBuildStatus {
  enum class Event { Start, Step, End };
  int phase = 0;
  Event event = Event::Start;
  std::int64_t value = 0;  // Start: the record count; Step: the record or key ordinal
};

class XBobjIndexFile {
 public:
  // cipherKey: the table key (empty for a plain table); the table must outlive the file.
  XBobjIndexFile(XBO_dBaseFld& table, std::string cipherKey);
  // Writes deferred pages; an error here is lost (WriteDeferred reports it to callers that ask).
  virtual ~XBobjIndexFile();
  XBobjIndexFile(const XBobjIndexFile&) = delete;
  XBobjIndexFile& operator=(const XBobjIndexFile&) = delete;

  // Virtual operations in the engine's slot order.
  virtual void AddTag(const XbTagDefinition& definition) = 0;
  virtual bool DropTag(std::string_view name) = 0;
  virtual void StatusReport(const XbBuildStatus& status);
  virtual std::uint32_t AllocatePage();
  virtual void ResetNextPage();
  // Whole pages (or 1024-byte headers) at page offsets; a read that the file cannot fill
  // raises an engine error naming the page.
  virtual void ReadBlock(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t length);
  // As ReadBlock, but false instead of an error when the file ends before the block does.
  bool TryReadBlock(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t length);
  // The deciphered page at offset: a page kept in memory, or scratch filled from the file;
  // nullptr when the file ends before the page does.
  const std::uint8_t* ReadPage(std::uint32_t offset, std::uint8_t* scratch);
  // While writes are deferred (see DeferWrites) the pages are kept in memory instead.
  virtual void WriteBlock(std::uint32_t offset, const std::uint8_t* buffer, std::uint32_t length);
  // Writes the pages whose writes were deferred, in ascending order; a write the disk refuses
  // raises its error naming the file, and the pages stay kept for a later call to try again.
  void WriteDeferred();
  bool HasDeferredWrites() const { return !deferred_.empty(); }
  virtual void Rebuild() = 0;
  // Gives the file the base name (and folder, if any) of newName; its extension stays.
  virtual void Rename(std::string_view newName);
  virtual bool HasChanged() = 0;
  // Evaluates every tag's keys for record: the new ones on the table's record image, the old
  // ones on previousImage (the record as stored, read under the index lock; nullptr for an
  // appended record). An expression that fails raises; nothing is changed.
  virtual XbRecordChange PrepareRecordChange(std::int32_t record,
                                             const std::uint8_t* previousImage);
  // Moves the prepared keys (old entry out, new entry in), advances the version counter and
  // writes the changed nodes, tag headers and file header before it returns. Called with the
  // file locked. True when some tag changed.
  virtual bool ApplyRecordChange(const XbRecordChange& change);
  virtual void SetLockProtocol(TxbLokProtocol protocol) { protocol_ = protocol; }
  // Re-enciphers every page under the table's new key (empty: plain).
  virtual void ReKey(std::string_view newKey);

  int TagCount() const { return static_cast<int>(tags_.size()); }
  // The i-th tag (from 0) or nullptr.
  XBobjIndexTag* TagByIndex(int i) const;
  // The tag of that name, compared without regard to case, or nullptr.
  XBobjIndexTag* TagByName(std::string_view name) const;

  // The index lock of the protocol, waited for as writers do; raises "Error %s in Lock of %s"
  // when it cannot be had. A file opened exclusively is not locked.
  void Lock();
  void Unlock();

  void SetStatusHandler(std::function<void(const XbBuildStatus&)> handler) {
    statusHandler_ = std::move(handler);
  }
  // Whether a handler takes the reports: builds make their step reports (one per record and
  // key) only then.
  bool HasStatusHandler() const { return static_cast<bool>(statusHandler_); }

  XBO_DiskFile& diskFile() { return file_; }
  XBO_dBaseFld& table() const { return table_; }
  const std::string& cipherKey() const { return cipherKey_; }
  // The file's size, counting pages written but still kept in memory.
  std::uint64_t FileSize();

 protected:
  // The index of the tag named name in tags_, or -1.
  int TagPosition(std::string_view name) const;

  // Forgets the pages kept in memory (the file was changed as a whole).
  void ForgetPages() { keptChunks_.clear(); }

  // While an object lives, page writes of a file open exclusively (nobody else reads it) stay
  // in memory until WriteDeferred, Flush or Close; a shared file is written at once.
  class DeferWrites {
   public:
    explicit DeferWrites(XBobjIndexFile& file);
    ~DeferWrites() { file_.deferring_ = false; }
    DeferWrites(const DeferWrites&) = delete;
    DeferWrites& operator=(const DeferWrites&) = delete;

   private:
    XBobjIndexFile& file_;
  };

  XBO_DiskFile file_;
  std::vector<std::unique_ptr<XBobjIndexTag>> tags_;

 private:
  XBO_dBaseFld& table_;
  std::string cipherKey_;
  std::int64_t nextPage_ = -1;
  TxbLokProtocol protocol_ = TxbLokProtocol::Default;
  std::function<void(const XbBuildStatus&)> statusHandler_;
  // Forgets the kept chunks that bytes offset to offset + length touch.
  void ForgetChunks(std::uint32_t offset, std::uint32_t length);
  // Puts deciphered bytes just written into the kept chunks they fall in, so that a page
  // written is not read and deciphered again; a chunk the write reaches past is forgotten.
  void KeepWritten(std::uint32_t offset, const std::uint8_t* buffer, std::uint32_t length);
  void KeepDeferred(std::uint32_t offset, const std::uint8_t* buffer, std::uint32_t length);
  // Writes the deferred pages from first on that follow each other without a gap, as one
  // write; returns the number of pages written.
  std::size_t WriteDeferredRun(const std::vector<std::uint32_t>& offsets, std::size_t first);

  // Deciphered pages of a file open exclusively (nobody else can change them), in chunks read
  // at once, each in storage of its own (kept for reuse when forgotten); a chunk's count of
  // pages read (0: not kept). Every write of this file is copied into the chunks it touches.
  std::vector<std::unique_ptr<std::uint8_t[]>> kept_;
  std::vector<std::uint32_t> keptChunks_;
  std::size_t chunksStored_ = 0;  // chunks with storage in kept_

  // Deciphered pages written while deferring, and the end of the last of them.
  XbDeferredPages deferred_;
  std::uint64_t deferredEnd_ = 0;
  bool deferring_ = false;
  std::vector<std::uint8_t> runBuffer_;
};

// Called inside a catch block while an index file's layout is read: raises the failure being
// handled as error 2112, "PATH: not a valid KIND index file: WHY". A failed disk call keeps its
// own error instead, as it says nothing about whether the file is sound.
[[noreturn]] void XbRaiseInvalidIndexFile(const std::string& path, std::string_view kind);

}  // namespace tables
