// A value shared between the window thread and the worker threads.
//
// The working profile and the hand-over flags are plain values that several
// threads read and write one field at a time; each field must be seen either
// old or new, never torn, and without a data race. AtomicField gives a field
// those guarantees while reading like the plain value it stands for.
#pragma once

#include <atomic>

namespace nuv {

template <typename T>
class AtomicField {
 public:
  constexpr AtomicField() noexcept : value_(T{}) {}
  constexpr AtomicField(T v) noexcept : value_(v) {}  // NOLINT: reads as the value
  AtomicField(const AtomicField& other) noexcept : value_(other.load()) {}
  AtomicField& operator=(const AtomicField& other) noexcept {
    store(other.load());
    return *this;
  }
  AtomicField& operator=(T v) noexcept {
    store(v);
    return *this;
  }
  operator T() const noexcept { return load(); }  // NOLINT: reads as the value

  T load(std::memory_order order = std::memory_order_relaxed) const noexcept {
    return value_.load(order);
  }
  void store(T v, std::memory_order order = std::memory_order_relaxed) noexcept {
    value_.store(v, order);
  }
  T exchange(T v, std::memory_order order = std::memory_order_acq_rel) noexcept {
    return value_.exchange(v, order);
  }

 private:
  std::atomic<T> value_;
};

}  // namespace nuv
