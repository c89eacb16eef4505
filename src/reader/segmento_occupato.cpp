#include "reader/segmento_occupato.h"

#include <string>

namespace tratta {

namespace {

/// The event that a segment holds, in words.
std::string evento(uint8_t tipo) {
  switch (tipo) {
    case kSegnale: return "the signal";
    case kFineRallentamento: return "the end mark of the slowdown";
    case kInizioRallentamento: return "the start mark of the slowdown";
    case kAvvisoRallentamento: return "the warning mark of the slowdown";
    case kPreavviso: return "a pre-warning mark of the slowdown";
    case kIndicatoreVmax: return "the speed indicator";
    case kStazione: return "the mark of the station";
    case kAbbattimento:
    case kAbbattimentoSenzaValore: return "the code abatement";
    case kCartello: return "the indication sign";
    default: return "the event " + std::to_string(tipo);
  }
}

}  // namespace

Diagnosi segmento_occupato(const RouteModel& modello, int32_t codice, int32_t posizione,
                           int64_t k) {
  const Segmento& seg = modello.segmenti.at(static_cast<size_t>(k));
  std::string causa =
      "the segment of " + std::to_string(k * 50) + " m is taken by " + evento(seg.tipo);
  if (const OrigineEvento* o = modello.origine(k)) {
    causa += " written at line " + std::to_string(o->riga);
    // The record that stopped is in the description being read.
    if (o->nel_treno != modello.in_posa.nel_treno)
      causa += o->nel_treno ? " of the train description" : " of the line description";
    causa += " (" + std::to_string(o->posizione) + " m)";
  }
  return Diagnosi{.codice_errore = codice, .posizione_errore = posizione, .causa = std::move(causa)};
}

}  // namespace tratta
