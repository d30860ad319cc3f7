#pragma once
// A table with NDX and MDX files kept current the way the table handler keeps them (keys of
// every file prepared, the record written, the changes applied), and beside each tag the entries
// it should hold in its stored order: equal keys in the order their entries came in, which a
// fresh build (equal keys by record number) does not show.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tables/index/family_tag.hpp"
#include "tables/index/family_verifier.hpp"
#include "tables/index/mdx_file.hpp"
#include "tables/index/ndx_file.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables::testing {

// The entries one tag should hold, in order, followed through the record changes given to it.
class ExpectedEntries {
 public:
  ExpectedEntries(XBobjFamilyTag& tag, Walked built) : tag_(&tag), entries_(std::move(built)) {}

  void Apply(const XbTagKeyChange& keys, std::int32_t record) {
    if (keys.oldIn && keys.newIn && keys.oldKey == keys.newKey) {
      if (Find(keys.newKey, record) == entries_.end()) Insert(keys.newKey, record);
      return;
    }
    if (keys.oldIn) {
      if (const auto found = Find(keys.oldKey, record); found != entries_.end()) {
        entries_.erase(found);
      }
    }
    if (keys.newIn) Insert(keys.newKey, record);
  }
  const Walked& entries() const { return entries_; }

 private:
  Walked::iterator Find(const std::string& key, std::int32_t record) {
    return std::find(entries_.begin(), entries_.end(), std::pair{key, record});
  }
  void Insert(const std::string& key, std::int32_t record) {
    // After every entry whose key is not greater.
    const auto at = std::find_if(entries_.begin(), entries_.end(), [&](const auto& entry) {
      return tag_->CompareStored(entry.first, key) > 0;
    });
    entries_.insert(at, {key, record});
  }

  XBobjFamilyTag* tag_;
  Walked entries_;
};

class FamilyUpkeepTable {
 public:
  FamilyUpkeepTable(StorageTestMachine& sim, const std::vector<XbFieldDef>& fields,
                    std::string key = "")
      : sim_(sim), key_(std::move(key)) {
    CreateTable(sim.machine(), StorageTestMachine::Path("T.DBF"), 0x03, fields, key_);
    table_ = std::make_unique<XBO_dBaseFld>(sim.machine(), StorageTestMachine::Path("T.DBF"), false,
                                            true, key_);
    table_->BlankRecord();
  }

  std::unique_ptr<XBobjIndexFile> Open(const std::string& name, bool create) {
    const XbIndexOpenMode mode{create, false, true};
    if (name.ends_with(".NDX")) return std::make_unique<XBobjNDXFile>(*table_, name, key_, mode);
    return std::make_unique<XBobjMDXFile>(*table_, name, key_, mode);
  }

  // Builds the file name with its tags from the records there are (an NDX file takes one).
  XBobjIndexFile& AddIndex(const std::string& name, const std::vector<XbTagDefinition>& tags) {
    Entry entry{name, tags, Open(name, true), {}};
    for (const XbTagDefinition& definition : tags)
      entry.file->AddTag(definition);
    for (int i = 0; i < entry.file->TagCount(); ++i) {
      auto& tag = dynamic_cast<XBobjFamilyTag&>(*entry.file->TagByIndex(i));
      entry.expected.emplace_back(tag, WalkTag(tag));
    }
    files_.push_back(std::move(entry));
    return *files_.back().file;
  }

  void Append(const Fill& fill) {
    table_->BlankRecord();
    fill(*table_);
    Write(
        table_->recordCount() + 1, [&] { table_->AppendRecord(); }, nullptr);
  }
  void Change(std::int32_t n, const Fill& fill) {
    table_->ReadRecord(n);
    const std::vector<std::uint8_t> previous(table_->recordImage(),
                                             table_->recordImage() + table_->recordLength());
    fill(*table_);
    Write(
        n, [&] { table_->WriteRecord(n); }, previous.data());
  }

  // What sets the files apart from what they should hold: the verifier's faults, walks unlike
  // the expected entries, and keys unlike a fresh build's; empty when all agree.
  std::string Disagreements() {
    std::string text;
    for (Entry& entry : files_) {
      text += Faults(XbVerifyIndexFamily(*entry.file));
      const auto fresh = Open("F" + entry.name, true);
      for (const XbTagDefinition& definition : entry.tags)
        fresh->AddTag(definition);
      for (int i = 0; i < entry.file->TagCount(); ++i) {
        XBobjIndexTag& tag = *entry.file->TagByIndex(i);
        const Walked walked = WalkTag(tag);
        if (!tag.unique() && walked != entry.expected[static_cast<std::size_t>(i)].entries()) {
          text += entry.name + " " + tag.name() + " walks unlike the entries it should hold\n";
        }
        if (Keys(walked) != Keys(WalkTag(*fresh->TagByIndex(i)))) {
          text += entry.name + " " + tag.name() + " holds other keys than a fresh build\n";
        }
      }
    }
    return text;
  }

  // The levels of the tag's tree, counted along its first pointers.
  static int Levels(XBobjFamilyTag& tag) {
    XBobjIndexKey node;
    tag.ReadNode(tag.ReadRootOffset(), node);
    int levels = 1;
    for (; !node.leaf; ++levels)
      tag.ReadNode(node.entries.front().pointer, node);
    return levels;
  }

  // Closes the files and the table, so that they can be opened shared.
  void Close() {
    files_.clear();
    table_.reset();
  }

  XBO_dBaseFld& table() { return *table_; }
  XBobjIndexFile& file(std::size_t i) { return *files_[i].file; }
  XBobjFamilyTag& tag(std::size_t file, int i) {
    return dynamic_cast<XBobjFamilyTag&>(*files_[file].file->TagByIndex(i));
  }
  std::vector<std::uint8_t> Bytes(const std::string& name) {
    for (Entry& entry : files_)
      entry.file->WriteDeferred();
    return sim_.ReadBytes(StorageTestMachine::Path(name));
  }

 private:
  struct Entry {
    std::string name;
    std::vector<XbTagDefinition> tags;
    std::unique_ptr<XBobjIndexFile> file;
    std::vector<ExpectedEntries> expected;
  };

  static std::vector<std::string> Keys(const Walked& walked) {
    std::vector<std::string> keys;
    for (const auto& entry : walked)
      keys.push_back(entry.first);
    return keys;
  }

  void Write(std::int32_t n, const std::function<void()>& write, const std::uint8_t* previous) {
    std::vector<XbRecordChange> changes;
    for (Entry& entry : files_)
      changes.push_back(entry.file->PrepareRecordChange(n, previous));
    write();
    for (std::size_t i = 0; i < files_.size(); ++i) {
      files_[i].file->ApplyRecordChange(changes[i]);
      for (std::size_t t = 0; t < changes[i].tags.size(); ++t)
        files_[i].expected[t].Apply(changes[i].tags[t], n);
    }
  }

  StorageTestMachine& sim_;
  std::string key_;
  std::unique_ptr<XBO_dBaseFld> table_;
  std::vector<Entry> files_;
};

}  // namespace tables::testing
