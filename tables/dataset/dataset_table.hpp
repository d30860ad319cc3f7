#pragma once
// TxbDataSetTable: the handler a TXbaseDataSet owns. Beyond DBFObject it moves record images
// between the handler and the dataset's record buffers: the dataset's field reads and writes
// run on the handler's image with a buffer's bytes swapped in, and a posted buffer becomes the
// handler's image with exactly the fields that differ from the stored record marked changed.
#include <cstdint>
#include <vector>

#include "tables/handler/dbf_object.hpp"

namespace tables {

class TxbDataSetTable : public DBFObject {
 public:
  using DBFObject::DBFObject;

  // Puts `image` (record length bytes) in the handler's place for the life of the scope; the
  // handler's own image comes back afterwards. Reads and writes of fields meanwhile act on the
  // swapped-in bytes, which Image() hands back.
  class ImageScope {
   public:
    ImageScope(TxbDataSetTable& table, const std::uint8_t* image);
    ~ImageScope();
    ImageScope(const ImageScope&) = delete;
    ImageScope& operator=(const ImageScope&) = delete;
    const std::uint8_t* Image() const { return table_.recordImage(); }

   private:
    TxbDataSetTable& table_;
    std::vector<std::uint8_t> own_;
  };

  // Reads record n from the file and lays `image` over it, marking changed the deletion flag
  // and every field whose bytes differ; PutRecord(n) then stores it.
  void TakeEditedImage(std::int32_t n, const std::uint8_t* image);
  // Makes `image` the image of a new record, every field marked changed, for AppendRecord.
  void TakeNewImage(const std::uint8_t* image);
};

}  // namespace tables
