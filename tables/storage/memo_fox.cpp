#include "tables/storage/memo_fox.hpp"

#include "tables/storage/byte_order.hpp"
#include "tables/storage/memo_layout.hpp"
#include "tables/storage/table_names.hpp"

namespace tables {
namespace {

using memo_layout::kBlockHeaderSize;
constexpr std::uint32_t kTextType = 1;
constexpr std::uint32_t kPictureType = 0;
constexpr std::uint32_t kWrittenHeaderBytes = 8;

}  // namespace

XBobjFXMemo20::XBobjFXMemo20(XBO_DiskFile& owner, std::string_view path, bool shared, bool writable)
    : XBobjMemo(owner, path, shared, writable, kBlockHeaderSize) {
  ReadHeader();
  SetBlockSize(ReadBE16(header_ + memo_layout::kFptBlockSizeAt));
}

std::uint32_t XBobjFXMemo20::FirstDataBlock() const {
  return (memo_layout::kFptHeaderSize + blockSize() - 1) / blockSize();
}

std::uint32_t XBobjFXMemo20::ReadBlockLength(std::uint32_t block) {
  std::uint8_t head[kBlockHeaderSize];
  const std::uint32_t got =
      ReadAt(static_cast<std::uint64_t>(block) * blockSize(), head, kBlockHeaderSize);
  if (got < kBlockHeaderSize) FormatError();
  const std::uint32_t type = ReadBE32(head);
  if (type != kTextType && type != kPictureType) FormatError();
  return ReadBE32(head + 4);
}

std::uint32_t XBobjFXMemo20::AllocateBlocks(std::uint32_t oldBlock, std::uint32_t oldBlocks,
                                            std::uint32_t length) {
  WriteBE32(blockHeader_, kTextType);
  WriteBE32(blockHeader_ + 4, length);
  const std::uint32_t needed = BlocksFor(length);
  if (oldBlock != 0 && needed <= oldBlocks) return oldBlock;
  ReadHeader();
  // At the end of the file, as in the first DBT kind (see there).
  const std::uint32_t block = BlocksInFile();
  WriteBE32(header_, block + needed);
  WriteHeader(kWrittenHeaderBytes);
  return block;
}

void XBobjFXMemo20::RenameWithTable(std::string_view newTableName) {
  Rename(XbWithExtension(newTableName, "FPT"));
}

}  // namespace tables
