// Text from descriptions and paths, made safe to show: on a terminal and
// inside JSON.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tratta {

/// `testo` for a terminal: printable ASCII and well-formed UTF-8 letters
/// stay, every other byte (controls, NUL, bytes of ill-formed UTF-8)
/// becomes \xNN; a text longer than `massimo` bytes is cut and ends in
/// "...".
std::string visibile(std::string_view testo, size_t massimo = 200);

/// `testo` cut to its first `massimo` bytes, with "..." after a cut; the
/// bytes themselves are left as they are.
std::string accorciato(std::string_view testo, size_t massimo = 200);

/// `testo` as a JSON string, quotes included. UTF-8 text (paths) passes
/// through; a control byte, or a byte of ill-formed UTF-8, becomes
/// \u00NN with its own number, so any input gives valid JSON in valid
/// UTF-8. (Text of the train file is decoded from Windows-1252 before.)
std::string json_stringa(std::string_view testo);

/// `v` with `decimali` digits after the point, whatever the locale; any
/// double fits, the largest included.
std::string fisso(double v, int decimali);

}  // namespace tratta
