#pragma once
// The small types of the dataset's interface: its states, the data events it sends to its data
// sources, what its record fetches report, the options of Locate and the answers of its error
// handlers.
#include <cstdint>

namespace db {

enum class DataSetState {
  Inactive,    // closed
  Opening,     // inside Open, before the first record is read
  Browse,      // open, moving between records
  Edit,        // the current record is being changed
  Insert,      // a new record is being entered
  SetKey,      // fields write into the search key buffer
  CalcFields,  // OnCalcFields is filling the calculated fields of a buffer
  Filter,      // OnFilterRecord is judging a candidate record
};

// What a dataset tells its data sources (and they their controls).
enum class DataEvent {
  FieldChange,    // one field of the active record got a new value
  RecordChange,   // values of the active record changed (edit started, cancelled, posted)
  DataSetChange,  // the records changed as a whole (opened, closed, re-read, controls enabled)
  DataSetScroll,  // another record became current
  UpdateState,    // the state changed
};

// The record a fetch should read, relative to the cursor.
enum class GetMode { Current, Next, Prior };
// The fetch found a record, ran past either end, or failed.
enum class GetResult { Ok, Bof, Eof, Error };

// Locate and Lookup: text keys match case-insensitively and/or by their beginning.
struct LocateOptions {
  bool caseInsensitive = false;
  bool partialKey = false;
};

// The choice of an OnPostError / OnEditError / OnDeleteError handler.
enum class DataAction { Fail, Abort, Retry };

}  // namespace db
