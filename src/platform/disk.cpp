#include "platform/disk.h"

namespace tratta::platform {

namespace fs = std::filesystem;

FileResult<HeldFile> Disk::create_held(const fs::path& path, const fs::path& output) {
  return platform::create_held(path, output);
}

FileStatus Disk::write_held_at(HeldFile& file, std::uint64_t offset, std::string_view bytes) {
  return platform::write_held_at(file, offset, bytes);
}

FileResult<bool> Disk::hold_backup(const fs::path& existing, const fs::path& backup,
                                   HeldFile& out) {
  return platform::hold_backup(existing, backup, out);
}

void Disk::start_writeback(HeldFile& file) noexcept { platform::start_writeback(file); }

FileStatus Disk::rename_held(HeldFile& file, const fs::path& target) {
  return platform::rename_held(file, target);
}

void Disk::remove_held(HeldFile& file) noexcept { platform::remove_held(file); }

bool Disk::remove_if_abandoned(const fs::path& path) noexcept {
  return platform::remove_if_abandoned(path);
}

bool Disk::delete_quietly(const fs::path& path) noexcept { return platform::delete_quietly(path); }

Disk& system_disk() {
  static Disk disk;
  return disk;
}

}  // namespace tratta::platform
