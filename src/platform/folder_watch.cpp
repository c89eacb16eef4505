#include "platform/folder_watch.h"

#include <algorithm>

namespace tratta::platform {

namespace fs = std::filesystem;

namespace {

void add_watched(std::vector<WatchedFolder>& out, const fs::path& file) {
  std::error_code ec;
  fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
  fs::path resolved = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (!ec) folder = resolved;
  auto same = std::find_if(out.begin(), out.end(),
                           [&](const WatchedFolder& w) { return w.folder == folder; });
  if (same == out.end()) same = out.insert(out.end(), WatchedFolder{folder, {}});
  if (std::find(same->names.begin(), same->names.end(), file.filename()) == same->names.end())
    same->names.push_back(file.filename());
}

}  // namespace

std::vector<WatchedFolder> folders_to_watch(const std::vector<fs::path>& files) {
  std::vector<WatchedFolder> out;
  for (const fs::path& file : files) {
    add_watched(out, file);
    // A file reached through a link changes where the link leads: an
    // editor writes there.
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(file, ec))) {
      const fs::path target = fs::weakly_canonical(fs::absolute(file, ec), ec);
      if (!ec) add_watched(out, target);
    }
  }
  return out;
}

}  // namespace tratta::platform
