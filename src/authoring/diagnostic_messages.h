// Plain sentences for the diagnostic codes that a compile can leave, as the
// catalogue of codes (model/catalogo_codici.h) gives them.
#pragma once

#include <string>

namespace tratta {

/// What is wrong, in one sentence, for diagnostic code `codice`.
std::string messaggio_codice(int codice);

/// True when `codice` comes with a position in `posizione_errore`.
bool codice_con_posizione(int codice);

}  // namespace tratta
