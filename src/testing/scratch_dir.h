// A temporary directory for a test, removed with everything in it.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#include "platform/folder_lock.h"

namespace tratta::testing {

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("tratta-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  /// The directory locked exclusively, as a run that writes a set there
  /// holds it.
  platform::FolderLock lock() const {
    return std::move(platform::lock_folder(path_, platform::LockMode::kExclusive).value());
  }

 private:
  std::filesystem::path path_;
};

/// The names of the entries of `folder`, but the file of its lock where
/// the platform keeps one.
inline std::set<std::string> names_in(const std::filesystem::path& folder) {
  std::set<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (e.path().filename() == platform::kLockFileName) continue;
    const std::u8string u = e.path().filename().u8string();
    out.insert(std::string(u.begin(), u.end()));
  }
  return out;
}

inline std::string read_bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_bytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace tratta::testing
