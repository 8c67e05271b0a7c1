#include "skin_test_support.h"

#include <string>

namespace nuv::test {

Text ShippedSkinFolder() {
  std::string source = __FILE__;  // .../tests/skin_test_support.cpp
  const size_t cut = source.rfind("tests");
  std::string folder = source.substr(0, cut) + "skins";
#ifdef _WIN32
  // The cross build records Linux paths; Wine shows the Linux root as drive Z:.
  if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder;
  for (auto& c : folder) {
    if (c == '/') c = '\\';
  }
#endif
  return Widen(folder);
}

}  // namespace nuv::test
