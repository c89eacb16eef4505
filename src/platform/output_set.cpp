#include "platform/output_set.h"

#include <optional>
#include <random>
#include <system_error>

namespace tratta {

namespace fs = std::filesystem;

namespace {

std::function<void(WriteStep)>& probe() {
  static std::function<void(WriteStep)> s;
  return s;
}

void step(WriteStep p) {
  if (probe()) probe()(p);
}

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

/// Removes what killed runs left beside the output `output`: their
/// temporaries and backups, recognised by name, and only those that no
/// live run holds.
void remove_leftovers(const fs::path& output) {
  const std::string name = platform::path_to_utf8(output.filename());
  fs::path folder = output.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (is_held_name_of(platform::path_to_utf8(p.filename()), name)) platform::remove_if_abandoned(p);
  }
}

}  // namespace

void set_write_probe(std::function<void(WriteStep)> s) { probe() = std::move(s); }

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

OutputSet::OutputSet() : token_(new_token()) {}

OutputSet::~OutputSet() { abandon(); }

fs::path OutputSet::name_beside(const fs::path& output, std::string_view extension) const {
  fs::path p = output;
  p += std::string(kMark) + token_ + std::string(extension);
  return p;
}

void OutputSet::add(const fs::path& path, std::string_view bytes) {
  add(path, [&](const WriteAt& write) { write(0, bytes); });
}

void OutputSet::add(const fs::path& path, const std::function<void(const WriteAt&)>& produce) {
  remove_leftovers(path);
  entries_.push_back(Entry{path, {}, {}, false});
  Entry& v = entries_.back();
  step(WriteStep::kWrite);
  v.temporary = platform::create_held(name_beside(path, ".tmp"), path);
  produce([&v](std::uint64_t offset, std::string_view bytes) {
    platform::write_held_at(v.temporary, offset, bytes);
  });
}

void OutputSet::commit() {
  // Second names for the older files, made before the first rename, so
  // that the renames follow one another with nothing in between.
  for (Entry& v : entries_) {
    std::error_code ec;
    const fs::file_status s = fs::symlink_status(v.output, ec);
    v.had_older = !ec && fs::exists(s);
    if (v.had_older && !fs::is_directory(s))
      platform::hold_backup(v.output, name_beside(v.output, ".old"), v.backup);
  }

  // SIGINT and SIGTERM wait for the renames, and for the older files to be
  // given back after a failed one.
  std::optional<platform::InterruptsHeld> held;
  held.emplace();
  std::size_t renamed = 0;
  try {
    for (; renamed < entries_.size(); ++renamed) {
      step(WriteStep::kRename);
      platform::rename_held(entries_[renamed].temporary, entries_[renamed].output);
    }
  } catch (const platform::FileError& e) {
    // Give the outputs already renamed their older files back.
    std::string not_restored;
    for (std::size_t i = renamed; i-- > 0;) {
      Entry& v = entries_[i];
      bool restored = false;
      try {
        if (!v.backup.path.empty()) {
          platform::rename_held(v.backup, v.output);
          restored = true;
        } else if (!v.had_older) {
          restored = platform::delete_quietly(v.output);
        }
      } catch (const platform::FileError&) {
      }
      if (!restored) not_restored += " '" + platform::path_to_utf8(v.output) + "'";
    }
    held.reset();
    abandon();
    if (!not_restored.empty())
      throw platform::FileError(e.text() + "; the new file stays at" + not_restored +
                                ", the rest of the older set is as it was");
    throw;
  }
  held.reset();
  for (Entry& v : entries_) platform::remove_held(v.backup);
  entries_.clear();
}

void OutputSet::abandon() noexcept {
  for (Entry& v : entries_) {
    platform::remove_held(v.temporary);
    platform::remove_held(v.backup);
  }
  entries_.clear();
}

void replace_file(const fs::path& path, std::string_view bytes) {
  OutputSet set;
  set.add(path, bytes);
  set.commit();
}

}  // namespace tratta
