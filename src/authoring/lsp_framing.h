// The framing of the editor's protocol over a byte stream: each message is
// a header ("Content-Length: N", other fields passed over), an empty line,
// and N bytes of JSON.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace tratta {

/// The largest message taken: a description's bound with room for the
/// JSON around it. A larger one is read past and dropped.
inline constexpr std::size_t kMassimoMessaggio = (64u << 20) + (1u << 20);

/// What the next read of the stream gave.
struct MessaggioLetto {
  enum class Tipo {
    kMessaggio,   ///< `corpo` holds the message's bytes
    kGuasto,      ///< a header without a length, or too long: `corpo` says why
    kFine,        ///< the stream ended
  };
  Tipo tipo = Tipo::kFine;
  std::string corpo;
};

/// Reads framed messages from `in`, one at a time.
class LettoreMessaggi {
 public:
  explicit LettoreMessaggi(std::istream& in, std::size_t massimo = kMassimoMessaggio)
      : in_(in), massimo_(massimo) {}
  MessaggioLetto leggi();

 private:
  std::istream& in_;
  std::size_t massimo_;
};

/// Writes `json` framed onto `out` and flushes it.
void scrivi_messaggio(std::ostream& out, std::string_view json);

}  // namespace tratta
