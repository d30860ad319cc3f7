#pragma once
// DBFObject: the handler the dataset owns. Its three hooks call back into the dataset: record
// acceptance (the dataset's own filter), status reports and the formula hook through which
// expressions reach functions the dataset defines.
#include <functional>

#include "tables/handler/db_handler.hpp"

namespace tables {

class DBFObject : public XBO_dBHandler {
 public:
  using AcceptHook = std::function<bool()>;
  using StatusHook = std::function<void(int status)>;

  using XBO_dBHandler::XBO_dBHandler;

  void SetAcceptHook(AcceptHook hook) { accept_ = std::move(hook); }
  void SetStatusHook(StatusHook hook) { status_ = std::move(hook); }
  void SetFormulaHook(TxbFormulaMake hook) { formula_ = std::move(hook); }

  const TxbFormulaMake* FormulaHook() const override { return formula_ ? &formula_ : nullptr; }

 protected:
  bool AcceptRecord() override { return !accept_ || accept_(); }
  void OnStatus(int status) override {
    if (status_) status_(status);
  }

 private:
  AcceptHook accept_;
  StatusHook status_;
  TxbFormulaMake formula_;
};

}  // namespace tables
