#pragma once
// XBobjFXMemo20: the ".FPT" memo file of versions 0xF5 and 0x30 (with the memo flag). Big-endian
// numbers; the block size is in header bytes 6-7; each memo starts with an 8-byte block header
// (type 1, text length). The 512-byte file header is never handed out as memo blocks.
#include "tables/storage/memo_file.hpp"

namespace tables {

class XBobjFXMemo20 : public XBobjMemo {
 public:
  XBobjFXMemo20(XBO_DiskFile& owner, std::string_view path, bool shared, bool writable);

  std::uint32_t AllocateBlocks(std::uint32_t oldBlock, std::uint32_t oldBlocks,
                               std::uint32_t length) override;
  std::uint32_t ReadBlockLength(std::uint32_t block) override;
  void RenameWithTable(std::string_view newTableName) override;

 protected:
  std::uint32_t FirstDataBlock() const override;
};

}  // namespace tables
