// The expected states of a deterministic stream of transactions: the state
// after 0, 1, 2 ... transactions, each made from the one before by
// Apply(txn, state), grown on demand. Crash tests compare a file with them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace krx::test {

template <class State, void (*Apply)(int32_t, State&)>
class TxnStates {
 public:
  const State& After(int32_t txn) {
    if (states_.empty()) states_.emplace_back();
    while (static_cast<int32_t>(states_.size()) <= txn) {
      State next = states_.back();
      Apply(static_cast<int32_t>(states_.size()), next);
      states_.push_back(std::move(next));
    }
    return states_[static_cast<size_t>(txn)];
  }

 private:
  std::vector<State> states_;
};

}  // namespace krx::test
