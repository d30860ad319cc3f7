#pragma once
// The link between expressions and an open table: the table's fields as variables (kind 17),
// its functions RECNO, DELETED, BOF, EOF and TYPE, and unknown names handed to the table's
// formula hook. One link is made per table on first use and attached to the table, so that
// it lives exactly as long as the table.
#include <cstddef>
#include <functional>
#include <string_view>

#include "tables/index/exp_registry.hpp"
#include "tables/storage/record_source.hpp"

namespace tables {

class TxblDBFGeneric;

// Size of the result area handed to the formula hook.
inline constexpr std::size_t kFormulaResultSize = 32768;

// The dataset's formula hook. who is the request word ("FIND" or "PARSE"), st the upper-case
// function name and rsl the result area of kFormulaResultSize bytes. The hook answers the
// type letter in Typ and whether it takes the request in tf; Chg is not used by the engine.
using TxbFormulaMake = std::function<void(std::string_view who, std::string_view st, char* rsl,
                                          char& Typ, bool& Chg, bool& tf)>;

// What the table handler adds to the link beyond the record: its begin- and end-of-file flags
// and its formula hook. The defaults answer false, false and no hook.
class TxbDBFLinkHost {
 public:
  virtual ~TxbDBFLinkHost() = default;
  virtual bool Bof() const;
  virtual bool Eof() const;
  // The hook, or nullptr when the table has none.
  virtual const TxbFormulaMake* FormulaHook() const;
};

class TxbDBFExpUserLink : public TxbExpUserLink {
 public:
  explicit TxbDBFExpUserLink(XbRecordSource& table);
  ~TxbDBFExpUserLink() override;

  // Asks the formula hook whether it takes the name; if so a function of that name is added
  // to the link and returned, else "There is no function for %s" is raised.
  TxbUserDefFunction* UnknownFunction(std::string_view name) override;
  // The table's machine.
  platform::Machine* LinkedMachine() const override;

  XbRecordSource& Table() const { return table_; }
  TxbDBFLinkHost& Host() const { return *host_; }
  // The host is not owned; nullptr restores the defaults.
  void SetHost(TxbDBFLinkHost* host);
  // The unnamed function through which the link asks the hook about names.
  TxblDBFGeneric& Generic() const { return *generic_; }

 private:
  XbRecordSource& table_;
  TxbDBFLinkHost* host_;
  std::unique_ptr<TxblDBFGeneric> generic_;
};

// The link of a table, made and attached to it on first use.
TxbDBFExpUserLink& XbTableLink(XbRecordSource& table);

}  // namespace tables
