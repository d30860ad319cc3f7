#pragma once
// A table with one NTX file kept current the way the table handler keeps it (the new image set
// up, the stored record taken as the previous image, the keys prepared, the record written and
// the change applied), and the comparison of its tag with a fresh build of the same index.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tables/index/family_verifier.hpp"
#include "tables/index/ntx_file.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables::testing {

class NtxUpkeepTable {
 public:
  NtxUpkeepTable(StorageTestMachine& sim, const std::vector<XbFieldDef>& fields) : sim_(sim) {
    CreateTable(sim.machine(), StorageTestMachine::Path("T.DBF"), 0x03, fields, "");
    table_ = std::make_unique<XBO_dBaseFld>(sim_.machine(), StorageTestMachine::Path("T.DBF"),
                                            false, true, "");
    table_->BlankRecord();
  }

  std::unique_ptr<XBobjNTXFile> OpenIndex(XBO_dBaseFld& table, bool shared,
                                          const std::string& name = "T.NTX") {
    return std::make_unique<XBobjNTXFile>(table, name, "", XbIndexOpenMode{true, shared, true});
  }
  void Index(const XbTagDefinition& definition) {
    definition_ = definition;
    index_ = OpenIndex(*table_, false);
    index_->AddTag(definition);
  }

  // Closes the index, so that its file can be changed or opened again.
  void CloseIndex() { index_.reset(); }

  bool Append(const Fill& fill) { return UpkeepTable::Append(*table_, *index_, fill); }
  bool Change(std::int32_t n, const Fill& fill) {
    return UpkeepTable::Change(*table_, *index_, n, fill);
  }

  // The verifier's faults and, unless the tag walks as a fresh build of it does (equal keys
  // compared without their order, which here is the order they came in), a line saying so.
  std::string Disagreements() {
    std::string text = Faults(XbVerifyIndexFamily(*index_));
    const auto fresh = OpenIndex(*table_, false, "F.NTX");
    fresh->AddTag(definition_);
    if (Canonical(*index_->NtxTag()) != Canonical(*fresh->NtxTag()))
      text += "the tag walks unlike a fresh build\n";
    return text;
  }

  // The walk with the records of equal keys sorted (only the keys in a unique tag, whose
  // record for a key depends on the order the records took it in).
  Walked Canonical(XBobjIndexTag& tag) {
    Walked walked = UpkeepTable::Seen(tag, definition_.unique);
    for (auto first = walked.begin(); first != walked.end();) {
      const auto end = std::find_if(first, walked.end(),
                                    [&](const auto& entry) { return entry.first != first->first; });
      std::sort(first, end);
      first = end;
    }
    return walked;
  }

  std::vector<std::uint8_t> IndexBytes() {
    return sim_.ReadBytes(StorageTestMachine::Path("T.NTX"));
  }

  XBO_dBaseFld& table() { return *table_; }
  XBobjNTXFile& index() { return *index_; }
  XBobjNTXTag& tag() { return *index_->NtxTag(); }

 private:
  StorageTestMachine& sim_;
  std::unique_ptr<XBO_dBaseFld> table_;
  std::unique_ptr<XBobjNTXFile> index_;
  XbTagDefinition definition_;
};

}  // namespace tables::testing
