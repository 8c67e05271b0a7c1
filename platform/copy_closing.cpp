#include "platform/copy_closing.h"

namespace nuv {

CopyStep NextCopyStep(const RunningCopy& copy, std::optional<uint32_t> ownSession,
                      int64_t elapsedMs) {
  if (!copy.session || !ownSession || *copy.session != *ownSession) return CopyStep::kEnd;
  if (elapsedMs >= kCopyCloseGraceMs) return CopyStep::kEnd;
  if (copy.windowFound && !copy.asked) return CopyStep::kAsk;
  return CopyStep::kWait;
}

}  // namespace nuv
