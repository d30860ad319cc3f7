#include "tables/storage/memo_file.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/machine.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/cipher.hpp"
#include "tables/storage/dbf_format.hpp"
#include "tables/storage/lock_retry.hpp"
#include "tables/storage/memo_layout.hpp"
#include "tables/storage/table_names.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

using memo_layout::kDbtBlockSize;
constexpr std::uint32_t kLengthPrefix = 4;
constexpr std::uint32_t kEndMarkSize = 2;
constexpr std::uint32_t kMaxScannedLength = 65519;

std::uint32_t CeilDiv(std::uint64_t value, std::uint32_t divisor) {
  return static_cast<std::uint32_t>((value + divisor - 1) / divisor);
}

// Holds the memo lock of a shared file while a memo is written.
class MemoLock {
 public:
  explicit MemoLock(XBO_DiskFile& file) : file_(file) {}
  ~MemoLock() {
    if (held_) file_.Unlock();
  }
  MemoLock(const MemoLock&) = delete;
  MemoLock& operator=(const MemoLock&) = delete;
  bool Take(XbLockRegion region) { return held_ = XbLockWithRetries(file_, region); }

 private:
  XBO_DiskFile& file_;
  bool held_ = false;
};

}  // namespace

XBobjMemo::XBobjMemo(XBO_DiskFile& owner, std::string_view path, bool shared, bool writable)
    : XBO_DiskFile(owner.machine()),
      owner_(owner),
      blockSize_(kDbtBlockSize),
      endMarkSize_(kEndMarkSize),
      lengthPrefixed_(true) {
  OpenExisting(path, shared, writable);
}

XBobjMemo::XBobjMemo(XBO_DiskFile& owner, std::string_view path, bool shared, bool writable,
                     std::uint32_t blockHeaderSize)
    : XBO_DiskFile(owner.machine()), owner_(owner), blockHeaderSize_(blockHeaderSize) {
  OpenExisting(path, shared, writable);
}

XBobjMemo::~XBobjMemo() {
  try {
    XBobjMemo::Close();
  } catch (const std::exception&) {
    // A destructor cannot raise; the table closes its memo file itself and reports failures.
  }
}

void XBobjMemo::Close() {
  if (isOpen()) StorePendingHeader();
  XBO_DiskFile::Close();
}

void XBobjMemo::OpenExisting(std::string_view path, bool shared, bool writable) {
  std::string normalized = XbNormalizePath(machine(), path);
  if (!machine().files().Exists(normalized)) {
    owner_.Raise(xb_code::FileNotFound, xb_sub::MemoMissing, normalized);
  }
  Open(normalized, shared, writable);
}

void XBobjMemo::ReportError(int code, int subcode, std::string_view text) {
  owner_.ReportError(code, subcode, text);
}

void XBobjMemo::FormatError() {
  Raise(xb_code::MemoFormat, xb_sub::MemoBlockFormat, path());
}

void XBobjMemo::SetBlockSize(std::uint32_t size) {
  if (size == 0) FormatError();
  blockSize_ = size;
}

void XBobjMemo::SetKeys(bool encrypted, std::string readKey, std::string writeKey) {
  encrypted_ = encrypted;
  readKey_ = std::move(readKey);
  writeKey_ = std::move(writeKey);
}

bool XBobjMemo::StoredPrefixed() const {
  return lengthPrefixed_ && encrypted_ && !readKey_.empty();
}

bool XBobjMemo::WritePrefixed() const {
  return lengthPrefixed_ && encrypted_ && !writeKey_.empty();
}

std::uint32_t XBobjMemo::TextOffset() const {
  return blockHeaderSize_ + (WritePrefixed() ? kLengthPrefix : 0);
}

std::uint32_t XBobjMemo::StoredTextOffset() const {
  return blockHeaderSize_ + (StoredPrefixed() ? kLengthPrefix : 0);
}

std::uint32_t XBobjMemo::BlocksFor(std::uint32_t length) const {
  return CeilDiv(static_cast<std::uint64_t>(TextOffset()) + length + endMarkSize_, blockSize_);
}

std::uint32_t XBobjMemo::StoredBlocksFor(std::uint32_t length) const {
  // Without the end mark: writers that end a text with a single 0x1A fill no more than this,
  // and a rewrite in place must not reach into the memo after it.
  return CeilDiv(static_cast<std::uint64_t>(StoredTextOffset()) + length, blockSize_);
}

void XBobjMemo::ReadHeader() {
  if (headerLoaded_) return;
  if (ReadAt(0, header_, kHeaderBufferSize) < kHeaderBufferSize) FormatError();
  headerLoaded_ = !shared();
}

void XBobjMemo::WriteHeader(std::uint32_t bytes) {
  if (shared() || headerAtOnce_) {
    WriteAt(0, header_, bytes);
  } else {
    pendingHeaderBytes_ = std::max(pendingHeaderBytes_, bytes);
  }
}

void XBobjMemo::StorePendingHeader() {
  if (pendingHeaderBytes_ == 0) return;
  WriteAt(0, header_, pendingHeaderBytes_);
  pendingHeaderBytes_ = 0;
}

std::uint32_t XBobjMemo::FirstDataBlock() const {
  return 1;
}

std::uint32_t XBobjMemo::BlocksInFile() {
  if (knownBlocks_ != 0) return knownBlocks_;
  const std::uint32_t blocks = std::max(CeilDiv(FileSize(), blockSize_), FirstDataBlock());
  if (!shared()) knownBlocks_ = blocks;
  return blocks;
}

std::uint32_t XBobjMemo::AllocateBlocks(std::uint32_t oldBlock, std::uint32_t oldBlocks,
                                        std::uint32_t length) {
  const std::uint32_t needed = BlocksFor(length);
  if (oldBlock != 0 && needed <= oldBlocks) return oldBlock;
  ReadHeader();
  // The memo goes at the end of the file, where the header's next free number points in every
  // sound file: a number inside the used part would overwrite other memos, one past the end (a
  // damaged header) would put the memo up to terabytes away.
  const std::uint32_t block = BlocksInFile();
  WriteLE32(header_, block + needed);
  WriteHeader();
  return block;
}

void XBobjMemo::FreeBlocks(std::uint32_t) {}

void XBobjMemo::WriteEndMark(std::uint8_t* at) {
  at[0] = kEndOfFile;
  at[1] = kEndOfFile;
}

std::uint32_t XBobjMemo::ReadBlockLength(std::uint32_t block) {
  if (!StoredPrefixed()) return ScanForEndMark(block);
  std::uint8_t prefix[kLengthPrefix];
  if (ReadAt(static_cast<std::uint64_t>(block) * blockSize_, prefix, kLengthPrefix) <
      kLengthPrefix) {
    FormatError();
  }
  return ReadLE32(prefix);
}

std::uint32_t XBobjMemo::ScanForEndMark(std::uint32_t block) {
  std::uint8_t data[kDbtBlockSize];
  std::uint32_t count = 0;
  for (std::uint64_t at = static_cast<std::uint64_t>(block) * kDbtBlockSize;; at += kDbtBlockSize) {
    const std::uint32_t got = ReadAt(at, data, kDbtBlockSize);
    const std::uint8_t* mark = std::find(data, data + got, kEndOfFile);
    count += static_cast<std::uint32_t>(mark - data);
    if (mark != data + got || got < kDbtBlockSize || count >= kMaxScannedLength) break;
  }
  return std::min(count, kMaxScannedLength);
}

void XBobjMemo::SetLockProtocol(TxbLokProtocol protocol) {
  protocol_ = protocol;
}

void XBobjMemo::RenameWithTable(std::string_view newTableName) {
  Rename(XbWithExtension(newTableName, "DBT"));
  ReadHeader();
  std::memset(header_ + memo_layout::kDbtNameAt, 0, memo_layout::kDbtNameField);
  std::string name = machine().codePages().Upper(XbBaseName(newTableName));
  std::memcpy(header_ + memo_layout::kDbtNameAt, name.data(),
              std::min(name.size(), memo_layout::kDbtNameLength));
  WriteHeader();
}

std::uint32_t XBobjMemo::MemoLength(std::uint32_t block) {
  if (block == 0) return 0;
  const std::uint32_t length = ReadBlockLength(block);
  const std::uint64_t end =
      static_cast<std::uint64_t>(block) * blockSize_ + StoredTextOffset() + length;
  if (end > FileSize()) FormatError();
  return length;
}

void XBobjMemo::MemoRead(std::uint32_t block, std::uint8_t* buffer, std::uint32_t& length) {
  if (block == 0) {
    length = 0;
    return;
  }
  const std::uint32_t textLength = std::min(MemoLength(block), length);
  length = ReadAt(static_cast<std::uint64_t>(block) * blockSize_ + StoredTextOffset(), buffer,
                  textLength);
  if (encrypted_) TransformBlock(readKey_, buffer, buffer, length, false);
  lastBlock_ = block;
  lastBlockCount_ = StoredBlocksFor(textLength);
}

std::string XBobjMemo::MemoText(std::uint32_t block) {
  std::uint32_t length = MemoLength(block);
  std::string text(length, '\0');
  MemoRead(block, reinterpret_cast<std::uint8_t*>(text.data()), length);
  text.resize(length);
  return text;
}

void XBobjMemo::MemoWrite(const std::uint8_t* buffer, std::uint32_t& block, std::uint32_t length) {
  if (length == 0 && block == 0) return;
  MemoLock lock(*this);
  if (shared() && !lock.Take(XbLockRegionFor(protocol_, XbLockKind::Memo, 0, 0, 0, false))) {
    Check(LastError(), xb_sub::MemoLock);
  }
  const UndoPoint point = BeginUndo();
  try {
    block = StoreText(buffer, block, length);
  } catch (const EXbaseError&) {
    Undo(point);
    throw;
  }
  journal_.reset();
}

std::uint32_t XBobjMemo::StoreText(const std::uint8_t* buffer, std::uint32_t block,
                                   std::uint32_t length) {
  const std::uint32_t oldBlocks = block != 0 ? StoredBlocksFor(MemoLength(block)) : 0;
  const std::uint32_t newBlock = AllocateBlocks(block, oldBlocks, length);
  const std::uint32_t blocks = BlocksFor(length);
  std::vector<std::uint8_t>& data = writeBuffer_;
  data.assign(static_cast<std::size_t>(blocks) * blockSize_, 0);
  std::memcpy(data.data(), blockHeader_, blockHeaderSize_);
  std::uint32_t at = blockHeaderSize_;
  if (WritePrefixed()) {
    WriteLE32(data.data() + at, length);
    at += kLengthPrefix;
  }
  if (encrypted_) {
    TransformBlock(writeKey_, buffer, data.data() + at, length, true);
  } else if (length > 0) {
    std::memcpy(data.data() + at, buffer, length);
  }
  if (endMarkSize_ > 0) WriteEndMark(data.data() + at + length);
  WriteAt(static_cast<std::uint64_t>(newBlock) * blockSize_, data.data(),
          static_cast<std::uint32_t>(data.size()));
  if (knownBlocks_ != 0) knownBlocks_ = std::max(knownBlocks_, newBlock + blocks);
  lastBlock_ = newBlock;
  lastBlockCount_ = blocks;
  return newBlock;
}

std::uint32_t XBobjMemo::WriteAt(std::uint64_t offset, const void* buffer, std::uint32_t length) {
  if (journal_) {
    Overwritten overwritten{offset, std::vector<std::uint8_t>(length)};
    overwritten.bytes.resize(ReadAt(offset, overwritten.bytes.data(), length));
    journal_->push_back(std::move(overwritten));
  }
  return XBO_DiskFile::WriteAt(offset, buffer, length);
}

XBobjMemo::UndoPoint XBobjMemo::BeginUndo() {
  UndoPoint point{{}, headerLoaded_, pendingHeaderBytes_, knownBlocks_, BlocksInFile()};
  std::memcpy(point.header, header_, kHeaderBufferSize);
  journal_.emplace();
  return point;
}

void XBobjMemo::Undo(const UndoPoint& point) {
  std::vector<Overwritten> journal = std::move(*journal_);
  journal_.reset();
  try {
    // First, so that no pointer is put back to the old end while the text after it could
    // still pass for a header.
    const std::uint64_t oldEnd = static_cast<std::uint64_t>(point.endBlock) * blockSize_;
    if (FileSize() > oldEnd) {
      const std::uint8_t cleared[kMaxBlockHeader] = {};
      XBO_DiskFile::WriteAt(oldEnd, cleared, kMaxBlockHeader);
    }
    for (auto change = journal.rbegin(); change != journal.rend(); ++change) {
      if (change->bytes.empty()) continue;
      XBO_DiskFile::WriteAt(change->offset, change->bytes.data(),
                            static_cast<std::uint32_t>(change->bytes.size()));
    }
  } catch (const EXbaseError&) {
    // The disk refused the undo too; the failure of the memo write is the one reported.
  }
  std::memcpy(header_, point.header, kHeaderBufferSize);
  headerLoaded_ = point.headerLoaded;
  pendingHeaderBytes_ = point.pendingHeaderBytes;
  knownBlocks_ = point.knownBlocks;
}

void XBobjMemo::MemoFlush() {
  StorePendingHeader();
  Flush();
}

void XBobjMemo::MemoRename(std::string_view newTableName) {
  RenameWithTable(newTableName);
  StorePendingHeader();  // the new name belongs in the file as soon as it bears it
}

}  // namespace tables
