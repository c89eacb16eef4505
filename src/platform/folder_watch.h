// Notices of changes to named files, from the system (inotify on Linux,
// ReadDirectoryChangesW on Windows). The folders that hold the files are
// watched, not the files themselves: an editor that saves by writing a new
// file and renaming it over the old one, or by deleting and creating,
// would take a watch on the file away with the old file. Each change in a
// folder is then kept only when it names one of the files.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platform/file_result.h"

namespace tratta::platform {

class FolderWatch {
 public:
  enum class Outcome {
    kChanged,   ///< one of the files was written, created, renamed, deleted
    kTimedOut,  ///< nothing happened to them in the time given
    kStopped,   ///< a stop was requested
  };

  /// Watches the folders that hold `files` (each folder once, the current
  /// one for a bare name) for changes to those files. A failure when a
  /// folder cannot be watched (missing, or the system's limit reached).
  static FileResult<FolderWatch> open(const std::vector<std::filesystem::path>& files);

  FolderWatch(FolderWatch&&) noexcept;
  FolderWatch& operator=(FolderWatch&&) noexcept;
  ~FolderWatch();

  /// Waits for a change to one of the files, at most `timeout` (for ever
  /// without one), or for a stop request. Every notice already come is
  /// taken, so that one save made of several steps gives as few kChanged
  /// as the system allows. Once a stop was requested, kStopped at once.
  /// A folder that goes away (removed, or renamed: a checkout can do
  /// either) is a change, and so is its coming back at its path, which the
  /// watch looks for a few times a second meanwhile.
  FileResult<Outcome> wait(std::optional<std::chrono::milliseconds> timeout);

  /// Ends the wait under way, and every later one, with kStopped. Safe from
  /// any thread; on POSIX also from a signal handler.
  void request_stop() noexcept;
  bool stop_requested() const noexcept;

  struct State;  // the platform's handles and what each folder looks for

 private:
  explicit FolderWatch(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

/// While one lives, SIGINT, SIGTERM and SIGHUP (Windows: Ctrl-C,
/// Ctrl-Break, the console being closed) request a stop of `watch` instead
/// of ending the process, so that the run under way finishes its output set
/// and the program ends normally. A second one ends the process as before,
/// removing the held files first (install_interrupt_cleanup). On Windows
/// the closing of the console ends the process once the handler returns:
/// the handler then waits for the stop, a few seconds at most.
class StopOnInterrupt {
 public:
  explicit StopOnInterrupt(FolderWatch& watch);
  ~StopOnInterrupt();
  StopOnInterrupt(const StopOnInterrupt&) = delete;
  StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;
};

/// The folders to watch for `files` and, for each, the names to keep:
/// shared by both platforms. Folders are compared once made absolute, with
/// their links resolved, so that two files of one folder share its watch;
/// a file that is a link is watched where it leads as well.
struct WatchedFolder {
  std::filesystem::path folder;
  std::vector<std::filesystem::path> names;
};
std::vector<WatchedFolder> folders_to_watch(const std::vector<std::filesystem::path>& files);

}  // namespace tratta::platform
