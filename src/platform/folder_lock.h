// The lock of a scenario folder. A run that writes a set of files into a
// folder holds it exclusively while it writes and replaces them; a run that
// reads a set holds it shared, so that it never sees files of two runs side
// by side. POSIX locks the folder itself; Windows locks a hidden file in
// it, kLockFileName, which stays there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/file_result.h"

namespace tratta::platform {

enum class LockMode { kShared, kExclusive };

/// The file that holds a folder's lock where the folder itself takes none.
inline constexpr const char* kLockFileName = ".tratta_valle3.lock";

class FolderLock {
 public:
  FolderLock() = default;
  FolderLock(FolderLock&& other) noexcept { *this = std::move(other); }
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock() { release(); }

  const std::filesystem::path& folder() const { return folder_; }
  LockMode mode() const { return mode_; }
  /// False when the folder's file system takes no locks: the run goes on
  /// without one, and then sweeps and mends nothing there.
  bool held() const { return handle_ != -1; }

  /// Lets the lock go now.
  void release() noexcept;

 private:
  friend FileResult<std::optional<FolderLock>> try_lock_folder(const std::filesystem::path&,
                                                              LockMode);
  std::filesystem::path folder_;
  LockMode mode_ = LockMode::kShared;
  std::intptr_t handle_ = -1;  // descriptor or HANDLE; -1 when none is held
};

/// Takes the lock of the existing folder `folder` in `mode` without
/// waiting. Nothing when another run holds it in a mode that excludes this
/// one.
FileResult<std::optional<FolderLock>> try_lock_folder(const std::filesystem::path& folder,
                                                      LockMode mode);

/// How a run waits for a folder that another run holds.
struct LockWait {
  /// False: fail at once.
  bool wait = true;
  /// Called once when the run has waited for a second.
  std::function<void()> waiting;
};

/// Takes the lock of the existing folder `folder` in `mode`, waiting for
/// other runs as `how` says; a failure when the folder cannot be locked, or
/// when it is held and the run may not wait.
FileResult<FolderLock> lock_folder(const std::filesystem::path& folder, LockMode mode,
                                   const LockWait& how = {});

/// Takes back the folders that a run made and wrote nothing into: `folder`
/// and its parents up to `outermost`, each only when it holds nothing but
/// its lock.
void remove_made_folders(const std::filesystem::path& folder,
                         const std::filesystem::path& outermost) noexcept;

}  // namespace tratta::platform
