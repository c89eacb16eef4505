// Why some bytes cannot be one of the scenario files.
//
// The files carry no header or count, so a decoder can only judge a file by
// its length and its tags. Whatever does not fit the layout comes back as a
// value naming the file and the byte offset where the bytes stop making
// sense; a decoder reads nothing past the end of the bytes given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tratta {

/// Why a file cannot be one of the scenario files.
struct ErroreDecodifica {
  std::string file;     ///< the name the caller gave the bytes
  uint64_t offset = 0;  ///< where the bytes stop making sense
  std::string cosa;     ///< what is wrong there, one sentence

  ErroreDecodifica() = default;
  ErroreDecodifica(std::string_view file, uint64_t offset, std::string cosa)
      : file(file), offset(offset), cosa(std::move(cosa)) {}

  /// "FILE: byte N: WHAT"
  std::string testo() const { return file + ": byte " + std::to_string(offset) + ": " + cosa; }
};

/// A decoded value, or the reason there is none.
template <typename T>
struct Decodificato {
  T valore{};
  std::optional<ErroreDecodifica> errore;

  bool ok() const { return !errore.has_value(); }
};

}  // namespace tratta
