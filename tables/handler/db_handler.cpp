// The handler's life, its navigation and the read-ahead block under the table's reads.
#include "tables/handler/db_handler.hpp"

#include <algorithm>
#include <exception>

#include "platform/machine.hpp"

#include "tables/storage/xbase_error.hpp"

namespace tables {

XBO_dBHandler::XBO_dBHandler(platform::Machine& machine, std::string_view name, bool shared,
                             bool writable, std::string_view key)
    : XBO_dBaseFld(machine, name, shared, writable, key) {
  XbTableLink(*this).SetHost(this);
  StatusNotify(xb_status::TableOpened);
  workState_ = xb_work::Browsing;
  position_ = recordCount() > 0 ? 1 : 0;
}

XBO_dBHandler::XBO_dBHandler(std::string_view name, bool shared, bool writable,
                             std::string_view key)
    : XBO_dBHandler(platform::CurrentMachine(), name, shared, writable, key) {}

XBO_dBHandler::~XBO_dBHandler() {
  try {
    XBO_dBHandler::Close();
  } catch (const std::exception&) {
    // A destructor cannot raise; Close() reports the same failure to callers that ask.
  }
}

void XBO_dBHandler::Close() {
  // The table is closed even when an index file could not write its last changes.
  std::exception_ptr failure;
  try {
    CloseIndexes();
  } catch (const std::exception&) {
    failure = std::current_exception();
  }
  filterExpression_.reset();
  filterSet_.reset();
  readAhead_.reset();
  XBO_dBaseFld::Close();
  if (failure) std::rethrow_exception(failure);
}

void XBO_dBHandler::SetEnd(std::int32_t code) {
  if (code == xb_move::Previous) {
    bof_ = true;
  } else if (code == xb_move::Next || code == xb_move::Reread) {
    eof_ = true;
  } else {
    bof_ = eof_ = true;
  }
}

bool XBO_dBHandler::PlainRead(std::int32_t target) {
  if (recordCount() == 0) ReReadHeader();
  if (recordCount() == 0) {
    bof_ = eof_ = true;
    position_ = 0;
    return false;
  }
  std::int32_t n = target;
  switch (target) {
    case xb_move::Reread:
      n = std::max(position_, 1);
      break;
    case xb_move::Last:
      n = recordCount();
      break;
    case xb_move::First:
      n = 1;
      break;
    case xb_move::Previous:
      // Also from an empty position (0): there is nothing before it.
      if (position_ <= 1) {
        bof_ = true;
        return false;
      }
      n = position_ - 1;
      break;
    case xb_move::Next:
      // From EOF (one past the count) the next position is EOF again, not an error.
      n = std::min(position_, recordCount()) + 1;
      break;
    case 0:
      return false;
    default:
      if (target < 0) Raise(xb_code::BeyondEof, xb_sub::RecordRead, path());
  }
  if (n > recordCount()) {
    ReReadHeader();
    if (n > recordCount() + 1) Raise(xb_code::BeyondEof, xb_sub::RecordRead, path());
    if (n > recordCount()) {
      eof_ = true;
      position_ = n;
      return false;
    }
  }
  ReadRecord(n);
  position_ = n;
  tagBehind_ = false;
  bof_ = eof_ = false;
  return true;
}

bool XBO_dBHandler::filterActive() const {
  return filterWanted_ && filterExpression_ && filterExpression_->Root() != nullptr;
}

bool XBO_dBHandler::Visible() {
  if (filterActive() && !filterSet_->Test(position_)) return false;
  if (!useDeleted_ && RecordDeleted()) return false;
  return AcceptRecord();
}

std::int32_t XBO_dBHandler::TagCandidate(std::int32_t code) {
  if (code == xb_move::Reread) return SyncTag() ? position_ : currentTag_->Move(xb_move::Next);
  CatchUpTag();
  return currentTag_->Move(code);
}

std::int32_t XBO_dBHandler::FilterCandidate(std::int32_t code) {
  switch (code) {
    case xb_move::First:
      return filterSet_->NextAfter(0);
    case xb_move::Last:
      return filterSet_->PreviousBefore(filterSet_->highest() + 1);
    case xb_move::Next:
      return filterSet_->NextAfter(position_);
    case xb_move::Previous:
      return filterSet_->PreviousBefore(position_);
    default:
      return filterSet_->Test(position_) ? position_ : filterSet_->NextAfter(position_);
  }
}

std::int32_t XBO_dBHandler::Candidate(std::int32_t code) {
  if (currentTag_) return TagCandidate(code);
  if (filterActive()) return FilterCandidate(code);
  return -1;  // natural order: the plain read maps the code itself
}

void XBO_dBHandler::MoveInOrder(std::int32_t code) {
  const bool fromEdge = code == xb_move::First || code == xb_move::Last;
  bool accepted = false;
  for (;;) {
    const std::int32_t candidate = Candidate(code);
    if (candidate == 0) {
      SetEnd(code);
      break;
    }
    if (!PlainRead(candidate < 0 ? code : candidate)) break;
    if (Visible()) {
      accepted = true;
      break;
    }
    if (code == xb_move::First || code == xb_move::Reread) code = xb_move::Next;
    if (code == xb_move::Last) code = xb_move::Previous;
  }
  if (!accepted && fromEdge) bof_ = eof_ = true;
  if (eof_) {
    position_ = std::max(position_, recordCount() + 1);
    BlankRecord();
  }
  outside_ = false;
}

void XBO_dBHandler::GoRecord(std::int32_t target) {
  if (workState_ != xb_work::Browsing || target == 0) {
    PlainRead(target);
    return;
  }
  if (target < xb_move::Reread) Raise(xb_code::BeyondEof, xb_sub::RecordRead, path());
  bof_ = eof_ = false;
  if (target < 0) {
    MoveInOrder(target);
    return;
  }
  PlainRead(target);
  if (eof_) BlankRecord();
  NoteOutside();
}

void XBO_dBHandler::NoteOutside() {
  tagBehind_ = false;
  if (bof_ || eof_) {
    outside_ = false;
    return;
  }
  outside_ = filterActive() && !filterSet_->Test(position_);
  if (!currentTag_) return;
  if (CurrentTagKey(behindKey_)) {
    tagBehind_ = true;
  } else {
    outside_ = true;
  }
}

void XBO_dBHandler::CatchUpTag() {
  if (!tagBehind_) return;
  // A search that fails is tried again by the next move.
  const bool found = currentTag_->SeekEntry(behindKey_, position_) != 0;
  tagBehind_ = false;
  if (!found) outside_ = true;
}

bool XBO_dBHandler::outsideOrder() {
  CatchUpTag();
  return outside_;
}

void XBO_dBHandler::Skip(std::int32_t count) {
  if (count == 0) {
    GoRecord(xb_move::Reread);
    return;
  }
  if (!filterWanted_ && useDeleted_ && workState_ == xb_work::Browsing) {
    SkipInOneStep(count);
    return;
  }
  const std::int32_t code = count > 0 ? xb_move::Next : xb_move::Previous;
  for (std::int32_t i = 0; i < std::abs(count) && !bof_ && !eof_; ++i)
    GoRecord(code);
}

void XBO_dBHandler::SkipInOneStep(std::int32_t count) {
  bof_ = eof_ = false;
  outside_ = false;
  tagBehind_ = false;
  if (currentTag_) {
    SyncTag();
    const std::int32_t code = count > 0 ? xb_move::Next : xb_move::Previous;
    std::int32_t record = 0;
    for (std::int32_t i = 0; i < std::abs(count); ++i) {
      record = currentTag_->Move(code);
      if (record == 0) break;
    }
    if (record != 0) {
      PlainRead(record);
    } else if (code == xb_move::Next) {
      GoEof();
    } else {
      bof_ = true;
    }
    return;
  }
  if (recordCount() == 0) ReReadHeader();
  if (recordCount() == 0) {
    bof_ = eof_ = true;
    position_ = 0;
    return;
  }
  const std::int64_t target = static_cast<std::int64_t>(position_) + count;
  PlainRead(static_cast<std::int32_t>(std::clamp<std::int64_t>(target, 1, recordCount())));
  bof_ = target < 1;
  eof_ = target > recordCount();
}

void XBO_dBHandler::GoEof() {
  position_ = recordCount() + 1;
  tagBehind_ = false;
  bof_ = false;
  eof_ = true;
  outside_ = false;
  BlankRecord();
}

// The current record's key in the current tag; false when the record is outside the tag's
// order (no record, FOR false, no key value).
bool XBO_dBHandler::CurrentTagKey(std::string& key) {
  return currentTag_ && position_ >= 1 && position_ <= recordCount() &&
         currentTag_->EvaluateFor() && currentTag_->EvaluateKey(key);
}

bool XBO_dBHandler::SyncTag() {
  tagBehind_ = false;
  std::string key;
  return CurrentTagKey(key) && currentTag_->SeekEntry(key, position_) != 0;
}

void XBO_dBHandler::SetReadAhead(bool on) {
  if (!on) {
    readAhead_.reset();
  } else if (!readAhead_) {
    readAhead_ = std::make_unique<XbReadAhead>(recordLength());
  }
}

bool XBO_dBHandler::ServedFromBlock(std::uint64_t offset) const {
  return readAhead_ && offset >= headerLength();
}

std::uint32_t XBO_dBHandler::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t length) {
  if (!ServedFromBlock(offset)) return XBO_dBaseFld::ReadAt(offset, buffer, length);
  // Another program's write changes the header's count or update stamp: the block is stale.
  if (shared()) {
    ReReadHeader();
    if (updateStamp() != blockStamp_ || recordCount() != blockCount_) readAhead_->Drop();
  }
  return readAhead_->Read(offset, buffer, length,
                          [this](std::uint64_t at, void* block, std::uint32_t size) {
                            blockStamp_ = updateStamp();
                            blockCount_ = recordCount();
                            return XBO_dBaseFld::ReadAt(at, block, size);
                          });
}

std::uint32_t XBO_dBHandler::WriteAt(std::uint64_t offset, const void* buffer,
                                     std::uint32_t length) {
  const std::uint32_t written = XBO_dBaseFld::WriteAt(offset, buffer, length);
  if (readAhead_) readAhead_->Update(offset, buffer, written);
  return written;
}

void XBO_dBHandler::StatusNotify(int status) {
  if (status == xb_status::AfterWrite && workState_ == xb_work::Browsing && filterSet_ &&
      filterExpression_ && filterExpression_->Root()) {
    filterSet_->Assign(currentRecord(), FilterHolds());
  }
  if (status == xb_status::AfterFlush) {
    for (XBobjIndexFile* file : OpenFiles()) {
      file->WriteDeferred();
      file->diskFile().Flush();
    }
  }
  if ((status == xb_status::AfterRead || status == xb_status::AfterWrite) &&
      workState_ != xb_work::ChangingKey) {
    workState_ = xb_work::Browsing;
  }
  OnStatus(status);
}

}  // namespace tables
