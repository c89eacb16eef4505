#include "model/file_treno.h"

namespace tratta {

std::string codifica_file_treno(const RouteModel& modello) {
  size_t totale = 0;
  for (const Voce& v : modello.voci) totale += kByteVoceFissi + v.nome.size();
  std::string out;
  out.reserve(totale);
  for (const Voce& v : modello.voci) put_record(out, v, kCampiVoce);
  return out;
}

Decodificato<std::array<Voce, kNumeroVoci>> decodifica_file_treno(std::string_view byte,
                                                                  std::string_view file) {
  Decodificato<std::array<Voce, kNumeroVoci>> d;
  ByteCursor c(byte);
  for (int slot = 0; slot < kNumeroVoci; ++slot) {
    const size_t inizio = c.offset();
    if (!get_record(c, d.valore[static_cast<size_t>(slot)], kCampiVoce)) {
      d.errore = ErroreDecodifica(file, inizio,
                                  "the record of slot " + std::to_string(slot) +
                                      " runs past the end of the file (a train file holds " +
                                      std::to_string(kNumeroVoci) + " records, slots 0 to " +
                                      std::to_string(kNumeroVoci - 1) + ", of " +
                                      std::to_string(kByteVoceFissi) + " bytes and a name each)");
      return d;
    }
  }
  if (!c.at_end()) {
    d.errore =
        ErroreDecodifica(file, c.offset(),
                         std::to_string(c.remaining()) + (c.remaining() == 1 ? " byte" : " bytes") +
                             " left over after slot " + std::to_string(kNumeroVoci - 1) +
                             ", the last slot of a train file");
  }
  return d;
}

}  // namespace tratta
