// Writing a built-in document: a table of literal lines closed by the end
// marker, printed line by line with CR LF in the Windows-1252 code page.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace tratta {

/// Closes every document table; it is never written.
inline constexpr std::string_view kFineDelFile = "riferimento fine del file";

/// A document as held in the program: its literal lines in order, then the
/// end marker. Lines are UTF-8 in the source.
using TabellaRighe = std::span<const std::string_view>;

namespace detail {

/// Length in bytes of the UTF-8 sequence that starts `s` at `i` when it is
/// one of the characters the documents may hold, else 0.
constexpr size_t lunghezza_carattere(std::string_view s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c >= 0x20 && c < 0x7F) return 1;
  if (i + 1 >= s.size()) return 0;
  unsigned char d = static_cast<unsigned char>(s[i + 1]);
  if (c == 0xC2 && d == 0xB0) return 2;  // degree sign
  if (c == 0xC3 && (d == 0xA0 || d == 0xA8 || d == 0xAC || d == 0xB2 || d == 0xB9))
    return 2;  // a e i o u with grave accent
  return 0;
}

}  // namespace detail

/// True when every character of `riga` has a Windows-1252 byte in the
/// document character set: printable ASCII, the degree sign and the small
/// vowels with grave accent.
constexpr bool codificabile(std::string_view riga) {
  for (size_t i = 0; i < riga.size();) {
    size_t n = detail::lunghezza_carattere(riga, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

/// True when every line of the table before its end marker is encodable.
constexpr bool tabella_codificabile(TabellaRighe righe) {
  for (std::string_view r : righe) {
    if (r == kFineDelFile) return true;
    if (!codificabile(r)) return false;
  }
  return true;
}

/// The bytes of the document: each line up to the end marker (or the end of
/// the table, whichever comes first), unchanged, followed by CR LF.
/// Throws std::invalid_argument for a character outside the document set.
std::string componi_documento(TabellaRighe righe);

}  // namespace tratta
