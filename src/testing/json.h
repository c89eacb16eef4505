// A strict reader of JSON text for the tests of the program's JSON output:
// it refuses anything that is not valid JSON (raw control characters in a
// string, bytes that are not UTF-8, trailing commas, text after the value)
// and keeps every number as written, so that a test can tell 2 from 2.0
// and read a double back exactly.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tratta::testing {

struct Json {
  enum class Tipo { kNull, kVero, kFalso, kNumero, kStringa, kArray, kOggetto };
  Tipo tipo = Tipo::kNull;
  std::string testo;  ///< a number as written, or a string's UTF-8 text
  std::vector<Json> elementi;
  std::vector<std::pair<std::string, Json>> campi;

  bool nullo() const { return tipo == Tipo::kNull; }

  const Json& operator[](std::string_view chiave) const {
    for (const auto& [k, v] : campi)
      if (k == chiave) return v;
    throw std::runtime_error("no field \"" + std::string(chiave) + "\"");
  }
  const Json& operator[](size_t i) const { return elementi.at(i); }
  size_t size() const { return tipo == Tipo::kOggetto ? campi.size() : elementi.size(); }

  /// A whole number, checked to be one.
  int64_t intero() const {
    if (tipo != Tipo::kNumero || testo.find_first_of(".eE") != std::string::npos)
      throw std::runtime_error("not a whole number: " + testo);
    return std::stoll(testo);
  }
};

namespace detail {

class LettoreJson {
 public:
  explicit LettoreJson(std::string_view t) : t_(t) {}

  Json documento() {
    Json v = valore();
    spazi();
    if (i_ != t_.size()) errore("text after the value");
    return v;
  }

 private:
  [[noreturn]] void errore(const std::string& cosa) const {
    throw std::runtime_error("JSON, byte " + std::to_string(i_) + ": " + cosa);
  }
  void spazi() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t' || t_[i_] == '\n' || t_[i_] == '\r'))
      ++i_;
  }
  bool prendi(char c) {
    spazi();
    if (i_ < t_.size() && t_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  void attendi(char c) {
    if (!prendi(c)) errore(std::string("expected '") + c + "'");
  }
  bool parola(std::string_view p) {
    if (t_.substr(i_, p.size()) != p) return false;
    i_ += p.size();
    return true;
  }

  Json valore() {
    spazi();
    if (i_ >= t_.size()) errore("the text ends before a value");
    Json v;
    const char c = t_[i_];
    if (c == '{') {
      ++i_;
      v.tipo = Json::Tipo::kOggetto;
      if (prendi('}')) return v;
      do {
        spazi();
        std::string chiave = stringa();
        attendi(':');
        v.campi.emplace_back(std::move(chiave), valore());
      } while (prendi(','));
      attendi('}');
    } else if (c == '[') {
      ++i_;
      v.tipo = Json::Tipo::kArray;
      if (prendi(']')) return v;
      do v.elementi.push_back(valore());
      while (prendi(','));
      attendi(']');
    } else if (c == '"') {
      v.tipo = Json::Tipo::kStringa;
      v.testo = stringa();
    } else if (parola("null")) {
    } else if (parola("true")) {
      v.tipo = Json::Tipo::kVero;
    } else if (parola("false")) {
      v.tipo = Json::Tipo::kFalso;
    } else {
      v.tipo = Json::Tipo::kNumero;
      v.testo = numero();
    }
    return v;
  }

  std::string numero() {
    const size_t a = i_;
    auto cifre = [&] {
      const size_t b = i_;
      while (i_ < t_.size() && t_[i_] >= '0' && t_[i_] <= '9') ++i_;
      if (i_ == b) errore("a number without digits");
    };
    if (i_ < t_.size() && t_[i_] == '-') ++i_;
    if (i_ < t_.size() && t_[i_] == '0')
      ++i_;
    else
      cifre();
    if (i_ < t_.size() && t_[i_] == '.') ++i_, cifre();
    if (i_ < t_.size() && (t_[i_] == 'e' || t_[i_] == 'E')) {
      ++i_;
      if (i_ < t_.size() && (t_[i_] == '+' || t_[i_] == '-')) ++i_;
      cifre();
    }
    return std::string(t_.substr(a, i_ - a));
  }

  unsigned esadecimale4() {
    if (t_.size() - i_ < 4) errore("a short \\u escape");
    unsigned v = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = t_[i_++];
      v = v * 16 + (c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : (errore("a bad \\u escape"), 0));
    }
    return v;
  }

  static void utf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }

  std::string stringa() {
    if (i_ >= t_.size() || t_[i_] != '"') errore("expected a string");
    ++i_;
    std::string out;
    for (;;) {
      if (i_ >= t_.size()) errore("the text ends inside a string");
      const unsigned char c = static_cast<unsigned char>(t_[i_]);
      if (c == '"') {
        ++i_;
        return out;
      }
      if (c < 0x20) errore("a control character inside a string");
      if (c == '\\') {
        if (++i_ >= t_.size()) errore("the text ends inside an escape");
        const char e = t_[i_++];
        switch (e) {
          case '"':
            out += '"';
            break;
          case '\\':
            out += '\\';
            break;
          case '/':
            out += '/';
            break;
          case 'b':
            out += '\b';
            break;
          case 'f':
            out += '\f';
            break;
          case 'n':
            out += '\n';
            break;
          case 'r':
            out += '\r';
            break;
          case 't':
            out += '\t';
            break;
          case 'u': {
            uint32_t cp = esadecimale4();
            if (cp >= 0xD800 && cp <= 0xDBFF) {
              if (!parola("\\u")) errore("a lone surrogate");
              const uint32_t basso = esadecimale4();
              if (basso < 0xDC00 || basso > 0xDFFF) errore("a lone surrogate");
              cp = 0x10000 + ((cp - 0xD800) << 10) + (basso - 0xDC00);
            } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
              errore("a lone surrogate");
            }
            utf8(out, cp);
            break;
          }
          default:
            errore("an unknown escape");
        }
        continue;
      }
      // UTF-8 as it stands, checked.
      const size_t n = c < 0x80                 ? 1
                       : c >= 0xC2 && c <= 0xDF ? 2
                       : c >= 0xE0 && c <= 0xEF ? 3
                       : c >= 0xF0 && c <= 0xF4 ? 4
                                                : 0;
      if (n == 0 || t_.size() - i_ < n) errore("bytes that are not UTF-8");
      for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(t_[i_ + k]) & 0xC0) != 0x80)
          errore("bytes that are not UTF-8");
      out.append(t_.substr(i_, n));
      i_ += n;
    }
  }

  std::string_view t_;
  size_t i_ = 0;
};

}  // namespace detail

/// The value of JSON text `testo`; throws std::runtime_error, naming the
/// byte, when it is not valid JSON.
inline Json leggi_json(std::string_view testo) { return detail::LettoreJson(testo).documento(); }

}  // namespace tratta::testing
