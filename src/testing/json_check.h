// A strict check of JSON text, for the tests and the fuzz target: one
// object by the JSON grammar, in well-formed UTF-8, nothing after it but
// blanks; and the check of UTF-8 alone, for what is not JSON.
#pragma once

#include <cstddef>
#include <string_view>

#include <nlohmann/json.hpp>

namespace tratta::testing {

class JsonCheck {
 public:
  /// True when `testo` is exactly one JSON object (and white space), in
  /// well-formed UTF-8: nlohmann-json's parser takes nothing else.
  static bool un_oggetto(std::string_view testo) {
    if (!nlohmann::json::accept(testo)) return false;
    const std::size_t inizio = testo.find_first_not_of(" \t\r\n");
    return inizio != std::string_view::npos && testo[inizio] == '{' && utf8_valido(testo);
  }

  /// True when every sequence of `t` is the shortest UTF-8 form of a code
  /// point up to U+10FFFF that is not a surrogate.
  static bool utf8_valido(std::string_view t) {
    for (std::size_t i = 0; i < t.size();) {
      const unsigned char c = static_cast<unsigned char>(t[i]);
      std::size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3
                                   : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
      if (n == 0 || i + n > t.size()) return false;
      for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return false;
      if (n > 1) {
        const unsigned char d = static_cast<unsigned char>(t[i + 1]);
        if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0) || (c == 0xF0 && d < 0x90) ||
            (c == 0xF4 && d >= 0x90))
          return false;
      }
      i += n;
    }
    return true;
  }
};

}  // namespace tratta::testing
