#include "model/scenario_decoders.h"

#include "model/coding.h"

namespace tratta {

namespace {

constexpr size_t kBytesRecordPercorso = 15;

ErroreDecodifica errore(std::string_view file, uint64_t offset, std::string cosa) {
  return {std::string(file), offset, std::move(cosa)};
}

/// Reads the fields of one slot; false when the file ends inside it.
bool leggi_voce(ByteCursor& c, Voce& v) {
  uint16_t lunghezza_nome = 0;
  std::string_view nome;
  if (!(c.get_u8(v.tipo) && c.get_i32(v.inizio) && c.get_i32(v.fine) && c.get_i32(v.posizione) &&
        c.get_u8(v.tps) && c.get_u16(lunghezza_nome) && c.get_bytes(lunghezza_nome, nome)))
    return false;
  v.nome.assign(nome);
  return c.get_i16(v.d2_a) && c.get_i16(v.d3_a) && c.get_i16(v.d1_b) && c.get_i16(v.d2_b) &&
         c.get_i16(v.d3_b) && c.get_u8(v.rap) && c.get_u8(v.ac) && c.get_u8(v.mar) &&
         c.get_u8(v.tab) && c.get_i32(v.orario);
}

/// Reads one plan element; nothing, with the reason in `perche`, when its
/// tag is unknown or the file ends inside it.
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

std::string ErroreDecodifica::testo() const {
  return file + ": byte " + std::to_string(offset) + ": " + cosa;
}

size_t FileLinea::conta(TagPiano tag) const {
  size_t n = 0;
  for (const auto& asse : assi)
    for (const ElementoPiano& e : asse) n += e.tag == tag;
  return n;
}

Decodificato<std::vector<Segmento>> decodifica_file_percorso(std::string_view byte,
                                                             std::string_view file) {
  Decodificato<std::vector<Segmento>> d;
  if (byte.empty()) {
    d.errore = errore(file, 0,
                      "the file is empty: a route file holds at least one 15-byte segment record");
    return d;
  }
  if (const size_t resto = byte.size() % kBytesRecordPercorso; resto != 0) {
    d.errore = errore(file, byte.size() - resto,
                      "a route file is a whole number of 15-byte segment records, but " +
                          std::to_string(byte.size()) + " bytes leave " + std::to_string(resto) +
                          " over from here");
    return d;
  }
  d.valore.resize(byte.size() / kBytesRecordPercorso);
  ByteCursor c(byte);
  for (Segmento& s : d.valore) {
    // The length was checked above: every record is whole.
    c.get_u8(s.tipo);
    c.get_i16(s.valore1);
    c.get_i16(s.valore2);
    c.get_i16(s.valore3);
    c.get_i16(s.valore4);
    c.get_u8(s.tempo_segnale);
    c.get_u8(s.avviso);
    c.get_u8(s.classe_montagna);
    c.get_u8(s.vel_limite);
    c.get_u8(s.pendenza_seg);
    c.get_u8(s.aderenza_seg);
  }
  return d;
}

Decodificato<std::array<Voce, kNumeroVoci>> decodifica_file_treno(std::string_view byte,
                                                                  std::string_view file) {
  Decodificato<std::array<Voce, kNumeroVoci>> d;
  ByteCursor c(byte);
  for (int slot = 0; slot < kNumeroVoci; ++slot) {
    const size_t inizio = c.offset();
    if (!leggi_voce(c, d.valore[static_cast<size_t>(slot)])) {
      d.errore = errore(file, inizio,
                        "the record of slot " + std::to_string(slot) +
                            " runs past the end of the file (a train file holds 87 records, "
                            "slots 0 to 86, of 34 bytes and a name each)");
      return d;
    }
  }
  if (!c.at_end()) {
    d.errore = errore(file, c.offset(),
                      std::to_string(c.remaining()) + (c.remaining() == 1 ? " byte" : " bytes") +
                          " left over after slot 86, the last slot of a train file");
  }
  return d;
}

Decodificato<FileLinea> decodifica_file_linea(std::string_view byte, std::string_view file) {
  Decodificato<FileLinea> d;
  if (byte.empty()) {
    d.errore = errore(file, 0, "the file is empty: a line file holds the plan's two axes");
    return d;
  }
  // First count the elements: the file does not say where axis 1 begins,
  // only that both axes have the same length.
  std::string perche;
  size_t elementi = 0;
  for (ByteCursor c(byte); !c.at_end(); ++elementi) {
    const size_t inizio = c.offset();
    if (!leggi_elemento(c, perche)) {
      d.errore = errore(file, inizio, perche);
      return d;
    }
  }
  if (elementi % 2 != 0) {
    d.errore = errore(file, byte.size(),
                      "the two axes of the plan differ in length: the file holds " +
                          std::to_string(elementi) + " elements, an odd number");
    return d;
  }
  if (elementi / 2 - 1 > static_cast<size_t>(INT32_MAX)) {
    d.errore = errore(file, 0, "the plan is longer than any route");
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
