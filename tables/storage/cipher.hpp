#pragma once
// The table cipher: one reversible byte transform for records, the field descriptor area, memo
// texts and index blocks of an encrypted table. Every block starts again at position 0.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tables {

// target[i] = source[i] XOR ((i mod 256) OR key[i mod key length]). Encoding and decoding are
// the same operation; the result is 1 for an encode, -1 for a decode. With an empty key the
// bytes are copied unchanged (nothing is done when source and target are the same buffer) and
// the result is 0. source and target may be the same buffer.
int TransformBlock(std::string_view key, const std::uint8_t* source, std::uint8_t* target,
                   std::size_t count, bool encode);

}  // namespace tables
