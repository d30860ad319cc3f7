#pragma once
// Facts of the table file layout shared by the table, the memo files and the creation routine.
#include <cstdint>

namespace tables {

// Version byte values the engine accepts.
namespace xb_version {
inline constexpr std::uint8_t Plain = 0x03;       // no memo
inline constexpr std::uint8_t Visual = 0x30;      // binary field types, 263-byte area, FPT memo
inline constexpr std::uint8_t DBase3Memo = 0x83;  // DBT memo, first kind
inline constexpr std::uint8_t DBase4Memo = 0x8B;  // DBT memo with block size
inline constexpr std::uint8_t FoxMemo = 0xF5;     // FPT memo
}  // namespace xb_version

// Offsets in the 32-byte table header.
namespace xb_header {
inline constexpr int Size = 32;
inline constexpr int Version = 0;
inline constexpr int UpdateDate = 1;  // year mod 100, month, day
inline constexpr int RecordCount = 4;
inline constexpr int HeaderLength = 8;
inline constexpr int RecordLength = 10;
inline constexpr int Encrypted = 15;
inline constexpr int UpdateStamp = 16;
inline constexpr int UserId = 20;
inline constexpr int Flags = 28;
inline constexpr std::uint8_t FlagBits = 0x07;  // structural index, memo, database container
inline constexpr std::uint8_t ProductionIndexFlag = 0x01;
inline constexpr std::uint8_t MemoFlag = 0x02;
}  // namespace xb_header

inline constexpr int kDescriptorSize = 32;
inline constexpr std::uint8_t kDescriptorEnd = 0x0D;
inline constexpr int kVisualExtraArea = 263;  // after the terminator of a version 0x30 table
inline constexpr int kMaxFields = 4096;
inline constexpr std::uint8_t kEndOfFile = 0x1A;
inline constexpr std::uint8_t kActiveFlag = ' ';
inline constexpr std::uint8_t kDeletedFlag = '*';

enum class XbMemoKind { None, DBase3, DBase4, Fox };

inline bool XbKnownVersion(std::uint8_t version) {
  return version == xb_version::Plain || version == xb_version::Visual ||
         version == xb_version::DBase3Memo || version == xb_version::DBase4Memo ||
         version == xb_version::FoxMemo;
}

// The memo file a table of this version and flags byte has.
inline XbMemoKind XbMemoKindFor(std::uint8_t version, std::uint8_t flags) {
  switch (version) {
    case xb_version::DBase3Memo:
      return XbMemoKind::DBase3;
    case xb_version::DBase4Memo:
      return XbMemoKind::DBase4;
    case xb_version::FoxMemo:
      return XbMemoKind::Fox;
    case xb_version::Visual:
      return (flags & xb_header::MemoFlag) ? XbMemoKind::Fox : XbMemoKind::None;
    default:
      return XbMemoKind::None;
  }
}

// The extension of a memo file of that kind (without the dot).
inline const char* XbMemoExtension(XbMemoKind kind) {
  return kind == XbMemoKind::Fox ? "FPT" : "DBT";
}

// Size of the field descriptor area for a header length (the block the cipher transforms).
inline int XbDescriptorAreaSize(std::uint8_t version, int headerLength) {
  return headerLength - xb_header::Size - 1 -
         (version == xb_version::Visual ? kVisualExtraArea : 0);
}

// The header's update stamp: ((hour x 64 + minute) x 64 + second) x 1024 + millisecond.
inline std::uint32_t XbUpdateStamp(int hour, int minute, int second, int millisecond) {
  return static_cast<std::uint32_t>(((hour * 64 + minute) * 64 + second) * 1024 + millisecond);
}

}  // namespace tables
