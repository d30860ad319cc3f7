#pragma once
// A table with a compound index kept current the way the table handler keeps it: the new image
// is set up, the stored record taken as the previous image, the keys prepared, the record
// written and the prepared change applied.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_verifier.hpp"
#include "tables/storage/create_table.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables::testing {

using Fill = std::function<void(XBO_dBaseFld&)>;
using Walked = std::vector<std::pair<std::string, std::int32_t>>;

// prefix followed by n in digits places ("K00042"): numbered keys sort as their numbers.
inline std::string Numbered(const char* prefix, int n, int digits = 5) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%0*d", prefix, digits, n);
  return text;
}

// A record fill that sets NAME.
inline Fill Name(const std::string& name) {
  return [name](XBO_dBaseFld& table) { table.SetFieldText("NAME", name); };
}

inline XbTagDefinition TagDefinition(const std::string& name, const std::string& expression,
                                     const std::string& forExpression = "") {
  XbTagDefinition definition;
  definition.name = name;
  definition.keyExpression = expression;
  definition.forExpression = forExpression;
  return definition;
}

// The entries of a tag in tag order.
inline Walked WalkTag(XBobjIndexTag& tag) {
  Walked met;
  for (tag.Move(xb_move::First); tag.current(); tag.Move(xb_move::Next))
    met.emplace_back(tag.current()->key, tag.current()->record);
  return met;
}

inline std::string Faults(const XbIndexCheck& check) {
  std::string text;
  for (const auto& fault : check.faults)
    text += fault.tag + " " + std::to_string(fault.page) + ": " + fault.description + "\n";
  return text;
}

class UpkeepTable {
 public:
  UpkeepTable(StorageTestMachine& sim, const std::vector<XbFieldDef>& fields, std::string key = "")
      : sim_(sim), key_(std::move(key)) {
    CreateTable(sim.machine(), StorageTestMachine::Path("T.DBF"), 0x03, fields, key_);
    table_ = OpenTable(false);
    table_->BlankRecord();
  }

  std::unique_ptr<XBO_dBaseFld> OpenTable(bool shared) {
    return std::make_unique<XBO_dBaseFld>(sim_.machine(), StorageTestMachine::Path("T.DBF"), shared,
                                          true, key_);
  }
  std::unique_ptr<XBobjCDXFile> OpenIndex(XBO_dBaseFld& table, bool shared,
                                          const std::string& name = "T.CDX") {
    return std::make_unique<XBobjCDXFile>(table, name, key_, XbIndexOpenMode{true, shared, true});
  }
  void Index(const std::vector<XbTagDefinition>& definitions) {
    definitions_ = definitions;
    index_ = OpenIndex(*table_, false);
    for (const XbTagDefinition& definition : definitions)
      index_->AddTag(definition);
  }

  // Closes the index and the table, so that they can be opened shared.
  void Close() {
    index_.reset();
    table_.reset();
  }

  // Appends and changes records as the handler does; the result of the apply.
  static bool Append(XBO_dBaseFld& table, XBobjIndexFile& index, const Fill& fill) {
    table.BlankRecord();
    fill(table);
    XbRecordChange change = index.PrepareRecordChange(table.recordCount() + 1, nullptr);
    table.AppendRecord();
    // Another writer may have appended since this table last read its header.
    change.record = table.currentRecord();
    return index.ApplyRecordChange(change);
  }
  static bool Change(XBO_dBaseFld& table, XBobjIndexFile& index, std::int32_t n, const Fill& fill) {
    table.ReadRecord(n);
    const std::vector<std::uint8_t> previous(table.recordImage(),
                                             table.recordImage() + table.recordLength());
    fill(table);
    const XbRecordChange change = index.PrepareRecordChange(n, previous.data());
    table.WriteRecord(n);
    return index.ApplyRecordChange(change);
  }
  bool Append(const Fill& fill) { return Append(*table_, *index_, fill); }
  bool Change(std::int32_t n, const Fill& fill) { return Change(*table_, *index_, n, fill); }

  // Every tag against the same tag built afresh, and the verifier's verdict; empty when both
  // agree.
  std::string Disagreements() {
    std::string text = Faults(XbVerifyCdx(*index_));
    const auto fresh = OpenIndex(*table_, false, "F.CDX");
    for (const XbTagDefinition& definition : definitions_) {
      fresh->AddTag(definition);
      if (Seen(*index_->TagByName(definition.name), definition.unique) !=
          Seen(*fresh->TagByName(definition.name), definition.unique))
        text += "tag " + definition.name + " walks unlike a fresh build\n";
    }
    return text;
  }

  // What a walk of the tag meets; in a unique tag only the keys, as the record holding a key
  // depends on the order the records took it in.
  static Walked Seen(XBobjIndexTag& tag, bool unique) {
    Walked walked = WalkTag(tag);
    if (unique) {
      for (auto& entry : walked)
        entry.second = 0;
    }
    return walked;
  }

  // The file as another program reads it: the changes kept in memory written out first.
  std::vector<std::uint8_t> IndexBytes() {
    if (index_) index_->WriteDeferred();
    return sim_.ReadBytes(StorageTestMachine::Path("T.CDX"));
  }

  XBO_dBaseFld& table() { return *table_; }
  XBobjCDXFile& index() { return *index_; }
  XBobjCDXTag& tag(const std::string& name) { return *index_->CdxTagByName(name); }

 private:
  StorageTestMachine& sim_;
  std::string key_;
  std::unique_ptr<XBO_dBaseFld> table_;
  std::unique_ptr<XBobjCDXFile> index_;
  std::vector<XbTagDefinition> definitions_;
};

}  // namespace tables::testing
