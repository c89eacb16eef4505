// Writing a set of output files that belong together (the scenario's
// binary files, the documents, a page) so that a reader finds either the
// older set or the new one, whole, however many runs work on the folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/disk.h"
#include "platform/file_result.h"
#include "platform/folder_lock.h"
#include "platform/platform.h"

namespace tratta {

/// Bytes that a temporary's or backup's name adds to its output's name:
/// ".tratta-", 16 hexadecimal digits, ".tmp" or ".old".
inline constexpr std::size_t kHeldNameSuffix = 28;

/// True when `name` names a temporary or a backup that a run makes beside
/// the output named `output`.
bool is_held_name_of(std::string_view name, std::string_view output);

/// The files of one output set, in the folder that `folder` locks
/// exclusively. Made, it first finishes a set that a killed run left half
/// renamed there and removes what killed runs left otherwise. Each `add`
/// writes its bytes at once into a temporary beside the output; `commit`
/// renames them all into place. A set given up (destroyed without commit,
/// or after a failure) removes every temporary and leaves the older files
/// as they were. It reaches the files through `disk`.
class OutputSet {
 public:
  explicit OutputSet(const platform::FolderLock& folder,
                     platform::Disk& disk = platform::system_disk());
  /// The lock must outlive the set.
  OutputSet(platform::FolderLock&& folder, platform::Disk& disk = platform::system_disk()) = delete;
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  /// Writes `bytes` into a new temporary for the output `name` of the
  /// folder.
  platform::FileStatus add(const std::filesystem::path& name, std::string_view bytes);

  /// Puts bytes into the temporary being written, from a given offset on.
  /// After a failed write the rest are passed over: `add` gives back the
  /// first failure.
  using WriteAt = std::function<void(std::uint64_t offset, std::string_view bytes)>;

  /// Makes a new temporary for the output `name` of the folder and lets
  /// `produce` write it piece by piece, each piece at its offset, so that a
  /// large file need not be held in memory whole.
  platform::FileStatus add(const std::filesystem::path& name,
                           const std::function<void(const WriteAt&)>& produce);

  /// Replaces the outputs with the temporaries, with SIGINT and SIGTERM
  /// held back meanwhile. First every older file is kept under a backup's
  /// name, and nothing is renamed unless all of them could be (a folder in
  /// an output's place fails here too). Then the temporaries are renamed
  /// over their outputs, the smallest first: the largest rename, which some
  /// file systems make slow, comes last, so that a kill during the renames
  /// most often finds the set whole. When a rename fails, the outputs get
  /// their older files back (or are removed when there was none) and the
  /// failure is given back. After a failed `add` nothing is renamed and
  /// that failure is given back again.
  platform::FileStatus commit();

 private:
  struct Entry {
    std::filesystem::path output;
    platform::HeldFile temporary;
    std::uint64_t size = 0;     // bytes written into the temporary
    platform::HeldFile backup;  // the older file's backup, or an empty mark
    bool had_older = false;
    bool moved_aside = false;   // the backup is the older file itself
  };
  std::filesystem::path name_beside(const std::filesystem::path& output,
                                    std::string_view extension) const;
  /// Keeps every older file under its backup's name.
  platform::FileStatus keep_older_files();
  /// Gives the outputs their older files back: those renamed over (the
  /// first `renamed`) and those moved aside.
  std::string restore(std::size_t renamed);
  void abandon() noexcept;

  const std::filesystem::path folder_;
  platform::Disk& disk_;
  std::string token_;  // the 16 hexadecimal digits of this set's names
  std::vector<Entry> entries_;
  platform::FileStatus failed_;  // the first failure of an add
};

/// Under an exclusive lock of its folder: finishes every set that a killed
/// run left half renamed there (its backups present: the temporaries were
/// all written, and go into place) and removes what killed runs left
/// otherwise. Nothing is done where the file system takes no locks.
void mend_folder(const platform::FolderLock& folder,
                 platform::Disk& disk = platform::system_disk());

/// The lock of `folder` for reading a set there: shared, unless a killed
/// run left a set half renamed, which is then mended first under an
/// exclusive lock, kept for the reading.
platform::FileResult<platform::FolderLock> lock_for_reading(
    const std::filesystem::path& folder, const platform::LockWait& how,
    platform::Disk& disk = platform::system_disk());

/// Replaces the file `name` of the locked folder whole: an output set of
/// one file.
platform::FileStatus replace_file(const platform::FolderLock& folder,
                                  const std::filesystem::path& name, std::string_view bytes,
                                  platform::Disk& disk = platform::system_disk());

}  // namespace tratta
