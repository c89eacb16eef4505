#include "model/file_linea.h"

#include <optional>

#include "model/planimetria.h"

namespace tratta {

namespace {

/// Reads one element; nothing, with the reason in `perche`, when its tag is
/// unknown or the file ends inside it.
std::optional<ElementoPiano> leggi_elemento(ByteCursor& c, std::string& perche) {
  uint16_t tag = 0;
  if (!c.get_u16(tag)) {
    perche = "the file ends inside an element's tag";
    return std::nullopt;
  }
  ElementoPiano e;
  bool letto = true;
  switch (static_cast<TagPiano>(tag)) {
    case TagPiano::kVuoto:
      break;
    case TagPiano::kIntero16: {
      int16_t v = 0;
      letto = c.get_i16(v);
      e = {TagPiano::kIntero16, static_cast<double>(v)};
      break;
    }
    case TagPiano::kDoppio:
      e.tag = TagPiano::kDoppio;
      letto = c.get_f64(e.valore);
      break;
    default:
      perche = "unknown element tag " + std::to_string(tag) +
               " (a line file holds only 0 empty, 2 integer and 5 double)";
      return std::nullopt;
  }
  if (!letto) {
    perche = "the file ends inside the value of an element with tag " + std::to_string(tag);
    return std::nullopt;
  }
  return e;
}

}  // namespace

size_t FileLinea::conta(TagPiano tag) const {
  size_t n = 0;
  for (const auto& asse : assi)
    for (const ElementoPiano& e : asse) n += e.tag == tag;
  return n;
}

std::string codifica_file_linea(const Planimetria& piano) { return piano.file_linea(); }

Decodificato<FileLinea> decodifica_file_linea(std::string_view byte, std::string_view file) {
  Decodificato<FileLinea> d;
  if (byte.empty()) {
    d.errore =
        ErroreDecodifica(file, 0, "the file is empty: a line file holds the plan's two axes");
    return d;
  }
  // First count the elements: the file does not say where axis 1 begins,
  // only that both axes have the same length.
  std::string perche;
  size_t elementi = 0;
  for (ByteCursor c(byte); !c.at_end(); ++elementi) {
    const size_t inizio = c.offset();
    if (!leggi_elemento(c, perche)) {
      d.errore = ErroreDecodifica(file, inizio, perche);
      return d;
    }
  }
  if (elementi % 2 != 0) {
    d.errore = ErroreDecodifica(file, byte.size(),
                                "the two axes of the plan differ in length: the file holds " +
                                    std::to_string(elementi) + " elements, an odd number");
    return d;
  }
  if (elementi / 2 - 1 > static_cast<size_t>(INT32_MAX)) {
    d.errore = ErroreDecodifica(file, 0, "the plan is longer than any route");
    return d;
  }
  ByteCursor c(byte);
  for (auto& asse : d.valore.assi) {
    asse.resize(elementi / 2);
    for (ElementoPiano& e : asse) e = leggi_elemento(c, perche).value();  // checked above
  }
  return d;
}

}  // namespace tratta
