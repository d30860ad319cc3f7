#pragma once
// Memo files: the texts of a table's M, G and B fields in fixed-size blocks next to the table.
// XBobjMemo is the first ".DBT" kind (version 0x83 tables: 512-byte blocks, no block header,
// texts ended by 0x1A 0x1A) and the base of the other two kinds, which share its read and write
// procedures. Errors are reported through the owning table.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/storage/disk_file.hpp"
#include "tables/storage/lock_protocol.hpp"

namespace tables {

class XBobjMemo : public XBO_DiskFile {
 public:
  // Opens the memo file at path with the table's sharing and write access. A missing file is
  // error 2 "File not found", subcode 6101.
  XBobjMemo(XBO_DiskFile& owner, std::string_view path, bool shared, bool writable);
  ~XBobjMemo() override;

  // Writes a header kept back (see WriteHeader) before closing.
  void Close() override;
  // While a memo is written, remembers the bytes each write overwrites (see MemoWrite).
  std::uint32_t WriteAt(std::uint64_t offset, const void* buffer, std::uint32_t length) override;

  // Forwards to the owning table's error routine.
  void ReportError(int code, int subcode, std::string_view text) override;

  // Virtual operations of the memo kinds, in slot order after those of the disk file.

  // Finds room for a text of length bytes for the memo that was at oldBlock (0: none) and
  // occupied oldBlocks blocks; returns the block to write at and fills the block header.
  virtual std::uint32_t AllocateBlocks(std::uint32_t oldBlock, std::uint32_t oldBlocks,
                                       std::uint32_t length);
  // Gives a memo's blocks back (only the dBase IV kind keeps a free chain).
  virtual void FreeBlocks(std::uint32_t block);
  // Writes the end mark after a text (only this kind has one).
  virtual void WriteEndMark(std::uint8_t* at);
  // The text length of the memo at block, from its block header (or its end mark).
  virtual std::uint32_t ReadBlockLength(std::uint32_t block);
  virtual void SetLockProtocol(TxbLokProtocol protocol);
  // Renames the file after the table's new name, keeping its own extension.
  virtual void RenameWithTable(std::string_view newTableName);

  // The text length of the memo at block; 0 for block 0.
  std::uint32_t MemoLength(std::uint32_t block);
  // Reads at most length bytes of the memo's text; length becomes the bytes read.
  void MemoRead(std::uint32_t block, std::uint8_t* buffer, std::uint32_t& length);
  // Writes length bytes as the memo that was at block (0: none); block becomes where it now
  // is. Nothing to write and no old block gives block 0. A shared file is locked around the
  // write (with retries; failure: the system error with subcode 1112, nothing written).
  // A write that fails half-way is undone as far as the disk lets it: the old text, the file
  // header and the free chain are put back, so the memo that was at block still reads in full
  // and no block it occupies is left on the free chain.
  void MemoWrite(const std::uint8_t* buffer, std::uint32_t& block, std::uint32_t length);
  // The whole text of the memo at block (empty for block 0).
  std::string MemoText(std::uint32_t block);
  void MemoFlush();
  void MemoRename(std::string_view newTableName);

  // The table's cipher state: texts are decoded with readKey and encoded with writeKey.
  void SetKeys(bool encrypted, std::string readKey, std::string writeKey);

  std::uint32_t blockSize() const { return blockSize_; }
  TxbLokProtocol lockProtocol() const { return protocol_; }
  std::uint32_t lastBlock() const { return lastBlock_; }
  std::uint32_t lastBlockCount() const { return lastBlockCount_; }

 protected:
  // For the derived kinds: blockHeaderSize bytes precede each text; no end mark.
  XBobjMemo(XBO_DiskFile& owner, std::string_view path, bool shared, bool writable,
            std::uint32_t blockHeaderSize);

  // Blocks a text of length bytes written now occupies with its block header, prefix and end
  // mark.
  std::uint32_t BlocksFor(std::uint32_t length) const;
  // Bytes before a text written now inside its first block.
  std::uint32_t TextOffset() const;
  // Reads the 32-byte file header into header_ (a short header is a format error). A file open
  // exclusively is read once: nobody else can change it, so header_ stays its true header.
  void ReadHeader();
  // Writes the first bytes of header_. An exclusive file keeps them back until MemoFlush or
  // Close, sparing each memo write a header write, unless the kind needs its header on disk
  // at once (see WriteHeaderAtOnce).
  void WriteHeader(std::uint32_t bytes = kHeaderBufferSize);
  // For a kind whose header must never be stale on disk, even for a moment.
  void WriteHeaderAtOnce() { headerAtOnce_ = true; }
  // The first block past the end of the file (rounded up), never inside the file header.
  std::uint32_t BlocksInFile();
  // The first block after the file header.
  virtual std::uint32_t FirstDataBlock() const;
  [[noreturn]] void FormatError();
  void SetBlockSize(std::uint32_t size);

  static constexpr std::uint32_t kHeaderBufferSize = 32;
  static constexpr std::uint32_t kMaxBlockHeader = 8;

  std::uint8_t header_[kHeaderBufferSize] = {};
  std::uint8_t blockHeader_[kMaxBlockHeader] = {};

 private:
  void OpenExisting(std::string_view path, bool shared, bool writable);
  std::uint32_t ScanForEndMark(std::uint32_t block);
  // Whether the texts in the file (read with the read key) and the texts written now (with the
  // write key) carry the length prefix. Only texts written under a key do; while the table key
  // changes from or to none, the two differ.
  bool StoredPrefixed() const;
  bool WritePrefixed() const;
  // TextOffset for the texts in the file, and the blocks such a text surely occupies.
  std::uint32_t StoredTextOffset() const;
  std::uint32_t StoredBlocksFor(std::uint32_t length) const;
  void StorePendingHeader();
  // The memo write proper (see MemoWrite); returns the block the text now starts at.
  std::uint32_t StoreText(const std::uint8_t* buffer, std::uint32_t block, std::uint32_t length);

  // What a memo write changes besides the bytes it overwrites, taken before it starts.
  struct UndoPoint {
    std::uint8_t header[kHeaderBufferSize];
    bool headerLoaded;
    std::uint32_t pendingHeaderBytes;
    std::uint32_t knownBlocks;
    std::uint32_t endBlock;  // the first block past the end of the file
  };
  // Bytes a write of the memo under way overwrote.
  struct Overwritten {
    std::uint64_t offset;
    std::vector<std::uint8_t> bytes;
  };
  UndoPoint BeginUndo();
  // Puts back what the failed memo write changed, the last change first. Text written past
  // the old end cannot be taken back; its first bytes are cleared so that they never pass for
  // a block or free-run header (the free chain may end at the old end).
  void Undo(const UndoPoint& point);

  XBO_DiskFile& owner_;
  std::uint32_t blockSize_ = 512;
  std::uint32_t blockHeaderSize_ = 0;
  std::uint32_t endMarkSize_ = 0;
  bool lengthPrefixed_ = false;  // encrypted texts of this kind carry their length
  TxbLokProtocol protocol_ = TxbLokProtocol::Default;
  bool encrypted_ = false;
  std::string readKey_;
  std::string writeKey_;
  std::uint32_t lastBlock_ = 0;
  bool headerLoaded_ = false;              // header_ holds an exclusive file's header
  bool headerAtOnce_ = false;              // see WriteHeaderAtOnce
  std::uint32_t pendingHeaderBytes_ = 0;   // header bytes an exclusive file still has to write
  std::uint32_t knownBlocks_ = 0;          // an exclusive file's end in blocks, 0 until measured
  std::vector<std::uint8_t> writeBuffer_;  // the blocks of the memo being written, reused
  std::optional<std::vector<Overwritten>> journal_;  // kept while a memo is written
  std::uint32_t lastBlockCount_ = 0;
};

}  // namespace tables
