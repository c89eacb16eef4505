#include "authoring/display_text.h"

namespace tratta {

namespace {

/// Length of the well-formed UTF-8 sequence of two to four bytes that
/// starts at `i`, or 0.
size_t sequenza_utf8(std::string_view t, size_t i) {
  const unsigned char c = static_cast<unsigned char>(t[i]);
  size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > t.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

/// `testo` with printable ASCII passed to `ascii`, well-formed UTF-8
/// letters kept, and every other byte replaced by `altro(byte)`.
template <typename Ascii, typename Altro>
std::string ripulito(std::string_view testo, Ascii ascii, Altro altro) {
  std::string out;
  for (size_t i = 0; i < testo.size();) {
    const unsigned char c = static_cast<unsigned char>(testo[i]);
    if (c >= 0x20 && c < 0x7F) {
      ascii(out, testo[i++]);
    } else if (size_t n = c >= 0x80 ? sequenza_utf8(testo, i) : 0) {
      out.append(testo.substr(i, n));
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
  std::string out = ripulito(
      testo.substr(0, massimo), [](std::string& o, char c) { o.push_back(c); },
      [](unsigned char c) { return "\\x" + esadecimale(c); });
  if (testo.size() > massimo) out += "...";
  return out;
}

std::string json_stringa(std::string_view testo) {
  return "\"" +
         ripulito(
             testo,
             [](std::string& o, char c) {
               if (c == '"' || c == '\\') o.push_back('\\');
               o.push_back(c);
             },
             [](unsigned char c) { return "\\u00" + esadecimale(c); }) +
         "\"";
}

}  // namespace tratta
