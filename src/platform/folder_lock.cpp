#include "platform/folder_lock.h"

#include <chrono>
#include <thread>

#include "platform/platform.h"

namespace tratta::platform {

namespace fs = std::filesystem;

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    release();
    folder_ = std::move(other.folder_);
    mode_ = other.mode_;
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

FileResult<FolderLock> lock_folder(const fs::path& folder, LockMode mode, const LockWait& how) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  bool told = false;
  // Short naps at first, so that the runs that follow one another on a
  // folder lose little time; then a steady pace.
  auto nap = std::chrono::microseconds(200);
  for (;;) {
    FileResult<std::optional<FolderLock>> tried = try_lock_folder(folder, mode);
    if (!tried.ok()) return tried.error();
    if (tried.value()) return std::move(*tried.value());
    if (!how.wait)
      return FileError{"another run is at work in the folder '" + path_to_utf8(folder) +
                       "' (without --no-wait the run waits for it)"};
    if (!told && Clock::now() - start >= std::chrono::seconds(1)) {
      told = true;
      if (how.waiting) how.waiting();
    }
    std::this_thread::sleep_for(nap);
    nap = std::min<std::chrono::microseconds>(nap * 2, std::chrono::milliseconds(20));
  }
}

void remove_made_folders(const fs::path& folder, const fs::path& outermost) noexcept {
  std::error_code ec;
  for (fs::path p = folder; !p.empty(); p = p.parent_path()) {
    fs::remove(p / kLockFileName, ec);
    if (!fs::remove(p, ec) || p == outermost || p == p.parent_path()) return;
  }
}

}  // namespace tratta::platform
