#include "platform/folder_watch.h"

#include <algorithm>

namespace tratta::platform {

namespace fs = std::filesystem;

std::vector<WatchedFolder> folders_to_watch(const std::vector<fs::path>& files) {
  std::vector<WatchedFolder> out;
  for (const fs::path& file : files) {
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
  return out;
}

}  // namespace tratta::platform
