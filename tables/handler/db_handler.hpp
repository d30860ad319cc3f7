#pragma once
// XBO_dBHandler: the record-level engine over one open table. It moves through the records in
// natural order or in the order of an index tag, hides deleted and filtered-out records, finds
// records by key, keeps the table's open index files current on every record write (under
// their locks, keys evaluated before anything is written), and changes the table's key.
//
//   XBO_dBHandler table(machine, "C:\DATA\KVUS.DAT", /*shared*/ true, /*writable*/ true, key);
//   table.OpenIndexes("KVUS.CDX", "USERNAME");
//   if (table.Seek("GUEST")) table.SetFieldText("LEVEL", "2"), table.PutRecord(table.position());
//   for (table.GoRecord(xb_move::First); !table.eof(); table.Skip(1)) use(table);
//
// Work states: 0 while opening, 1 browsing (navigation consults tags and filters), 4 building
// a tag, 5 changing the key.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/handler/huge_set.hpp"
#include "tables/handler/read_ahead.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/index/index_file.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace tables {

namespace xb_work {
inline constexpr int Opening = 0;
inline constexpr int Browsing = 1;
inline constexpr int Building = 4;
inline constexpr int ChangingKey = 5;
}  // namespace xb_work

inline constexpr int kIndexSlots = 63;

class TxbExpOperator;

class XBO_dBHandler : public XBO_dBaseFld, public TxbDBFLinkHost {
 public:
  XBO_dBHandler(platform::Machine& machine, std::string_view name, bool shared, bool writable,
                std::string_view key);
  // On the current machine.
  XBO_dBHandler(std::string_view name, bool shared, bool writable, std::string_view key);
  ~XBO_dBHandler() override;

  // Frees index files, filter and read-ahead block, then closes the table.
  void Close() override;

  // Navigation. target: a record number, or an xb_move code. Sets BOF and EOF.
  void GoRecord(std::int32_t target);
  void Skip(std::int32_t count);

  // Record writes, each under the index locks with the index files kept current.
  void AppendRecord();
  // Writes the record image as record n (appends when n <= 0 or beyond the count). Record n
  // is locked (error 33 "Record locked by another user" when another program holds it), then
  // read from the file: fields not changed since the image was read come from
  // the file, so that changes of other programs survive.
  void PutRecord(std::int32_t n);
  // Mark the current record; at EOF (no current record) error 1002, nothing written.
  void DeleteRecord();
  void RecallRecord();

  // Filter.
  void BuildFilter(std::string_view expression, bool caseInsensitive, bool partialCompare);
  void EnableFilter(bool on) { filterWanted_ = on; }
  void RebuildFilter();
  bool filterActive() const;
  const TxbHugeSet* filterSet() const { return filterSet_.get(); }

  // Keys.
  bool Seek(std::string_view keyText);
  // The record of keyText's first entry in tagName, or -1; the position does not change.
  std::int32_t SeekTag(std::string_view tagName, std::string_view keyText);
  void SetSeekOptions(bool exact, bool near) {
    exactSeek_ = exact;
    nearSeek_ = near;
  }
  bool found() const { return found_; }

  // Index files and order.
  void OpenIndexes(std::string_view list, std::string_view tagName);
  void SelectOrder(std::string_view tagName, bool keepPosition);
  // option: 0 ascending, 1 descending; 7 and 8 the same with the general collation.
  void CreateIndexTag(std::string_view file, std::string_view tagName, std::string_view keyExpr,
                      std::string_view forExpr, bool duplicates, int option);
  // The open index file named file (blank: the production file; no extension: .CDX), else that
  // file opened or created as its extension's kind and put in a slot: where a tag is built.
  XBobjIndexFile& IndexFileForBuild(std::string_view file);
  void CloseIndexes();
  // n counts from 1 over the tags of every slot in slot order; nullptr past the last.
  XBobjIndexTag* TagByNumber(int n) const;
  // Puts an index file the caller opened into the first empty slot.
  XBobjIndexFile& AdoptIndexFile(std::unique_ptr<XBobjIndexFile> file);
  XBobjIndexFile* IndexSlot(int slot) const;
  XBobjIndexTag* currentTag() const { return currentTag_; }
  const std::string& currentTagName() const { return currentTagName_; }

  // Re-enciphers records, memos, descriptor area and index files under newKey (empty: plain).
  void ChangeKey(std::string_view newKey);

  void SetReadAhead(bool on);
  bool readAhead() const { return readAhead_ != nullptr; }
  void SetUseDeleted(bool on) { useDeleted_ = on; }
  bool useDeleted() const { return useDeleted_; }

  std::int32_t position() const { return position_; }
  bool bof() const { return bof_; }
  bool eof() const { return eof_; }
  // Whether the current record lies outside the order (filtered out, or without an entry in
  // the current tag).
  bool outsideOrder();
  int workState() const { return workState_; }

  // TxbDBFLinkHost.
  bool Bof() const override { return bof_; }
  bool Eof() const override { return eof_; }

  // Reads at record offsets go through the read-ahead block when it is on; writes update it.
  std::uint32_t ReadAt(std::uint64_t offset, void* buffer, std::uint32_t length) override;
  std::uint32_t WriteAt(std::uint64_t offset, const void* buffer, std::uint32_t length) override;
  void StatusNotify(int status) override;

 protected:
  // Whether the record just read is visible beyond deletion and filter (the dataset's own
  // filter); every record by default.
  virtual bool AcceptRecord() { return true; }
  // Status notifications, after the handler's own reaction.
  virtual void OnStatus(int /*status*/) {}

 private:
  class WriteLock;

  // The read of every state: maps target, reads the record; false at BOF or EOF.
  bool PlainRead(std::int32_t target);
  // A relative target's candidate record through tag, filter or natural order; 0 at BOF/EOF.
  std::int32_t Candidate(std::int32_t code);
  std::int32_t FilterCandidate(std::int32_t code);
  std::int32_t TagCandidate(std::int32_t code);
  void SetEnd(std::int32_t code);
  bool Visible();
  void MoveInOrder(std::int32_t code);
  void SkipInOneStep(std::int32_t count);
  // Notes whether the current record lies outside the order after a write or a read by number;
  // the tag is positioned on it only when a move needs that (CatchUpTag), so that writes in a
  // row do not each search the tag.
  void NoteOutside();
  void CatchUpTag();
  // The current tag's key of the current record; false when the record has none there.
  bool CurrentTagKey(std::string& key);
  // Positions the current tag on the current record; false when it has no entry there.
  bool SyncTag();
  void GoEof();

  void ReleaseOneLock();
  void MarkCurrentRecord(bool deleted);
  void WriteWithUpkeep(std::int32_t n);
  void AppendWithUpkeep();
  std::vector<std::uint8_t> StoredImage(std::int32_t n);
  void KeepOtherProgramsFields(const std::vector<std::uint8_t>& stored);
  std::vector<XBobjIndexFile*> OpenFiles() const;

  void ScanFilter();
  void EvaluateFilterOnEveryRecord();
  const TxbExpOperator* FilterOnStoredDigits() const;
  bool FilterHolds();
  bool FilterIsLogical();
  std::string SeekKeyFor(XBobjIndexTag& tag, std::string_view keyText) const;
  bool SeekInCurrentTag(std::string_view keyText);
  void OpenIndexFile(const std::string& path);
  XBobjIndexTag* FindTag(std::string_view name) const;

  void ConvertRecords(bool hasMemos);
  void WriteDescriptorArea(std::string_view key);
  bool ServedFromBlock(std::uint64_t offset) const;

  int workState_ = xb_work::Opening;
  std::int32_t position_ = 0;
  bool bof_ = true;
  bool eof_ = true;
  bool outside_ = false;
  // The current tag is still to be positioned on the current record, whose key there is
  // behindKey_ (taken when the record was written or read).
  bool tagBehind_ = false;
  std::string behindKey_;
  std::array<std::unique_ptr<XBobjIndexFile>, kIndexSlots> slots_;
  XBobjIndexTag* currentTag_ = nullptr;
  std::string currentTagName_;

  std::string filterText_;
  bool filterCaseInsensitive_ = false;
  bool filterPartial_ = false;
  bool filterWanted_ = false;
  std::unique_ptr<TxbExpHandler> filterExpression_;
  std::unique_ptr<TxbHugeSet> filterSet_;

  bool useDeleted_ = true;
  bool exactSeek_ = true;
  bool nearSeek_ = false;
  bool found_ = false;

  std::unique_ptr<XbReadAhead> readAhead_;
  std::uint32_t blockStamp_ = 0;  // the header's update stamp and count when the block loaded
  std::int32_t blockCount_ = 0;
};

}  // namespace tables
