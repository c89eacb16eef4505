#include "model/stamps.h"

#include "model/catalogo_codici.h"
#include "model/codice_gara.h"

namespace tratta {

int apponi_timbri(RouteModel& modello) {
  Voce& linea = modello.voci[kVoceGeneraliLinea];
  Segmento& primo = modello.segmenti.at(1);
  if (linea.d2_a != 0 || primo.valore1 != 0) return kErroreMarcaPresa;
  linea.d2_a = kMarcaLinea;
  primo.valore1 = kMarcaSegmento;
  if (linea.orario != 0 || primo.valore2 != 0) return kErroreCodiceGaraPreso;
  linea.orario = codice_gara_st(modello);
  primo.valore2 = codice_gara_og(modello);
  return 0;
}

}  // namespace tratta
