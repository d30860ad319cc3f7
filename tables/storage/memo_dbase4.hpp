#pragma once
// XBobjMemo4: the ".DBT" memo file of version 0x8B tables. The block size is in the file
// header (bytes 20-23); each memo starts with an 8-byte block header (0xFF 0xFF, 8, total
// length); freed memos go on a chain of free runs that later memos reuse.
#include "tables/storage/memo_file.hpp"

namespace tables {

class XBobjMemo4 : public XBobjMemo {
 public:
  XBobjMemo4(XBO_DiskFile& owner, std::string_view path, bool shared, bool writable);

  std::uint32_t AllocateBlocks(std::uint32_t oldBlock, std::uint32_t oldBlocks,
                               std::uint32_t length) override;
  void FreeBlocks(std::uint32_t block) override;
  std::uint32_t ReadBlockLength(std::uint32_t block) override;

 private:
  struct FreeRun {
    std::uint32_t next = 0;
    std::uint32_t length = 0;  // in blocks
  };
  // Where a walk of the free chain from the file header stopped: at the first run of at least
  // the blocks needed (found), else at the end of the file after the run previous.
  struct ChainStop {
    std::uint32_t previous = 0;  // 0: the file header
    std::uint32_t current = 0;
    FreeRun run;
    bool found = false;
  };
  // Reads the chain only; a chain that loops is a format error.
  ChainStop FindRun(std::uint32_t needed);
  // Takes the first free run of at least needed blocks (splitting a longer one), else
  // needed blocks at the end of the file.
  std::uint32_t TakeBlocks(std::uint32_t needed);
  FreeRun ReadRun(std::uint32_t block);
  void WriteRun(std::uint32_t block, FreeRun run);
  // Points the chain member at block (0: the file header) to next.
  void SetNext(std::uint32_t block, std::uint32_t next);
};

}  // namespace tables
