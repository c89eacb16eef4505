#include "reader/memorizza_dati.h"

#include <new>

#include "platform/platform.h"
#include "reader/field_source.h"

namespace tratta {

LuogoDiagnosi memorizza_dati(RouteModel& modello, int32_t con_planimetria,
                             const Descrizioni& descrizioni) {
  Lettura lettura(modello, con_planimetria, descrizioni);
  try {
    if (lettura.leggi_linea()) lettura.leggi_treno();
  } catch (const ErroreLettura& e) {
    lettura.fallita(e.what());
  } catch (const platform::FileError& e) {
    lettura.fallita(e.what());
  } catch (const std::bad_alloc&) {
    lettura.fallita("out of memory");
  }
  return lettura.luogo;
}

}  // namespace tratta
