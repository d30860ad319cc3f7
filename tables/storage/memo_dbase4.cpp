#include "tables/storage/memo_dbase4.hpp"

#include "tables/storage/byte_order.hpp"
#include "tables/storage/memo_layout.hpp"

namespace tables {
namespace {

using memo_layout::kBlockHeaderSize;
constexpr int kUsedMarkAt = 4;
constexpr std::uint8_t kUsedBlock = 0xFF;

}  // namespace

XBobjMemo4::XBobjMemo4(XBO_DiskFile& owner, std::string_view path, bool shared, bool writable)
    : XBobjMemo(owner, path, shared, writable, kBlockHeaderSize) {
  // The header heads the free chain: stale on disk after an abrupt end of the program, it would
  // hand out the blocks of the memos written since as free.
  WriteHeaderAtOnce();
  ReadHeader();
  const std::uint32_t size = ReadLE32(header_ + memo_layout::kDbt4BlockSizeAt);
  if (size < memo_layout::kDbt4MinBlockSize || size > memo_layout::kMaxBlockSize) FormatError();
  SetBlockSize(size);
}

std::uint32_t XBobjMemo4::ReadBlockLength(std::uint32_t block) {
  std::uint8_t head[kBlockHeaderSize];
  const std::uint32_t got =
      ReadAt(static_cast<std::uint64_t>(block) * blockSize(), head, kBlockHeaderSize);
  if (got < kBlockHeaderSize || head[0] != kUsedBlock || head[1] != kUsedBlock) FormatError();
  const std::uint32_t total = ReadLE32(head + 4);
  if (total < kBlockHeaderSize) FormatError();
  return total - kBlockHeaderSize;
}

XBobjMemo4::FreeRun XBobjMemo4::ReadRun(std::uint32_t block) {
  std::uint8_t run[8];
  if (ReadAt(static_cast<std::uint64_t>(block) * blockSize(), run, sizeof run) < sizeof run) {
    FormatError();
  }
  return {ReadLE32(run), ReadLE32(run + 4)};
}

void XBobjMemo4::WriteRun(std::uint32_t block, FreeRun run) {
  std::uint8_t data[8];
  WriteLE32(data, run.next);
  WriteLE32(data + 4, run.length);
  WriteAt(static_cast<std::uint64_t>(block) * blockSize(), data, sizeof data);
}

void XBobjMemo4::SetNext(std::uint32_t block, std::uint32_t next) {
  if (block == 0) {
    WriteLE32(header_, next);
    WriteHeader();
    return;
  }
  FreeRun run = ReadRun(block);
  run.next = next;
  WriteRun(block, run);
}

void XBobjMemo4::FreeBlocks(std::uint32_t block) {
  const std::uint64_t total = static_cast<std::uint64_t>(ReadBlockLength(block)) + kBlockHeaderSize;
  const auto runLength = static_cast<std::uint32_t>((total + blockSize() - 1) / blockSize());
  ReadHeader();
  WriteRun(block, {ReadLE32(header_), runLength});
  WriteLE32(header_, block);
  WriteLE32(header_ + kUsedMarkAt, 0);
  WriteHeader();
}

std::uint32_t XBobjMemo4::AllocateBlocks(std::uint32_t oldBlock, std::uint32_t oldBlocks,
                                         std::uint32_t length) {
  const std::uint32_t needed = BlocksFor(length);
  if (oldBlock != 0) {
    // The freed run heads the chain; when it is too short the walk goes on along the chain as
    // it is now. Walk that part first, so that a damaged chain is reported while the old text
    // is still intact (freeing overwrites its block header).
    if (oldBlocks < needed) FindRun(needed);
    FreeBlocks(oldBlock);
  }
  const std::uint32_t block = TakeBlocks(needed);
  blockHeader_[0] = kUsedBlock;
  blockHeader_[1] = kUsedBlock;
  WriteLE16(blockHeader_ + 2, kBlockHeaderSize);
  WriteLE32(blockHeader_ + 4, length + kBlockHeaderSize);
  return block;
}

XBobjMemo4::ChainStop XBobjMemo4::FindRun(std::uint32_t needed) {
  ReadHeader();
  const std::uint32_t end = BlocksInFile();
  ChainStop stop;
  stop.current = ReadLE32(header_);
  // Every run lies below the end, so a chain longer than that loops.
  for (std::uint32_t steps = 0; stop.current != 0 && stop.current < end; ++steps) {
    if (steps > end) FormatError();
    stop.run = ReadRun(stop.current);
    if (stop.run.length >= needed) {
      stop.found = true;
      return stop;
    }
    stop.previous = stop.current;
    stop.current = stop.run.next;
  }
  return stop;
}

std::uint32_t XBobjMemo4::TakeBlocks(std::uint32_t needed) {
  const ChainStop stop = FindRun(needed);
  if (!stop.found) {
    const std::uint32_t end = BlocksInFile();
    SetNext(stop.previous, end + needed);
    return end;
  }
  std::uint32_t successor = stop.run.next;
  if (stop.run.length > needed) {
    successor = stop.current + needed;
    WriteRun(successor, {stop.run.next, stop.run.length - needed});
  }
  SetNext(stop.previous, successor);
  return stop.current;
}

}  // namespace tables
