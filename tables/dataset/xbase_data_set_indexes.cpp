// TXbaseDataSet: index files and tags, key searches, tag builds and the master/detail range.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/path_parts.hpp"
#include "tables/dataset/xbase_data_set.hpp"
#include "tables/dataset/xbase_messages.hpp"
#include "tables/handler/index_list.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

namespace msg = dataset_messages;

bool IsNameStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsNamePart(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The words of an expression outside its text literals, in order of appearance.
std::vector<std::string> WordsOf(std::string_view expression) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < expression.size();) {
    const char c = expression[i];
    if (c == '"' || c == '\'' || c == '[') {
      const char close = c == '[' ? ']' : c;
      const std::size_t end = expression.find(close, i + 1);
      i = end == std::string_view::npos ? expression.size() : end + 1;
    } else if (IsNameStart(c)) {
      std::size_t end = i;
      while (end < expression.size() && IsNamePart(expression[end]))
        ++end;
      words.emplace_back(expression.substr(i, end - i));
      i = end;
    } else {
      ++i;
    }
  }
  return words;
}

}  // namespace

void TXbaseDataSet::SetIndexFiles(std::vector<std::string> files) {
  indexFiles_ = std::move(files);
  if (!table_) return;
  CheckBrowseMode();
  ReopenIndexFiles();
  MoveCursor([] {});
}

void TXbaseDataSet::SetIndexName(std::string name) {
  indexName_ = std::move(name);
  if (!table_) return;
  MoveCursor([this] {
    SelectIndex();
    ApplyMasterRange();
  });
}

void TXbaseDataSet::OpenIndexes(std::string_view fileList, std::string_view tagName) {
  CheckActive();
  CheckBrowseMode();
  indexFiles_ = XbIndexListNames(fileList);
  indexName_ = std::string(tagName);
  MoveCursor([this] {
    ReopenIndexFiles();
    ApplyMasterRange();
  });
}

void TXbaseDataSet::ReopenIndexFiles() {
  TxbDataSetTable& table = Table();
  table.CloseIndexes();
  const std::string directory = std::string(platform::PathFolder(table.path())) + "\\";
  std::vector<std::string> paths;
  for (std::string name : indexFiles_) {
    if (platform::PathExtension(name).empty()) name += ".NDX";
    if (platform::PathFolder(name).empty()) name = directory + name;
    if (!machine_.files().Exists(name)) Fail(msg::CannotFindFile(name));
    const std::string path = machine_.codePages().Upper(name);
    if (std::find(paths.begin(), paths.end(), path) != paths.end()) {
      Fail(msg::IndexAlreadyOpen(name));
    }
    paths.push_back(path);
  }
  // Each name quoted, so that the handler's own split hands back exactly these names.
  std::string list;
  for (const std::string& path : paths)
    list += "\"" + path + "\" ";
  try {
    table.OpenIndexes(list, "");
  } catch (const EXbaseError&) {
    std::size_t opened = 0;
    while (table.IndexSlot(static_cast<int>(opened) + 1))
      ++opened;
    table.CloseIndexes();
    Fail(msg::ErrorGetting(paths[std::min(opened, paths.size() - 1)]));
  }
  for (int slot = 1; XBobjIndexFile* file = table.IndexSlot(slot); ++slot)
    ReportBuildsOf(*file);
  SelectIndex();
}

void TXbaseDataSet::SelectIndex() {
  TxbDataSetTable& table = Table();
  table.SelectOrder(indexName_, true);
  // Natural order turns the handler's read-ahead on; a record read for an edit must come from
  // the file.
  table.SetReadAhead(false);
  if (table.outsideOrder() || table.bof() || table.eof()) table.GoRecord(xb_move::First);
}

bool TXbaseDataSet::SeekKey(std::string_view key, bool exact, bool near) {
  CheckActive();
  TxbDataSetTable& table = Table();
  if (!table.currentTag()) Fail(msg::kNoFindIndex);
  if (table.recordCount() == 0 || IsEmpty()) return false;
  bool found = false;
  MoveCursor([&] {
    table.SetSeekOptions(exact, near);
    found = table.Seek(Translate(key, true));
    if (!found && !(near && !table.eof())) table.GoRecord(xb_move::Last);
  });
  return found;
}

void TXbaseDataSet::CreateIndexTag(std::string_view fileName, std::string_view tagName,
                                   std::string_view keyExpr, std::string_view forExpr,
                                   bool duplicates, int option) {
  CheckActive();
  CheckBrowseMode();
  TxbDataSetTable& table = Table();
  buildingIndex_ = true;
  DisableControls();
  try {
    ReportBuildsOf(table.IndexFileForBuild(fileName));
    table.CreateIndexTag(fileName, tagName, keyExpr, forExpr, duplicates, option);
  } catch (...) {
    buildingIndex_ = false;
    EnableControls();
    throw;
  }
  buildingIndex_ = false;
  EnableControls();
  First();
}

void TXbaseDataSet::ReportBuildsOf(XBobjIndexFile& file) {
  file.SetStatusHandler([this](const XbBuildStatus& status) {
    if (OnStatus)
      OnStatus(status.phase, static_cast<int>(status.event), static_cast<int>(status.value));
  });
}

void TXbaseDataSet::UpdateIndexDefs() {
  if (!table_) return;
  for (int n = 1; const XBobjIndexTag* tag = table_->TagByNumber(n); ++n) {
    const std::string expression = tag->KeyExpressionText();
    db::TIndexDef def{tag->name(), expression, false};
    if (expression.find('(') != std::string::npos) {
      def.expression = true;
    } else {
      std::replace(def.fields.begin(), def.fields.end(), '+', ';');
      std::replace(def.fields.begin(), def.fields.end(), '-', ';');
      std::erase(def.fields, ' ');
    }
    IndexDefsToFill().push_back(std::move(def));
  }
}

std::vector<std::string> TXbaseDataSet::KeyFieldNames() const {
  std::vector<std::string> names;
  if (!table_ || !table_->currentTag()) return names;
  for (const std::string& word : WordsOf(table_->currentTag()->KeyExpressionText())) {
    const std::string name = machine_.codePages().Upper(word);
    const bool isField = std::any_of(table_->fields().begin(), table_->fields().end(),
                                     [&](const XbFieldDesc& desc) { return desc.name == name; });
    if (isField && std::find(names.begin(), names.end(), name) == names.end()) {
      names.push_back(name);
    }
  }
  return names;
}

bool TXbaseDataSet::GetIsIndexField(const db::TField& field) const {
  const std::vector<std::string> names = KeyFieldNames();
  return std::find(names.begin(), names.end(), machine_.codePages().Upper(field.FieldName())) !=
         names.end();
}

// --- Master/detail ---

void TXbaseDataSet::SetMasterSource(db::TDataSource* source) {
  if (source == masterSource_) return;
  masterLink_.reset();
  masterSource_ = source;
  if (source) {
    masterLink_ = std::make_unique<TxbMasterLink>(
        *source, [this] { MasterChanged(); }, [this] { masterSource_ = nullptr; });
  }
  if (table_) MasterChanged();
}

void TXbaseDataSet::SetMasterFields(std::string fields) {
  if (fields == masterFields_) return;
  masterFields_ = std::move(fields);
  if (table_) MasterChanged();
}

void TXbaseDataSet::MasterChanged() {
  if (!Active()) return;
  MoveCursor([this] {
    ApplyMasterRange();
    table_->GoRecord(xb_move::First);
  });
}

void TXbaseDataSet::ApplyMasterRange() {
  TxbDataSetTable& table = Table();
  db::TDataSet* master = masterSource_ ? masterSource_->DataSet() : nullptr;
  const bool linked = master && master->Active() && !masterFields_.empty();
  if (!linked || master->State() == db::DataSetState::Insert) {
    if (table.currentTag()) table.currentTag()->ClearRange();
    return;
  }
  XBobjIndexTag* tag = table.currentTag();
  if (!tag) Fail(msg::NoMasterIndex(tableName_));
  const std::vector<std::string> detailFields = KeyFieldNames();
  const std::string key = MasterKey(detailFields);
  tag->SetRange(key, key, false);
}

std::string TXbaseDataSet::MasterKey(const std::vector<std::string>& detailFields) {
  db::TDataSet& master = *masterSource_->DataSet();
  std::vector<std::string> masterFields;
  for (std::size_t start = 0; start <= masterFields_.size();) {
    const std::size_t end = std::min(masterFields_.find(';', start), masterFields_.size());
    std::string name = masterFields_.substr(start, end - start);
    std::erase(name, ' ');
    if (!name.empty()) masterFields.push_back(name);
    start = end + 1;
  }
  if (detailFields.size() < masterFields.size()) Fail(msg::MasterFieldMismatch(tableName_));
  TxbDataSetTable& table = *table_;
  const TxbDataSetTable::ImageScope scratch(table, blankImage_.data());
  for (std::size_t i = 0; i < masterFields.size(); ++i) {
    const db::TField& source = master.FieldByName(masterFields[i]);
    const XbFieldDesc& target = table.FieldDescByName(detailFields[i]);
    switch (target.type) {
      case 'D':
        table.SetFieldDate(target.number, source.IsNull() ? 0 : source.AsDateTime().julianDay);
        break;
      case 'L':
        table.SetFieldLogical(target.number, source.AsBoolean());
        break;
      case 'C':
        table.SetFieldText(target.number, Translate(source.AsString(), true));
        break;
      default:
        table.SetFieldNumber(target.number, source.AsFloat());
        break;
    }
  }
  std::string key;
  table.currentTag()->EvaluateKey(key);
  return key;
}

}  // namespace tables
