#include "emitter/document_writer.h"

#include <stdexcept>


namespace tratta {

namespace {

void aggiungi_riga(std::string& out, std::string_view riga) {
  for (size_t i = 0; i < riga.size();) {
    size_t n = detail::lunghezza_carattere(riga, i);
    if (n == 0)
      throw std::invalid_argument("character outside the document set in line: " +
                                  std::string(riga));
    if (n == 1) {
      out.push_back(riga[i]);
    } else {
      // Two-byte UTF-8 of U+00A0..U+00FF: the code point is the byte.
      unsigned char lead = static_cast<unsigned char>(riga[i]);
      unsigned char cont = static_cast<unsigned char>(riga[i + 1]);
      out.push_back(static_cast<char>(((lead & 0x03) << 6) | (cont & 0x3F)));
    }
    i += n;
  }
  out += "\r\n";
}

}  // namespace

std::string componi_documento(TabellaRighe righe) {
  std::string out;
  for (std::string_view riga : righe) {
    if (riga == kFineDelFile) break;
    aggiungi_riga(out, riga);
  }
  return out;
}

}  // namespace tratta
