#include "model/file_percorso.h"

#include <algorithm>

namespace tratta {

namespace {

/// Records in one piece: 16 KiB or less, so that the buffer stays in cache.
constexpr size_t kRecordPerPezzo = 16384 / kByteRecordPercorso;

}  // namespace

void scrivi_file_percorso(const RouteModel& modello, const ScritturaPosizionata& scrivi) {
  std::string pezzo;
  pezzo.reserve(kRecordPerPezzo * kByteRecordPercorso);
  uint64_t offset = 0;
  const std::vector<Segmento>& segmenti = modello.segmenti;
  for (size_t i = 0; i < segmenti.size(); i += kRecordPerPezzo) {
    pezzo.clear();
    const size_t fine = std::min(segmenti.size(), i + kRecordPerPezzo);
    for (size_t j = i; j < fine; ++j) put_record(pezzo, segmenti[j], kCampiSegmento);
    scrivi(offset, pezzo);
    offset += pezzo.size();
  }
}

std::string codifica_file_percorso(const RouteModel& modello) {
  std::string out;
  out.reserve(modello.segmenti.size() * kByteRecordPercorso);
  scrivi_file_percorso(modello, [&out](uint64_t, std::string_view pezzo) { out += pezzo; });
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
