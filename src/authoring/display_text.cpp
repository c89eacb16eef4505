#include "authoring/display_text.h"

#include <charconv>

namespace tratta {

namespace {

/// Length of the well-formed UTF-8 sequence of two to four bytes that
/// starts at `i`, or 0. Well-formed is the shortest form of a code point up
/// to U+10FFFF that is not a surrogate: overlong forms (C0, C1, E0 80..9F,
/// F0 80..8F), surrogates (ED A0..BF) and anything above U+10FFFF (F4 90..,
/// F5..FF) are not.
size_t sequenza_utf8(std::string_view t, size_t i) {
  const unsigned char c = static_cast<unsigned char>(t[i]);
  size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > t.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return 0;
  // The second byte's range depends on the first.
  const unsigned char d = static_cast<unsigned char>(t[i + 1]);
  if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0) || (c == 0xF0 && d < 0x90) ||
      (c == 0xF4 && d >= 0x90))
    return 0;
  return n;
}

/// True for the two-byte forms of the C1 control characters U+0080 to
/// U+009F: well-formed, but a terminal may act on them.
bool controllo_c1(std::string_view t, size_t i, size_t n) {
  return n == 2 && static_cast<unsigned char>(t[i]) == 0xC2 &&
         static_cast<unsigned char>(t[i + 1]) < 0xA0;
}

/// `testo` with printable ASCII passed to `ascii`, well-formed UTF-8
/// letters kept, C1 controls given to `c1(code point)`, and every other
/// byte replaced by `altro(byte)`.
template <typename Ascii, typename C1, typename Altro>
std::string ripulito(std::string_view testo, Ascii ascii, C1 c1, Altro altro) {
  std::string out;
  for (size_t i = 0; i < testo.size();) {
    const unsigned char c = static_cast<unsigned char>(testo[i]);
    if (c >= 0x20 && c < 0x7F) {
      ascii(out, testo[i++]);
    } else if (size_t n = c >= 0x80 ? sequenza_utf8(testo, i) : 0) {
      if (controllo_c1(testo, i, n)) {
        c1(out, static_cast<unsigned char>(testo[i + 1]));
      } else {
        out.append(testo.substr(i, n));
      }
      i += n;
    } else {
      out += altro(c);
      ++i;
    }
  }
  return out;
}

std::string esadecimale(unsigned char c) {
  static const char kHex[] = "0123456789abcdef";
  return {kHex[c >> 4], kHex[c & 0xF]};
}

}  // namespace

std::string visibile(std::string_view testo, size_t massimo) {
  auto byte = [](unsigned char c) { return "\\x" + esadecimale(c); };
  std::string out = ripulito(
      testo.substr(0, massimo), [](std::string& o, char c) { o.push_back(c); },
      [&byte](std::string& o, unsigned char c) { o += byte(0xC2) + byte(c); }, byte);
  if (testo.size() > massimo) out += "...";
  return out;
}

std::string accorciato(std::string_view testo, size_t massimo) {
  if (testo.size() <= massimo) return std::string(testo);
  return std::string(testo.substr(0, massimo)) + "...";
}

std::string json_stringa(std::string_view testo) {
  return "\"" +
         ripulito(
             testo,
             [](std::string& o, char c) {
               if (c == '"' || c == '\\') o.push_back('\\');
               o.push_back(c);
             },
             [](std::string& o, unsigned char c) { o += "\\u00" + esadecimale(c); },
             [](unsigned char c) { return "\\u00" + esadecimale(c); }) +
         "\"";
}

std::string fisso(double v, int decimali) {
  char b[400];
  const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, decimali);
  return std::string(b, r.ptr);
}

}  // namespace tratta
