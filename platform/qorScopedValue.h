// A variable given a value for the time of a scope.
//
// TScopedValue keeps a variable's value and puts it back when the scope
// ends, on every path: an early return, an exception, the frame of a walk
// step destroyed before it finished.
#pragma once

#include <utility>

namespace qor {

template <class T>
class TScopedValue {
 public:
  // Keeps the current value; the scope may change it freely.
  explicit TScopedValue(T& var) : var_(&var), saved_(var) {}
  // Sets `value` until the scope ends.
  TScopedValue(T& var, T value) : var_(&var), saved_(std::exchange(var, std::move(value))) {}
  // The same for a variable that may be missing: nothing is set then.
  TScopedValue(T* var, T value)
      : var_(var), saved_(var ? std::exchange(*var, std::move(value)) : T()) {}
  ~TScopedValue() {
    if (var_) *var_ = std::move(saved_);
  }
  TScopedValue(const TScopedValue&) = delete;
  TScopedValue& operator=(const TScopedValue&) = delete;

 private:
  T* var_;
  T saved_;
};

}  // namespace qor
