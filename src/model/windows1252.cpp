#include "model/windows1252.h"

#include <array>
#include <cstdint>

namespace tratta {

namespace {

/// Characters of the bytes 0x80 to 0x9F; the other bytes are their own
/// code points.
constexpr std::array<char32_t, 32> kDa80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

/// The code point of the UTF-8 sequence at `i`, advancing `i`; nothing
/// for a malformed, overlong or surrogate sequence.
std::optional<char32_t> next_code_point(std::string_view t, size_t& i) {
  const unsigned char c = static_cast<unsigned char>(t[i]);
  size_t n;
  char32_t cp;
  if (c < 0x80) {
    ++i;
    return c;
  } else if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    cp = c & 0x07;
  } else {
    return std::nullopt;
  }
  if (t.size() - i < n) return std::nullopt;
  for (size_t k = 1; k < n; ++k) {
    const unsigned char d = static_cast<unsigned char>(t[i + k]);
    if ((d & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (d & 0x3F);
  }
  if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
      (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
    return std::nullopt;
  i += n;
  return cp;
}

}  // namespace

std::string decode_windows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const unsigned char b = static_cast<unsigned char>(ch);
    append_utf8(out, b >= 0x80 && b < 0xA0 ? kDa80[b - 0x80] : b);
  }
  return out;
}

std::optional<std::string> encode_windows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const std::optional<char32_t> cp = next_code_point(text, i);
    if (!cp) return std::nullopt;
    if (*cp < 0x80 || (*cp >= 0xA0 && *cp <= 0xFF)) {
      out.push_back(static_cast<char>(*cp));
      continue;
    }
    size_t k = 0;
    while (k < kDa80.size() && kDa80[k] != *cp) ++k;
    if (k == kDa80.size()) return std::nullopt;
    out.push_back(static_cast<char>(0x80 + k));
  }
  return out;
}

bool utf8_beyond_ascii(std::string_view bytes) {
  bool oltre = false;
  for (size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    if (!next_code_point(bytes, i)) return false;
    oltre = true;
  }
  return oltre;
}

std::optional<std::pair<size_t, size_t>> first_unencodable(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t inizio = i;
    const std::optional<char32_t> cp = next_code_point(text, i);
    if (!cp) return std::pair<size_t, size_t>{inizio, 1};
    if (!encode_windows1252(text.substr(inizio, i - inizio)))
      return std::pair<size_t, size_t>{inizio, i - inizio};
  }
  return std::nullopt;
}

}  // namespace tratta
