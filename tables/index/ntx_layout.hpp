#pragma once
// The Clipper index file (NTX): 1024-byte pages at byte offsets; the header page at 0. A page
// holds a 16-bit key count and a table of (maximum + 1) slot offsets, each slot an entry of
// (child page offset, record number, key); the keys of interior pages are entries of their
// own (a B-tree), and their last slot holds only the pointer to the keys after the last key.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tables {

inline constexpr std::uint32_t kNtxPageSize = 1024;
inline constexpr int kNtxMaxKeyLength = 250;

class NtxLayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct NtxHeader {
  std::uint16_t signature = 6;  // 7 with a FOR expression
  std::uint16_t version = 1;
  std::uint32_t root = kNtxPageSize;
  std::uint32_t nextFree = 0;
  int entrySize = 0;
  int keyLength = 0;
  int decimals = 0;
  int maxKeys = 0;
  int half = 0;
  std::string keyExpression;
  bool unique = false;
  bool descending = false;
  std::string forExpression;
};

NtxHeader NtxHeaderFor(std::string expression, std::string forExpression, int keyLength,
                       int decimals, bool unique, bool descending);
NtxHeader NtxReadHeader(const std::uint8_t* page, std::uint64_t fileSize);
void NtxWriteHeader(const NtxHeader& header, std::uint8_t* page);

struct NtxStoredEntry {
  std::uint32_t child = 0;
  std::uint32_t record = 0;
  std::string key;  // key length bytes; empty for the pointer-only last slot
};

struct NtxStoredPage {
  bool leaf = true;
  // An interior page's entries end with the pointer-only slot.
  std::vector<NtxStoredEntry> entries;
};
NtxStoredPage NtxReadPage(const NtxHeader& header, const std::uint8_t* page);
// Encodes into a page with the slot table in its first order and unused slots zeroed.
void NtxWritePage(const NtxHeader& header, const NtxStoredPage& content, std::uint8_t* page);

}  // namespace tables
