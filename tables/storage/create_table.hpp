#pragma once
// Creating a new table file with its empty memo file, in exactly the layout the engine and the
// other xBase programs read (the engine itself only ever opens existing tables).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.hpp"

namespace tables {

struct XbFieldDef {
  std::string name;  // 1 to 10 letters, digits or _, starting with a letter; stored upper case
  char type = 'C';
  int length = 0;
  int decimals = 0;  // N and F only
};

// The one length a field type has in a table of this version (D 8, L 1, M 10 or 4 in 0x30, ...);
// 0 for the types whose length is chosen (C, N, F).
int XbFixedFieldLength(char type, std::uint8_t version);

// Creates the table at path (named as tables open: trimmed, upper-cased, ".DBF" added when it
// has no extension) for version 0x03, 0x30, 0x83, 0x8B or 0xF5, with no records. A non-empty
// key marks the table encrypted and encodes its descriptor area. The memo file is created for
// 0x83 (".DBT", 512-byte blocks), 0x8B (".DBT", memoBlockSize or 512, a multiple of 512 up to
// 65024), 0xF5 (".FPT", memoBlockSize or 64) and 0x30 tables with M or G fields (".FPT",
// memoBlockSize or 64; the table gets the memo flag); block sizes are two-byte numbers.
//
// Field lengths: C 1..65535, N and F 1..20 with decimals below the length, D 8, L 1, M and G
// 10 (4 in 0x30), B 10 (8 in 0x30, a double), I 4, Y 8 and T 8 (0x30 only). Invalid
// definitions (EXbaseError saying what is wrong) and an existing table or memo file (error 183
// "File already exists") are refused before anything is created.
// The table is made on machine, or without one on the current machine.
void CreateTable(platform::Machine& machine, std::string_view path, std::uint8_t version,
                 const std::vector<XbFieldDef>& fields, std::string_view key = {},
                 std::uint32_t memoBlockSize = 0);
void CreateTable(std::string_view path, std::uint8_t version, const std::vector<XbFieldDef>& fields,
                 std::string_view key = {}, std::uint32_t memoBlockSize = 0);

}  // namespace tables
