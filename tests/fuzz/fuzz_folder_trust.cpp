// Reads a folder's security descriptor of arbitrary text, as the setup's
// check reads whatever a folder on the install path carries: nothing may
// crash, and a text that is not understood is never taken for a safe folder.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/folder_trust.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nuv;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto parsed = ParseSecurityDescriptor(text);
  const std::vector<PathFolder> path{{true, false, text}, {true, false, text}};
  const FolderVerdict verdict = CheckInstallPath(path, BuiltInNormalUserSids());
  if (!parsed && verdict.risk != FolderRisk::kUnreadable) std::abort();
  if (parsed) {
    for (const std::string& sid : BuiltInNormalUserSids()) RightsOf(*parsed, sid);
  }
  return 0;
}
