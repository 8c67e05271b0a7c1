#include "test_support.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

namespace nuv::test {

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  dir_ = std::filesystem::temp_directory_path() /
         ("nuv-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(dir_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

Text ScratchFolder::folder() const { return dir_.u16string(); }

Text ScratchFolder::Path(const std::string& name) const { return folder() + u"\\" + Widen(name); }

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ScratchFolder::Read(const std::string& name) const {
  std::ifstream in(dir_ / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ScratchFolder::Exists(const std::string& name) const {
  return std::filesystem::exists(dir_ / name);
}

}  // namespace nuv::test
