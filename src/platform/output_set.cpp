#include "platform/output_set.h"

#include <algorithm>
#include <map>
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

namespace {

/// A held name parsed: the output it stands beside, its set's token, and
/// whether it is a backup.
struct HeldName {
  std::string output, token;
  bool backup = false;
};

std::optional<HeldName> parse_held_name(std::string_view name) {
  if (name.size() <= kHeldNameSuffix) return std::nullopt;
  const std::string_view output = name.substr(0, name.size() - kHeldNameSuffix);
  if (!is_held_name_of(name, output)) return std::nullopt;
  return HeldName{std::string(output),
                  std::string(name.substr(output.size() + kMark.size(), kDigits)),
                  name.ends_with(".old")};
}

/// What killed runs left in `folder`, by set: the temporaries and the
/// backups of each token.
struct Leftovers {
  struct Set {
    std::vector<std::pair<fs::path, fs::path>> temporaries, backups;  // held name, output
  };
  std::map<std::string, Set> sets;
};

Leftovers find_leftovers(const fs::path& folder) {
  Leftovers found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    const std::optional<HeldName> h = parse_held_name(platform::path_to_utf8(p.filename()));
    if (!h) continue;
    Leftovers::Set& set = found.sets[h->token];
    (h->backup ? set.backups : set.temporaries)
        .emplace_back(p, folder / platform::path_from_utf8(h->output));
  }
  return found;
}

}  // namespace

void mend_folder(const platform::FolderLock& folder, platform::Disk& disk) {
  if (!folder.held() || folder.mode() != platform::LockMode::kExclusive) return;
  for (auto& [token, set] : find_leftovers(folder.folder()).sets) {
    // Backups are made once every temporary is written, before the first
    // rename: a set with backups was being renamed when its run died, and
    // its temporaries go into place. Without backups the run died while
    // writing, and its temporaries go.
    if (!set.backups.empty()) {
      for (auto& [path, output] : set.temporaries) {
        platform::HeldFile left{path, output, -1, -1};
        if (disk.rename_held(left, output).ok()) path.clear();
      }
    }
    for (const auto& [path, output] : set.temporaries)
      if (!path.empty()) disk.remove_if_abandoned(path);
    for (const auto& [path, output] : set.backups) {
      // A backup whose output is missing is the only copy of an older file
      // that was moved aside: it goes back. (An empty one may be the mark
      // of an output that had none.)
      std::error_code ec;
      if (!fs::exists(fs::symlink_status(output, ec)) && fs::file_size(path, ec) > 0 && !ec) {
        platform::HeldFile older{path, output, -1, -1};
        if (disk.rename_held(older, output).ok()) continue;
      }
      disk.remove_if_abandoned(path);
    }
  }
}

platform::FileResult<platform::FolderLock> lock_for_reading(const fs::path& folder,
                                                            const platform::LockWait& how,
                                                            platform::Disk& disk) {
  platform::FileResult<platform::FolderLock> lock =
      platform::lock_folder(folder, platform::LockMode::kShared, how);
  if (!lock.ok()) return lock;
  bool unfinished = false;
  for (const auto& [token, set] : find_leftovers(folder).sets) unfinished |= !set.backups.empty();
  if (!unfinished) return lock;
  lock.value().release();
  lock = platform::lock_folder(folder, platform::LockMode::kExclusive, how);
  if (lock.ok()) mend_folder(lock.value(), disk);
  return lock;
}

OutputSet::OutputSet(const platform::FolderLock& folder, platform::Disk& disk)
    : folder_(folder.folder()), disk_(disk), token_(new_token()) {
  mend_folder(folder, disk_);
}

OutputSet::~OutputSet() { abandon(); }

fs::path OutputSet::name_beside(const fs::path& output, std::string_view extension) const {
  fs::path p = output;
  p += std::string(kMark) + token_ + std::string(extension);
  return p;
}

platform::FileStatus OutputSet::add(const fs::path& name, std::string_view bytes) {
  return add(name, [&](const WriteAt& write) { write(0, bytes); });
}

platform::FileStatus OutputSet::add(const fs::path& name,
                                    const std::function<void(const WriteAt&)>& produce) {
  if (!failed_.ok()) return failed_;
  const fs::path output = folder_ / name;
  platform::FileResult<platform::HeldFile> made =
      disk_.create_held(name_beside(output, ".tmp"), output);
  if (!made.ok()) return failed_ = made.status();
  entries_.push_back(Entry{.output = output, .temporary = std::move(made.value()), .backup = {}});
  Entry& v = entries_.back();
  produce([this, &v](std::uint64_t offset, std::string_view bytes) {
    if (failed_.ok()) failed_ = disk_.write_held_at(v.temporary, offset, bytes);
    v.size = std::max<std::uint64_t>(v.size, offset + bytes.size());
  });
  return failed_;
}

platform::FileStatus OutputSet::keep_older_files() {
  for (Entry& v : entries_) {
    std::error_code ec;
    const fs::file_status s = fs::symlink_status(v.output, ec);
    if (fs::is_directory(s))
      return platform::FileError{"cannot replace '" + platform::path_to_utf8(v.output) +
                                 "': a folder has its name"};
    v.had_older = !ec && fs::exists(s);
    if (v.had_older) {
      platform::FileResult<bool> kept =
          disk_.hold_backup(v.output, name_beside(v.output, ".old"), v.backup);
      if (!kept.ok()) return kept.status();
      v.moved_aside = kept.value();
    } else {
      // An empty backup marks the set as being renamed for an output that
      // had no older file, so that a set that died renaming is known.
      platform::FileResult<platform::HeldFile> mark =
          disk_.create_held(name_beside(v.output, ".old"), v.output);
      if (!mark.ok()) return mark.status();
      v.backup = std::move(mark.value());
    }
  }
  return {};
}

platform::FileStatus OutputSet::commit() {
  if (!failed_.ok()) {
    abandon();
    return failed_;
  }
  // SIGINT and SIGTERM wait for the backups, the renames, and for the
  // older files to be given back after a failure.
  std::optional<platform::InterruptsHeld> held;
  held.emplace();
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const Entry& a, const Entry& b) { return a.size < b.size; });
  // A file system may write a new file's data back when it is renamed over
  // an older one: started now for all but the last, that work stays out of
  // the time between the first rename and the last.
  for (std::size_t i = 0; i + 1 < entries_.size(); ++i) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(entries_[i].output, ec)))
      disk_.start_writeback(entries_[i].temporary);
  }
  if (platform::FileStatus kept = keep_older_files(); !kept.ok()) {
    restore(0);
    held.reset();
    abandon();
    return kept;
  }
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
  for (Entry& v : entries_) disk_.remove_held(v.backup);
  entries_.clear();
  held.reset();
  return {};
}

std::string OutputSet::restore(std::size_t renamed) {
  std::string not_restored;
  for (std::size_t i = entries_.size(); i-- > 0;) {
    Entry& v = entries_[i];
    if (i >= renamed && !v.moved_aside) continue;  // its output never changed
    bool restored = false;
    if (v.had_older && !v.backup.path.empty()) {
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
    // A backup still there after a failure is the older file's second name
    // or an empty mark; one moved aside was given back by restore().
    if (!v.moved_aside) disk_.remove_held(v.backup);
  }
  entries_.clear();
}

platform::FileStatus replace_file(const platform::FolderLock& folder, const fs::path& name,
                                  std::string_view bytes, platform::Disk& disk) {
  OutputSet set(folder, disk);
  if (platform::FileStatus s = set.add(name, bytes); !s.ok()) return s;
  return set.commit();
}

}  // namespace tratta
