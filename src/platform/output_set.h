// Writing a set of output files that belong together (the scenario's
// binary files, the documents) so that a reader finds either the older set
// or the new one, whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/disk.h"
#include "platform/file_result.h"
#include "platform/platform.h"

namespace tratta {

/// Bytes that a temporary's or backup's name adds to its output's name:
/// ".tratta-", 16 hexadecimal digits, ".tmp" or ".old".
inline constexpr std::size_t kHeldNameSuffix = 28;

/// True when `name` names a temporary or a backup that a run makes beside
/// the output named `output`.
bool is_held_name_of(std::string_view name, std::string_view output);

/// The files of one output set. Each `add` writes its bytes at once into a
/// temporary beside the output (removing first what killed runs left there
/// for that output); `commit` renames them all into place. A set given up
/// (destroyed without commit, or after a failure) removes every temporary
/// and leaves the older files as they were. It reaches the files through
/// `disk`.
class OutputSet {
 public:
  explicit OutputSet(platform::Disk& disk = platform::system_disk());
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  /// Writes `bytes` into a new temporary for the output `path`.
  platform::FileStatus add(const std::filesystem::path& path, std::string_view bytes);

  /// Puts bytes into the temporary being written, from a given offset on.
  /// After a failed write the rest are passed over: `add` gives back the
  /// first failure.
  using WriteAt = std::function<void(std::uint64_t offset, std::string_view bytes)>;

  /// Makes a new temporary for the output `path` and lets `produce` write
  /// it piece by piece, each piece at its offset, so that a large file
  /// need not be held in memory whole.
  platform::FileStatus add(const std::filesystem::path& path,
                           const std::function<void(const WriteAt&)>& produce);

  /// Renames every temporary over its output, one after the other, with
  /// SIGINT and SIGTERM held back meanwhile. The older files are first
  /// given a second name: when a rename fails, the outputs already renamed
  /// get their older files back (or are removed when there was none), and
  /// the failure is given back. After a failed `add` nothing is renamed
  /// and that failure is given back again.
  platform::FileStatus commit();

 private:
  struct Entry {
    std::filesystem::path output;
    platform::HeldFile temporary;
    platform::HeldFile backup;  // the older file's second name, when kept
    bool had_older = false;
  };
  std::filesystem::path name_beside(const std::filesystem::path& output,
                                    std::string_view extension) const;
  void remove_leftovers(const std::filesystem::path& output);
  /// Gives every output already renamed (the first `renamed`) its older
  /// file back; the names of those that could not be given back.
  std::string restore(std::size_t renamed);
  void abandon() noexcept;

  platform::Disk& disk_;
  std::string token_;  // the 16 hexadecimal digits of this set's names
  std::vector<Entry> entries_;
  platform::FileStatus failed_;  // the first failure of an add
};

/// Replaces one file whole: an output set of one file.
platform::FileStatus replace_file(const std::filesystem::path& path, std::string_view bytes,
                                  platform::Disk& disk = platform::system_disk());

}  // namespace tratta
