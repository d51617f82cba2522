#include "KrxExprNodeSubquery.h"

#include "KrxException.h"
#include "KrxSQLUnion.h"

namespace krx {

TKrxExprNodeSubquery::TKrxExprNodeSubquery(std::unique_ptr<TKrxSQLUnion> query)
    : TKrxExprNode(eoSubquery), query_(std::move(query)) {}

TKrxExprNodeSubquery::~TKrxExprNodeSubquery() = default;

IKrxSubqueryRunner& TKrxExprNodeSubquery::Runner() {
  if (!runner_) throw EKrxException(KrxError::SubqueryNotPrepared);
  return *runner_;
}

void TKrxExprNodeSubquery::Open(bool anyColumns) {
  IKrxSubqueryRunner& runner = Runner();
  runner.Open();
  if (!anyColumns && runner.FieldCount() != 1) throw EKrxException(KrxError::SubqueryFieldCount, runner.FieldCount());
}

const TKrxVariant& TKrxExprNodeSubquery::Evaluate() {
  Open();
  if (!runner_->Next()) throw EKrxException(KrxError::SubqueryNoRows);
  value_ = runner_->Value(0);
  if (runner_->Next()) throw EKrxException(KrxError::SubqueryManyRows);
  return value_;
}

TKrxAdvancedType TKrxExprNodeSubquery::ResultType() const {
  if (!runner_ || runner_->FieldCount() < 1) throw EKrxException(KrxError::CannotDetermineExprType);
  return runner_->FieldType(0);
}

int32_t TKrxExprNodeSubquery::ResultSize() const {
  return runner_ && runner_->FieldCount() >= 1 ? runner_->FieldSize(0) : 0;
}

}  // namespace krx
