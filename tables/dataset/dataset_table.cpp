#include "tables/dataset/dataset_table.hpp"

#include <algorithm>
#include <cstring>

namespace tables {

TxbDataSetTable::ImageScope::ImageScope(TxbDataSetTable& table, const std::uint8_t* image)
    : table_(table), own_(table.recordImage(), table.recordImage() + table.recordLength()) {
  std::memcpy(table.recordImage(), image, table.recordLength());
}

TxbDataSetTable::ImageScope::~ImageScope() {
  std::memcpy(table_.recordImage(), own_.data(), own_.size());
}

void TxbDataSetTable::TakeEditedImage(std::int32_t n, const std::uint8_t* image) {
  ReadRecord(n);
  std::uint8_t* target = recordImage();
  if (target[0] != image[0]) {
    target[0] = image[0];
    MarkFieldChanged(0);
  }
  for (const XbFieldDesc& field : fields()) {
    const std::uint8_t* first = image + field.offset;
    if (!std::equal(first, first + field.length, target + field.offset)) {
      std::memcpy(target + field.offset, first, field.length);
      MarkFieldChanged(field.number);
    }
  }
}

void TxbDataSetTable::TakeNewImage(const std::uint8_t* image) {
  std::memcpy(recordImage(), image, recordLength());
  MarkAllFieldsChanged();
}

}  // namespace tables
