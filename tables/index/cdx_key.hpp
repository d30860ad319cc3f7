#pragma once
// Key bytes of compound index tags. Character keys are their text without trailing blanks
// (MACHINE collation) or a weight string followed by a mark string (GENERAL collation);
// numeric and date keys are 8-byte big-endian doubles made to sort as unsigned bytes (sign bit
// set for values with a clear sign, every bit inverted otherwise). In memory a numeric key is
// always all 8 bytes; only a leaf drops its trailing 0x00 bytes (never 0xFF, which would
// misorder negative keys).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tables {

inline constexpr int kCdxNumericKeyLength = 8;

// The 8 key bytes of a number (a date's Julian day for date tags).
std::string CdxNumberKey(double value);
// The number a numeric key holds; a key shorter than 8 bytes is read as padded with 0x00.
double CdxKeyNumber(std::string_view key);

// The GENERAL-collation key of a text (trailing blanks are removed first).
std::string CdxGeneralKey(std::string_view text);
// GENERAL keys keep their final mark bytes (0xF0 and above) with the top four bits cleared
// when stored; these turn a key into its stored form and back.
void CdxGeneralToStored(std::string& key);
void CdxGeneralFromStored(std::string& key);

// Unsigned byte order, the shorter key first when one is the start of the other.
int CdxCompareKeys(std::string_view left, std::string_view right);

// Text without its trailing blanks.
std::string_view CdxTrimBlanks(std::string_view text);

// How probe orders against the text key padded (blank-padded to its key length, at least as
// long as probe), as CdxCompareKeys orders it against the key without its trailing blanks:
// -1, 0 or 1. With prefixMatches a key that begins with probe counts as equal. The padding is
// only looked at where the bytes before it agree.
int CdxComparePadded(std::string_view probe, std::string_view padded, bool prefixMatches);

}  // namespace tables
