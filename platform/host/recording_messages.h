// Message boxes for tests: remembered instead of shown.
#pragma once

#include <mutex>
#include <vector>

#include "platform/message_port.h"

namespace nuv {

class RecordingMessages : public MessagePort {
 public:
  struct Shown {
    Text text;
    Text caption;
  };
  void Show(const Text& text, const Text& caption) override {
    std::lock_guard lock(mutex_);
    shown_.push_back({text, caption});
  }
  std::vector<Shown> All() const {
    std::lock_guard lock(mutex_);
    return shown_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Shown> shown_;
};

}  // namespace nuv
