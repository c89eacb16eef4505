#include "platform/output_set.h"

#include <optional>
#include <random>
#include <system_error>

namespace tratta {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMark = ".tratta-";
constexpr std::size_t kDigits = 16;

bool is_hex_digit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

/// 64 bits that no other set is likely to draw: the system's randomness
/// and a count of the sets of this process.
std::string new_token() {
  static unsigned counter = 0;
  std::random_device device;
  std::uint64_t v = (std::uint64_t{device()} << 32) ^ device() ^ (std::uint64_t{++counter} << 48);
  static const char kHex[] = "0123456789abcdef";
  std::string out(kDigits, '0');
  for (std::size_t i = 0; i < kDigits; ++i) out[i] = kHex[(v >> (4 * (kDigits - 1 - i))) & 0xF];
  return out;
}

}  // namespace

bool is_held_name_of(std::string_view name, std::string_view output) {
  if (name.size() != output.size() + kHeldNameSuffix || !name.starts_with(output)) return false;
  std::string_view rest = name.substr(output.size());
  if (!rest.starts_with(kMark)) return false;
  rest.remove_prefix(kMark.size());
  for (std::size_t i = 0; i < kDigits; ++i)
    if (!is_hex_digit(rest[i])) return false;
  rest.remove_prefix(kDigits);
  return rest == ".tmp" || rest == ".old";
}

OutputSet::OutputSet(platform::Disk& disk) : disk_(disk), token_(new_token()) {}

OutputSet::~OutputSet() { abandon(); }

fs::path OutputSet::name_beside(const fs::path& output, std::string_view extension) const {
  fs::path p = output;
  p += std::string(kMark) + token_ + std::string(extension);
  return p;
}

/// Removes what killed runs left beside the output `output`: their
/// temporaries and backups, recognised by name, and only those that no
/// live run holds.
void OutputSet::remove_leftovers(const fs::path& output) {
  const std::string name = platform::path_to_utf8(output.filename());
  fs::path folder = output.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (is_held_name_of(platform::path_to_utf8(p.filename()), name)) disk_.remove_if_abandoned(p);
  }
}

platform::FileStatus OutputSet::add(const fs::path& path, std::string_view bytes) {
  return add(path, [&](const WriteAt& write) { write(0, bytes); });
}

platform::FileStatus OutputSet::add(const fs::path& path,
                                    const std::function<void(const WriteAt&)>& produce) {
  if (!failed_.ok()) return failed_;
  remove_leftovers(path);
  platform::FileResult<platform::HeldFile> made =
      disk_.create_held(name_beside(path, ".tmp"), path);
  if (!made.ok()) return failed_ = made.status();
  entries_.push_back(Entry{path, std::move(made.value()), {}, false});
  Entry& v = entries_.back();
  produce([this, &v](std::uint64_t offset, std::string_view bytes) {
    if (failed_.ok()) failed_ = disk_.write_held_at(v.temporary, offset, bytes);
  });
  return failed_;
}

platform::FileStatus OutputSet::commit() {
  if (!failed_.ok()) {
    abandon();
    return failed_;
  }
  // Second names for the older files, made before the first rename, so
  // that the renames follow one another with nothing in between.
  for (Entry& v : entries_) {
    std::error_code ec;
    const fs::file_status s = fs::symlink_status(v.output, ec);
    v.had_older = !ec && fs::exists(s);
    if (v.had_older && !fs::is_directory(s)) {
      platform::FileResult<bool> kept =
          disk_.hold_backup(v.output, name_beside(v.output, ".old"), v.backup);
      if (!kept.ok()) {
        abandon();
        return kept.status();
      }
    }
  }

  // SIGINT and SIGTERM wait for the renames, and for the older files to be
  // given back after a failed one.
  std::optional<platform::InterruptsHeld> held;
  held.emplace();
  for (std::size_t renamed = 0; renamed < entries_.size(); ++renamed) {
    platform::FileStatus s = disk_.rename_held(entries_[renamed].temporary, entries_[renamed].output);
    if (s.ok()) continue;
    const std::string not_restored = restore(renamed);
    held.reset();
    abandon();
    if (not_restored.empty()) return s;
    return platform::FileError{s.error().text + "; the new file stays at" + not_restored +
                               ", the rest of the older set is as it was"};
  }
  held.reset();
  for (Entry& v : entries_) disk_.remove_held(v.backup);
  entries_.clear();
  return {};
}

std::string OutputSet::restore(std::size_t renamed) {
  std::string not_restored;
  for (std::size_t i = renamed; i-- > 0;) {
    Entry& v = entries_[i];
    bool restored = false;
    if (!v.backup.path.empty()) {
      restored = disk_.rename_held(v.backup, v.output).ok();
    } else if (!v.had_older) {
      restored = disk_.delete_quietly(v.output);
    }
    if (!restored) not_restored += " '" + platform::path_to_utf8(v.output) + "'";
  }
  return not_restored;
}

void OutputSet::abandon() noexcept {
  for (Entry& v : entries_) {
    disk_.remove_held(v.temporary);
    disk_.remove_held(v.backup);
  }
  entries_.clear();
}

platform::FileStatus replace_file(const fs::path& path, std::string_view bytes,
                                  platform::Disk& disk) {
  OutputSet set(disk);
  if (platform::FileStatus s = set.add(path, bytes); !s.ok()) return s;
  return set.commit();
}

}  // namespace tratta
