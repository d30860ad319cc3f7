#include "tables/index/exp_table_link.hpp"

#include <stdexcept>

#include "platform/machine.hpp"
#include "tables/index/exp_errors.hpp"
#include "tables/index/exp_generic_function.hpp"
#include "tables/index/exp_table_functions.hpp"

namespace tables {
namespace {

TxbDBFLinkHost& DefaultHost() {
  static TxbDBFLinkHost host;
  return host;
}

// Carries a table's link as the table's attachment.
class TxbDBFLinkAttachment : public XbAttachment {
 public:
  explicit TxbDBFLinkAttachment(XbRecordSource& table) : link(table) {}
  TxbDBFExpUserLink link;
};

}  // namespace

bool TxbDBFLinkHost::Bof() const {
  return false;
}

bool TxbDBFLinkHost::Eof() const {
  return false;
}

const TxbFormulaMake* TxbDBFLinkHost::FormulaHook() const {
  return nullptr;
}

TxbDBFExpUserLink::TxbDBFExpUserLink(XbRecordSource& table)
    : table_(table), host_(&DefaultHost()), generic_(std::make_unique<TxblDBFGeneric>(*this)) {
  AddFunction(std::make_unique<TxblDBFRecNo>(*this));
  AddFunction(std::make_unique<TxblDBFDeleted>(*this));
  AddFunction(std::make_unique<TxblDBFBOF>(*this));
  AddFunction(std::make_unique<TxblDBFEOF>(*this));
  AddFunction(std::make_unique<TxblDBFType>(*this));
  for (int field = 1; field <= table.FieldCount(); ++field) {
    AddFieldVar(std::make_unique<TxblDBFFieldVars>(table, field));
  }
}

TxbDBFExpUserLink::~TxbDBFExpUserLink() = default;

void TxbDBFExpUserLink::SetHost(TxbDBFLinkHost* host) {
  host_ = host ? host : &DefaultHost();
}

TxbUserDefFunction* TxbDBFExpUserLink::UnknownFunction(std::string_view name) {
  std::string upper = table_.SourceMachine().codePages().Upper(name);
  if (!generic_->Takes(upper)) RaiseNoFunction(upper);
  return &AddFunction(std::make_unique<TxblDBFGeneric>(*this, upper));
}

platform::Machine* TxbDBFExpUserLink::LinkedMachine() const {
  return &table_.SourceMachine();
}

TxbDBFExpUserLink& XbTableLink(XbRecordSource& table) {
  XbAttachment* attached = table.AttachedLink();
  if (auto* holder = dynamic_cast<TxbDBFLinkAttachment*>(attached)) return holder->link;
  if (attached)
    throw std::logic_error("the table carries an attachment that is no expression link");
  auto holder = std::make_unique<TxbDBFLinkAttachment>(table);
  TxbDBFExpUserLink& link = holder->link;
  table.AttachLink(std::move(holder));
  return link;
}

}  // namespace tables
