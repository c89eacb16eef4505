#include "reader/tabella_record.h"

#include "reader/field_source.h"

namespace tratta {

bool campo_nomina(const DefinizioneRecord& r, std::string_view campo) {
  for (std::string_view parola : r.parole) {
    if (parola.empty()) continue;
    if (!(r.esatta ? contiene(campo, parola) : contiene_ci(campo, parola))) return false;
  }
  return true;
}

}  // namespace tratta
