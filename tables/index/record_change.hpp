#pragma once
// The keys one record write moves in the tags of one index file. The handler has them
// evaluated under the index locks before the record is written, so that a key or FOR
// expression that fails writes nothing, and applied once the record is written.
#include <cstdint>
#include <string>
#include <vector>

namespace tables {

// One tag's part of a record change; keys in the tag's key form.
struct XbTagKeyChange {
  bool oldIn = false;  // the stored record had an entry (its FOR held)
  std::string oldKey;
  bool newIn = false;  // the new image gets an entry
  std::string newKey;
};

struct XbRecordChange {
  std::int32_t record = 0;
  bool append = false;
  std::vector<XbTagKeyChange> tags;  // one per tag, in tag order
};

}  // namespace tables
