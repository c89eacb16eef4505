#include "platform/bounded_read.h"

#include <algorithm>
#include <limits>

namespace tratta::platform {

namespace {

/// Makes the room of `bytes` exactly `room` bytes, keeping its first
/// `used`: a string asked to grow may take twice what it needs, a new one
/// reserved at its size does not.
void make_room(std::string& bytes, std::size_t used, std::size_t room) {
  std::string larger;
  larger.reserve(room);
  larger.assign(bytes, 0, used);
  larger.resize(room);
  bytes.swap(larger);
}

}  // namespace

FileResult<ReadOutcome> read_to_end(const ReadSome& read_some, std::optional<std::uint64_t> size,
                                    std::uint64_t limit, std::string& bytes) {
  bytes.clear();
  if (size && *size > limit) return ReadOutcome::kTooLarge;
  // The most bytes ever held: one past the bound tells that there are more.
  const std::size_t most =
      static_cast<std::size_t>(std::min<std::uint64_t>(limit, bytes.max_size() - 1)) + 1;
  std::size_t used = 0;
  make_room(bytes, 0,
            size ? static_cast<std::size_t>(std::min<std::uint64_t>(*size, most - 1)) + 1
                 : std::min(kReadChunk, most));
  for (;;) {
    if (used == bytes.size()) {
      if (used >= most) {
        bytes.clear();
        bytes.shrink_to_fit();
        return ReadOutcome::kTooLarge;
      }
      make_room(bytes, used, std::min(most, std::max(kReadChunk, 2 * used)));
    }
    const FileResult<std::size_t> n = read_some(bytes.data() + used, bytes.size() - used);
    if (!n.ok()) {
      bytes.clear();
      return n.error();
    }
    if (n.value() == 0) break;
    used += std::min(n.value(), bytes.size() - used);
  }
  bytes.resize(used);
  return ReadOutcome::kRead;
}

FileResult<bool> read_file(const std::filesystem::path& path, std::string& bytes) {
  const FileResult<ReadOutcome> read =
      read_bounded(path, std::numeric_limits<std::uint64_t>::max(), bytes);
  if (!read.ok()) return read.error();
  return read.value() == ReadOutcome::kRead;
}

}  // namespace tratta::platform
