#pragma once
// XBobjIndexKeyData: one key entry of an index node. In a leaf the pointer repeats the record
// number; in an interior node it is the page offset of the child the entry describes, and
// the key and record number are those of the last entry below that child.
#include <cstdint>
#include <string>

namespace tables {

struct XBobjIndexKeyData {
  std::string key;  // key bytes in the tag's key form
  std::int32_t record = 0;
  std::uint32_t pointer = 0;
};

}  // namespace tables
