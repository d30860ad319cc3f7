#pragma once
// The engine reads and writes the integers of its files with the platform's byte-order coder:
// table and DBT memo files are little-endian, FPT memo files big-endian.
#include "platform/byte_order.hpp"

namespace tables {

using platform::ReadBE16;
using platform::ReadBE32;
using platform::ReadLE16;
using platform::ReadLE32;
using platform::ReadLE64;
using platform::ReadLEDouble;
using platform::WriteBE16;
using platform::WriteBE32;
using platform::WriteLE16;
using platform::WriteLE32;
using platform::WriteLE64;
using platform::WriteLEDouble;

}  // namespace tables
