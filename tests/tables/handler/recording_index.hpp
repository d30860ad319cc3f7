#pragma once
// An index file that records how the handler drives the record-change interface: each call
// with the record, whether the file was locked, the old image handed over and the table's
// record count at that moment. It can be told to fail its prepare step.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tables/index/index_file.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables::testing {

struct RecordedCall {
  std::string what;  // "prepare" or "apply"
  std::int32_t record = 0;
  bool locked = false;
  std::optional<std::string> oldImage;  // prepare: the old image handed over, if any
  std::int32_t tableCount = 0;          // the table's record count as the file holds it
};

class RecordingIndex : public XBobjIndexFile {
 public:
  RecordingIndex(XBO_dBaseFld& table, const std::string& path) : XBobjIndexFile(table, "") {
    file_.Create(path, true, true);
  }

  void AddTag(const XbTagDefinition&) override {}
  bool DropTag(std::string_view) override { return false; }
  void Rebuild() override {}
  bool HasChanged() override { return false; }

  XbRecordChange PrepareRecordChange(std::int32_t record,
                                     const std::uint8_t* previousImage) override {
    RecordedCall call{"prepare", record, Locked(), std::nullopt, StoredCount()};
    if (previousImage) {
      call.oldImage =
          std::string(reinterpret_cast<const char*>(previousImage), table().recordLength());
    }
    calls.push_back(call);
    if (failPrepare) throw EXbaseError("Variable NOSUCH is not defined");
    XbRecordChange change;
    change.record = record;
    change.append = previousImage == nullptr;
    return change;
  }

  bool ApplyRecordChange(const XbRecordChange& change) override {
    calls.push_back({"apply", change.record, Locked(), std::nullopt, StoredCount()});
    return false;
  }

  bool Locked() { return diskFile().lockCount() > 0; }

  std::vector<RecordedCall> calls;
  bool failPrepare = false;

 private:
  std::int32_t StoredCount() {
    const std::uint64_t size =
        table().machine().files().Exists(table().path()) ? table().FileSize() : 0;
    return static_cast<std::int32_t>((size - table().headerLength()) / table().recordLength());
  }
};

}  // namespace tables::testing
