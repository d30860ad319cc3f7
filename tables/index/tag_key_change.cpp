#include "tables/index/tag_key_change.hpp"

#include "tables/storage/xbase_error.hpp"

namespace tables {

bool XbEvaluateEntry(XBobjIndexTag& tag, std::int32_t record, std::string& key) {
  if (!tag.EvaluateFor()) return false;
  if (!tag.EvaluateKey(key)) {
    throw EXbaseError("Record " + std::to_string(record) + ": the key expression " +
                      tag.KeyExpressionText() + " of tag " + tag.name() + " gives no key");
  }
  return true;
}

}  // namespace tables
