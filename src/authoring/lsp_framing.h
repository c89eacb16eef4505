// The framing of the editor's protocol over a byte stream: each message is
// a header ("Content-Length: N", other fields passed over), an empty line,
// and N bytes of JSON. A stream that breaks the framing (a length that is
// no number, a body without a header, bytes between messages) costs only
// what it broke: the reader says what it passed over and finds the next
// "Content-Length" header, wherever it starts.
#pragma once

#include <cstddef>
#include <deque>
#include <ostream>
#include <string>
#include <string_view>

#include "compile/file_descriptions.h"
#include "platform/byte_stream.h"

namespace tratta {

/// The largest message taken: a description's bound with room for the
/// JSON around it. A larger one is read past and dropped.
inline constexpr std::size_t kLargestMessage = kLimiteDescrizione + (1u << 20);

/// What the next read of the stream gave.
struct Frame {
  enum class Kind {
    kMessage,  ///< `body` holds the message's bytes
    kBroken,   ///< bytes that make no message were passed over: `body` says which
    kEnd,      ///< the stream ended (or could not be read further)
  };
  Kind kind = Kind::kEnd;
  std::string body;
};

/// Reads framed messages from `in`, one at a time.
class MessageReader {
 public:
  explicit MessageReader(platform::ByteStream& in, std::size_t largest = kLargestMessage)
      : in_(in), largest_(largest) {}
  Frame next();

 private:
  /// The next byte, or -1 at the end of the stream.
  int get();
  /// Moves the next `n` bytes into `into` (nullptr: drops them); false
  /// when the stream ends first.
  bool take(std::size_t n, std::string* into);
  /// A header line without its line end; false at the end of the stream.
  /// What is cut from a line longer than any header, or left at the end,
  /// is added to `dropped`.
  bool header_line(std::string& line, std::size_t& dropped);

  platform::ByteStream& in_;
  std::size_t largest_;
  std::string buffer_;  // bytes read from the stream and not yet taken
  std::size_t at_ = 0;
  bool ended_ = false;
  std::size_t line_bytes_ = 0;  // of the last header line, its line end included
  std::deque<Frame> ready_;
};

/// Writes `json` framed onto `out` and flushes it.
void write_message(std::ostream& out, std::string_view json);

}  // namespace tratta
