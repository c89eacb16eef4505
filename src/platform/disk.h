// The disk as an output set sees it: the operations on the files a run
// holds beside its outputs. The program writes through system_disk(); a
// test hands an output set its own Disk, which fails a chosen step as a
// full disk or a refused rename would, or stops the run there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/file_result.h"
#include "platform/platform.h"

namespace tratta::platform {

class Disk {
 public:
  virtual ~Disk() = default;

  virtual FileResult<HeldFile> create_held(const std::filesystem::path& path,
                                           const std::filesystem::path& output);
  virtual FileStatus write_held_at(HeldFile& file, std::uint64_t offset, std::string_view bytes);
  virtual FileResult<bool> hold_backup(const std::filesystem::path& existing,
                                       const std::filesystem::path& backup, HeldFile& out);
  virtual void start_writeback(HeldFile& file) noexcept;
  virtual FileStatus rename_held(HeldFile& file, const std::filesystem::path& target);
  virtual void remove_held(HeldFile& file) noexcept;
  virtual bool remove_if_abandoned(const std::filesystem::path& path) noexcept;
  virtual bool delete_quietly(const std::filesystem::path& path) noexcept;
};

/// The operating system's disk, through the functions of platform.h.
Disk& system_disk();

}  // namespace tratta::platform
