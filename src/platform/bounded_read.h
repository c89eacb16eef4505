// Reading a file or a stream whole, once, with a bound on its size: the
// part that every platform shares, over the platform's own call that reads
// some bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/file_result.h"
#include "platform/platform.h"

namespace tratta::platform {

/// The room a stream starts with, and the least it grows by.
inline constexpr std::size_t kReadChunk = std::size_t{1} << 16;

/// Reads at most `n` bytes into `into`: how many it read, 0 at the end.
using ReadSome = std::function<FileResult<std::size_t>(char* into, std::size_t n)>;

/// Reads through `read_some` to the end into `bytes`, as read_bounded
/// does. `size` is what is left to read when it is known beforehand (a
/// regular file): the room is then taken once, for exactly that much and
/// one byte that finds the end; more than `limit` is refused without
/// reading. Otherwise the room starts at one chunk and doubles as the bytes
/// come, never past limit + 1 bytes. On a refusal or a failure `bytes` is
/// left empty.
FileResult<ReadOutcome> read_to_end(const ReadSome& read_some, std::optional<std::uint64_t> size,
                                    std::uint64_t limit, std::string& bytes);

}  // namespace tratta::platform
