#pragma once
// The dBase III single index file (NDX): 512-byte blocks addressed by number; block 0 is the
// header, every other block one node. A node holds a 32-bit key count and entries of
// (child block, record number, key); an interior node (first child not 0) holds one more
// child pointer than keys. Keys are blank-padded text or, for numeric and date tags, 8-byte
// doubles (a date as its Julian day, the empty date as 1e100 so that it sorts last).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tables/index/index_key.hpp"

namespace tables {

inline constexpr std::uint32_t kNdxBlockSize = 512;
inline constexpr int kNdxNumericKeyLength = 8;
inline constexpr double kNdxEmptyDate = 1e100;

// A header or node that cannot be what it claims.
class NdxLayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct NdxHeader {
  std::uint32_t root = 1;       // block number
  std::uint32_t nextBlock = 2;  // the number of blocks in the file
  int keyLength = 0;
  int maxKeys = 0;
  bool numeric = false;  // key type 1: 8-byte doubles
  int entrySize = 0;
  bool unique = false;
  std::string keyExpression;
};

// The header of a new tag: entry size and node capacity from the key length.
NdxHeader NdxHeaderFor(std::string expression, int keyLength, bool numeric, bool unique);
// Reads and checks the header (fileSize: the file's length in bytes).
NdxHeader NdxReadHeader(const std::uint8_t* block, std::uint64_t fileSize);
void NdxWriteHeader(const NdxHeader& header, std::uint8_t* block);

// One entry as a node holds it: key bytes at full key length.
struct NdxStoredEntry {
  std::uint32_t child = 0;  // block number; 0 in a leaf
  std::uint32_t record = 0;
  std::string key;
};

// The entries of a node block; an interior node's last entry is its extra pointer (no key).
struct NdxStoredNode {
  bool leaf = true;
  std::vector<NdxStoredEntry> entries;
};
NdxStoredNode NdxReadNode(const NdxHeader& header, const std::uint8_t* block);
// Encodes a leaf (every entry with its key) or an interior node (the last entry only its
// child) into a zeroed block.
void NdxWriteNode(const NdxHeader& header, const NdxStoredNode& node, std::uint8_t* block);

}  // namespace tables
