// Bytes that come in over time, read by one thread while another may end
// the wait: the standard input of the language server, which an editor may
// keep open after it has said its last word.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

#include "platform/file_result.h"

namespace tratta::platform {

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  /// Reads at most `n` bytes into `into`, waiting for the first: how many
  /// it read; 0 at the end, or once cancel() was called.
  virtual FileResult<std::size_t> read_some(char* into, std::size_t n) = 0;
  /// Ends the read under way, and every later one, with 0. Safe from any
  /// thread.
  virtual void cancel() noexcept = 0;
};

/// The standard input, read past any buffer of the C++ streams.
std::unique_ptr<ByteStream> standard_input_stream();

/// Bytes held in memory, given in pieces of at most `piece` bytes (a
/// test's, or a fuzz input's, stream).
class BytesInMemory final : public ByteStream {
 public:
  explicit BytesInMemory(std::string bytes, std::size_t piece = 1 << 16)
      : bytes_(std::move(bytes)), piece_(piece == 0 ? 1 : piece) {}
  FileResult<std::size_t> read_some(char* into, std::size_t n) override;
  void cancel() noexcept override { cancelled_ = true; }

 private:
  std::string bytes_;
  std::size_t piece_;
  std::size_t at_ = 0;
  std::atomic<bool> cancelled_{false};
};

}  // namespace tratta::platform
