#pragma once
// Facts of the memo file layouts shared by the memo classes that read and write them and by
// the creation routine that makes them.
#include <cstddef>
#include <cstdint>

namespace tables::memo_layout {

// ".DBT" files: the block size of the first kind, and the least one a new file of the second
// kind takes (its sizes are multiples of it); the table name (upper case, at most 8 bytes)
// in the 9 header bytes from byte 8.
inline constexpr std::uint32_t kDbtBlockSize = 512;
inline constexpr std::size_t kDbtNameAt = 8;
inline constexpr std::size_t kDbtNameField = 9;
inline constexpr std::size_t kDbtNameLength = 8;
// ".DBT" files of the second kind keep their block size at header bytes 20-23.
inline constexpr int kDbt4BlockSizeAt = 20;

// ".FPT" files: a 512-byte file header, the block size at header bytes 6-7 (big-endian).
inline constexpr std::uint32_t kFptHeaderSize = 512;
inline constexpr int kFptBlockSizeAt = 6;
inline constexpr std::uint32_t kFptDefaultBlockSize = 64;

// The block header of ".DBT" files of the second kind and of ".FPT" files.
inline constexpr std::uint32_t kBlockHeaderSize = 8;

// The largest block size of the kinds that keep theirs in the header, as it is read and as a
// new file may take it: a two-byte number in files of these kinds (a larger one in a damaged
// header would have each memo write reach gigabytes into the file).
inline constexpr std::uint32_t kMaxBlockSize = 0xFFFF;
// The least block size of a ".DBT" file of the second kind: block 0 must hold the 32 header
// bytes that are read, else memos would be written over them.
inline constexpr std::uint32_t kDbt4MinBlockSize = 32;

}  // namespace tables::memo_layout
