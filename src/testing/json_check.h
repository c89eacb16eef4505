// A strict check of JSON text, for the tests and the fuzz target: one
// value by the JSON grammar, in well-formed UTF-8, nothing after it but
// blanks.
#pragma once

#include <cstddef>
#include <string_view>

namespace tratta::testing {

class JsonCheck {
 public:
  /// True when `testo` is exactly one JSON object (and white space).
  static bool un_oggetto(std::string_view testo) {
    JsonCheck c(testo);
    c.spazi();
    if (c.i_ >= c.t_.size() || c.t_[c.i_] != '{' || !c.valore(0)) return false;
    c.spazi();
    return c.i_ == c.t_.size() && utf8_valido(testo);
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

 private:
  explicit JsonCheck(std::string_view t) : t_(t) {}

  bool fine() const { return i_ >= t_.size(); }
  char c() const { return t_[i_]; }
  void spazi() {
    while (!fine() && (c() == ' ' || c() == '\t' || c() == '\n' || c() == '\r')) ++i_;
  }
  bool parola(std::string_view p) {
    if (t_.substr(i_, p.size()) != p) return false;
    i_ += p.size();
    return true;
  }
  bool cifre() {
    std::size_t inizio = i_;
    while (!fine() && c() >= '0' && c() <= '9') ++i_;
    return i_ > inizio;
  }
  bool numero() {
    if (!fine() && c() == '-') ++i_;
    if (fine()) return false;
    if (c() == '0') {
      ++i_;
    } else if (!cifre()) {
      return false;
    }
    if (!fine() && c() == '.' && (++i_, !cifre())) return false;
    if (!fine() && (c() == 'e' || c() == 'E')) {
      ++i_;
      if (!fine() && (c() == '+' || c() == '-')) ++i_;
      if (!cifre()) return false;
    }
    return true;
  }
  bool stringa() {
    if (fine() || c() != '"') return false;
    for (++i_; !fine(); ++i_) {
      const unsigned char x = static_cast<unsigned char>(c());
      if (x == '"') {
        ++i_;
        return true;
      }
      if (x < 0x20) return false;
      if (x == '\\') {
        if (++i_ >= t_.size()) return false;
        if (c() == 'u') {
          for (int k = 0; k < 4; ++k) {
            if (++i_ >= t_.size()) return false;
            const char h = c();
            if (!((h >= '0' && h <= '9') || (h >= 'a' && h <= 'f') || (h >= 'A' && h <= 'F')))
              return false;
          }
        } else if (std::string_view("\"\\/bfnrt").find(c()) == std::string_view::npos) {
          return false;
        }
      }
    }
    return false;
  }
  bool valore(int profondita) {
    if (profondita > 64) return false;
    spazi();
    if (fine()) return false;
    switch (c()) {
      case '{': return composto('}', profondita, true);
      case '[': return composto(']', profondita, false);
      case '"': return stringa();
      case 't': return parola("true");
      case 'f': return parola("false");
      case 'n': return parola("null");
      default: return numero();
    }
  }
  bool composto(char chiusa, int profondita, bool oggetto) {
    ++i_;
    spazi();
    if (!fine() && c() == chiusa) {
      ++i_;
      return true;
    }
    for (;;) {
      spazi();
      if (oggetto) {
        if (!stringa()) return false;
        spazi();
        if (fine() || c() != ':') return false;
        ++i_;
      }
      if (!valore(profondita + 1)) return false;
      spazi();
      if (fine()) return false;
      if (c() == chiusa) {
        ++i_;
        return true;
      }
      if (c() != ',') return false;
      ++i_;
    }
  }

  std::string_view t_;
  std::size_t i_ = 0;
};

}  // namespace tratta::testing
