#include "model/file_percorso.h"

namespace tratta {

std::string codifica_file_percorso(const RouteModel& modello) {
  std::string out;
  out.reserve(modello.segmenti.size() * kByteRecordPercorso);
  for (const Segmento& s : modello.segmenti) put_record(out, s, kCampiSegmento);
  return out;
}

Decodificato<std::vector<Segmento>> decodifica_file_percorso(std::string_view byte,
                                                             std::string_view file) {
  const std::string record = std::to_string(kByteRecordPercorso) + "-byte segment record";
  Decodificato<std::vector<Segmento>> d;
  if (byte.empty()) {
    d.errore =
        ErroreDecodifica(file, 0, "the file is empty: a route file holds at least one " + record);
    return d;
  }
  if (const size_t resto = byte.size() % kByteRecordPercorso; resto != 0) {
    d.errore = ErroreDecodifica(file, byte.size() - resto,
                                "a route file is a whole number of " + record + "s, but " +
                                    std::to_string(byte.size()) + " bytes leave " +
                                    std::to_string(resto) + " over from here");
    return d;
  }
  d.valore.resize(byte.size() / kByteRecordPercorso);
  ByteCursor c(byte);
  // The length was checked above: every record is whole.
  for (Segmento& s : d.valore) get_record(c, s, kCampiSegmento);
  return d;
}

}  // namespace tratta
