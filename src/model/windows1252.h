// Text of the train file (station names, sign texts, the two identifiers)
// is 8-bit text in the Windows-1252 code page; the interface speaks UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tratta {

/// Every byte read as its Windows-1252 character, as UTF-8. The five bytes
/// that the code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) read
/// as the control characters of the same number, so that every byte string
/// has a text and comes back from encode_windows1252 unchanged.
std::string decode_windows1252(std::string_view bytes);

/// The Windows-1252 bytes of UTF-8 `text`; nothing when it is not UTF-8 or
/// holds a character that the code page lacks.
std::optional<std::string> encode_windows1252(std::string_view text);

/// True when `bytes` is valid UTF-8 holding a character beyond ASCII: text
/// saved as UTF-8 where Windows-1252 is meant.
bool utf8_beyond_ascii(std::string_view bytes);

/// The byte offset of the first character of UTF-8 `text` that has no
/// Windows-1252 form (or of a byte that is not UTF-8), with its length;
/// nothing when the whole text converts.
std::optional<std::pair<size_t, size_t>> first_unencodable(std::string_view text);

}  // namespace tratta
