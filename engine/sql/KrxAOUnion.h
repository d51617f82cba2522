// UNION, INTERSECT and EXCEPT of two inputs. Columns are matched by
// position, or with CORRESPONDING by name (the given names, or every name
// the two sides share, in the left side's order); the left side names the
// result's columns. Without ALL the result holds each row once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "KrxAO.h"

namespace krx {

enum TKrxUnionKind : uint8_t { ukUnion = 0, ukIntersect = 1, ukExcept = 2 };

class TKrxAOUnion : public TKrxAO {
 public:
  // "Incompatible number of fields for union" (shape errors) when the sides
  // do not line up.
  TKrxAOUnion(std::unique_ptr<TKrxAO> left, std::unique_ptr<TKrxAO> right, TKrxUnionKind kind, bool distinct,
              bool corresponding, const std::vector<std::string>& correspondingColumns);

 protected:
  void Run(TKrxExecSession& session) override;

 private:
  TKrxUnionKind kind_;
  bool distinct_;
  std::vector<int> leftColumns_;
  std::vector<int> rightColumns_;
};

class TKrxAOSQLTopRowCount : public TKrxAO {
 public:
  // firstRow counts from 1.
  TKrxAOSQLTopRowCount(std::unique_ptr<TKrxAO> input, int64_t rowLimit, int64_t firstRow);

 protected:
  void Run(TKrxExecSession& session) override;

 private:
  int64_t rowLimit_;
  int64_t firstRow_;
};

}  // namespace krx
