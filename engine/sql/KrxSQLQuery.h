// What a statement needs to know about the query component that runs it.
// The client layer's query component implements this; the SQL layer sees
// only this interface.
#pragma once

namespace krx {

class TKrxSQLQuery {
 public:
  virtual ~TKrxSQLQuery() = default;
  // Tables named without MEMORY are in-memory tables when this is on.
  virtual bool InMemory() const = 0;
};

}  // namespace krx
