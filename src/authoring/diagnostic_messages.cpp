#include "authoring/diagnostic_messages.h"

#include "model/catalogo_codici.h"

namespace tratta {

std::string messaggio_codice(int codice) {
  const Codice* c = trova_codice(codice);
  return c ? std::string(c->frase) : "unknown diagnostic code";
}

bool codice_con_posizione(int codice) {
  const Codice* c = trova_codice(codice);
  return c && c->con_posizione;
}

}  // namespace tratta
