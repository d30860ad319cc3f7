#include "tables/index/exp_node.hpp"

#include <algorithm>

namespace tables {

TxbExpBaseObject::TxbExpBaseObject(std::uint8_t classCode, std::uint8_t resultType, int width,
                                   int decimals)
    : classCode_(classCode), resultType_(resultType), width_(width), decimals_(decimals) {}

std::string TxbExpBaseObject::Name() const {
  return {};
}

int TxbExpBaseObject::Kind() const {
  return -1;
}

std::string TxbExpBaseObject::Text() const {
  std::string text = left_ ? left_->Text() : std::string();
  text += Name();
  if (right_) text += right_->Text();
  return text;
}

std::string TxbExpBaseObject::NamesOfKind(int kind) const {
  std::string names = left_ ? left_->NamesOfKind(kind) : std::string();
  if (Kind() == kind) names += Name() + ";";
  if (right_) names += right_->NamesOfKind(kind);
  return names;
}

void TxbExpBaseObject::SetOperands(std::unique_ptr<TxbExpBaseObject> left,
                                   std::unique_ptr<TxbExpBaseObject> right) {
  left_ = std::move(left);
  right_ = std::move(right);
  depth_ = 1 + std::max(left_ ? left_->Depth() : 0, right_ ? right_->Depth() : 0);
}

TxbExpContainer::TxbExpContainer(std::unique_ptr<TxbExpBaseObject> inner)
    : TxbExpBaseObject(xb_node::Group, xb_type::Undefined) {
  SetOperands(nullptr, std::move(inner));
}

std::string TxbExpContainer::Text() const {
  return "(" + (Right() ? Right()->Text() : std::string()) + ")";
}

std::uint8_t TxbExpContainer::Evaluate(TxbExpValue& value) {
  if (!right()) {
    value.Clear();
    return SetResultType(xb_type::Undefined);
  }
  return SetResultType(right()->Evaluate(value));
}

}  // namespace tables
