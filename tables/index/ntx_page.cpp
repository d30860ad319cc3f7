#include "tables/index/ntx_page.hpp"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tables/storage/byte_order.hpp"

namespace tables {
namespace {

constexpr int kSlotTable = 2;

}  // namespace

NtxPage::NtxPage(const NtxHeader& header) : header_(&header) {
  for (int slot = 0; slot <= header.maxKeys; ++slot) {
    SetSlotOffset(slot,
                  static_cast<std::uint16_t>(slot * header.entrySize + 2 * header.maxKeys + 4));
  }
}

NtxPage::NtxPage(const NtxHeader& header, const std::uint8_t* bytes) : header_(&header) {
  std::memcpy(bytes_.data(), bytes, kNtxPageSize);
  NtxReadPage(header, bytes);
  // Edits move the slots about: every slot, used or not, must name space of its own.
  std::vector<std::uint16_t> offsets;
  const auto first = static_cast<std::uint32_t>(2 * header.maxKeys + 4);
  for (int slot = 0; slot <= header.maxKeys; ++slot) {
    const std::uint16_t offset = SlotOffset(slot);
    if (offset < first || offset + static_cast<std::uint32_t>(header.entrySize) > kNtxPageSize) {
      throw NtxLayoutError("unused slot " + std::to_string(slot) + " points outside the page");
    }
    offsets.push_back(offset);
  }
  std::sort(offsets.begin(), offsets.end());
  for (std::size_t i = 1; i < offsets.size(); ++i) {
    if (offsets[i] - offsets[i - 1] < header.entrySize) {
      throw NtxLayoutError("two slots share the entry space at " + std::to_string(offsets[i]));
    }
  }
}

int NtxPage::count() const {
  return ReadLE16(bytes_.data());
}

bool NtxPage::leaf() const {
  return ReadLE32(EntryAt(0)) == 0;
}

std::uint32_t NtxPage::child(int slot) const {
  return ReadLE32(EntryAt(slot));
}

std::uint32_t NtxPage::record(int slot) const {
  return ReadLE32(EntryAt(slot) + 4);
}

std::string_view NtxPage::storedKey(int slot) const {
  return {reinterpret_cast<const char*>(EntryAt(slot) + 8),
          static_cast<std::size_t>(header_->keyLength)};
}

void NtxPage::Insert(int slot, const NtxStoredEntry& entry) {
  const int used = this->used();
  if (count() >= header_->maxKeys || slot > used) {
    throw NtxLayoutError("no room for an entry at slot " + std::to_string(slot));
  }
  const std::uint16_t free = SlotOffset(used);
  for (int i = used; i > slot; --i)
    SetSlotOffset(i, SlotOffset(i - 1));
  SetSlotOffset(slot, free);
  SetCount(count() + 1);
  SetChild(slot, entry.child);
  SetKey(slot, entry.record, entry.key);
}

void NtxPage::Erase(int slot) {
  const int used = this->used();
  if (slot >= count()) throw NtxLayoutError("no key at slot " + std::to_string(slot));
  const std::uint16_t freed = SlotOffset(slot);
  for (int i = slot; i + 1 < used; ++i)
    SetSlotOffset(i, SlotOffset(i + 1));
  SetSlotOffset(used - 1, freed);
  std::memset(bytes_.data() + freed, 0, static_cast<std::size_t>(header_->entrySize));
  SetCount(count() - 1);
}

void NtxPage::SetChild(int slot, std::uint32_t child) {
  WriteLE32(EntryAt(slot), child);
}

void NtxPage::SetKey(int slot, std::uint32_t record, std::string_view key) {
  std::uint8_t* entry = EntryAt(slot);
  WriteLE32(entry + 4, record);
  const auto length = static_cast<std::size_t>(header_->keyLength);
  std::memset(entry + 8, ' ', length);
  std::memcpy(entry + 8, key.data(), std::min(key.size(), length));
}

std::uint8_t* NtxPage::EntryAt(int slot) {
  return bytes_.data() + SlotOffset(slot);
}

const std::uint8_t* NtxPage::EntryAt(int slot) const {
  return bytes_.data() + SlotOffset(slot);
}

void NtxPage::SetCount(int count) {
  WriteLE16(bytes_.data(), static_cast<std::uint16_t>(count));
}

std::uint16_t NtxPage::SlotOffset(int slot) const {
  return ReadLE16(bytes_.data() + kSlotTable + 2 * slot);
}

void NtxPage::SetSlotOffset(int slot, std::uint16_t offset) {
  WriteLE16(bytes_.data() + kSlotTable + 2 * slot, offset);
}

}  // namespace tables
