#include "tables/storage/lock_protocol.hpp"

namespace tables {
namespace {

constexpr std::uint64_t kClipBase = 1000000000;

XbLockRegion FoxRegion(XbLockKind kind, std::int64_t n, std::int64_t headerLength,
                       std::int64_t recordLength, bool indexOpen) {
  switch (kind) {
    case XbLockKind::Record:
      if (indexOpen) return {static_cast<std::uint64_t>(0x7FFFFFFE - n), 1};
      return {static_cast<std::uint64_t>(0x40000000 + headerLength + (n - 1) * recordLength), 1};
    case XbLockKind::Header:
      return {0x7FFFFFFE, 1};
    case XbLockKind::WholeTable:
      return {0x40000000, 0x3FFFFFFF};
    case XbLockKind::WholeTableFromZero:
      return {0, 0x3FFFFFFF};
    case XbLockKind::Memo:
    case XbLockKind::Index:
      return {0x7FFFFFFD, 1};
  }
  return {};
}

XbLockRegion DBase4Region(XbLockKind kind, std::int64_t n) {
  switch (kind) {
    case XbLockKind::Record:
      return {static_cast<std::uint64_t>(0xEFFFFFFE - n), 1};
    case XbLockKind::Header:
      return {0xEFFFFFFF, 1};
    case XbLockKind::WholeTable:
      return {0x40000000, 0xB0000000};
    case XbLockKind::WholeTableFromZero:
      return {0, 0xB0000000};
    case XbLockKind::Memo:
    case XbLockKind::Index:
      return {0xEFFFFFFE, 2};
  }
  return {};
}

XbLockRegion ClipperRegion(XbLockKind kind, std::int64_t n) {
  switch (kind) {
    case XbLockKind::Record:
      return {static_cast<std::uint64_t>(static_cast<std::int64_t>(kClipBase) + n), 1};
    case XbLockKind::Header:
    case XbLockKind::Memo:
    case XbLockKind::Index:
      return {kClipBase, 1};
    case XbLockKind::WholeTable:
      return {kClipBase, kClipBase};
    case XbLockKind::WholeTableFromZero:
      return {0, kClipBase};
  }
  return {};
}

}  // namespace

XbLockRegion XbLockRegionFor(TxbLokProtocol protocol, XbLockKind kind, std::int32_t recordNumber,
                             std::uint32_t headerLength, std::uint32_t recordLength,
                             bool indexOpen) {
  switch (protocol) {
    case TxbLokProtocol::DB4Lock:
      return DBase4Region(kind, recordNumber);
    case TxbLokProtocol::ClipLock:
      return ClipperRegion(kind, recordNumber);
    case TxbLokProtocol::Default:
    case TxbLokProtocol::FoxLock:
      break;
  }
  return FoxRegion(kind, recordNumber, headerLength, recordLength, indexOpen);
}

}  // namespace tables
