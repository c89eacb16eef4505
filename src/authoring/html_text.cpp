#include "authoring/html_text.h"

#include <charconv>

#include "authoring/display_text.h"

namespace tratta {

std::string html(std::string_view testo) {
  const std::string t = visibile(testo, static_cast<size_t>(-1));
  std::string out;
  out.reserve(t.size());
  for (char c : t) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out += c;
    }
  }
  return out;
}

}  // namespace tratta
