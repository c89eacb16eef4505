#include "reader/progressive_ordina.h"

#include "model/catalogo_codici.h"
#include "reader/checked.h"

namespace tratta {

void progressive_ordina(RouteModel& modello) {
  auto& voci = modello.voci;
  const Voce t = voci[kVoceProgressivaTre];
  const Voce d = voci[kVoceProgressivaDue];
  const Voce u = voci[kVoceProgressivaUno];
  Voce r81, r82, r83;

  // Puts `primo` first and the other two after it by position; `a` goes
  // second only when it lies strictly further than `b`.
  auto in_ordine = [&](const Voce& primo, const Voce& a, const Voce& b) {
    r81 = primo;
    r82 = a.inizio > b.inizio ? a : b;
    r83 = a.inizio > b.inizio ? b : a;
  };
  if (somma32(somma32(t.inizio, d.inizio), u.inizio) != 0) {
    // Descending position; a shared largest position clears all three.
    if (t.inizio > d.inizio && t.inizio > u.inizio) in_ordine(t, d, u);
    if (d.inizio > t.inizio && d.inizio > u.inizio) in_ordine(d, t, u);
    if (u.inizio > t.inizio && u.inizio > d.inizio) in_ordine(u, t, d);
  } else {
    // All at position 0: chosen by mileage, the later test winning.
    if (t.fine > 0) {
      r81 = t;
      r82 = d;
      r83 = u;
    }
    if (d.fine > 0) {
      r81 = d;
      r82 = t;
      r83 = u;
    }
    if (u.fine > 0) {
      r81 = u;
      r82 = d;
      r83 = t;
    }
  }

  voci[kVoceProgressivaTre] = r81;
  voci[kVoceProgressivaDue] = r82;
  voci[kVoceProgressivaUno] = r83;
  for (int slot = kVoceProgressivaTre; slot <= kVoceProgressivaUno; ++slot) {
    if (voci[slot].posizione == 1) voci[slot].fine = somma32(voci[slot].fine, 100);
  }
}

std::optional<Diagnosi> verifica_progressive(const RouteModel& modello) {
  for (int slot = kVoceProgressivaTre; slot <= kVoceProgressivaUno; ++slot) {
    const Voce& v = modello.voci[slot];
    if (v.inizio % 50 != 0 || v.fine % 50 != 0)
      return Diagnosi{.codice_errore = kCodiceProgressivaNonMultipla};
  }
  return std::nullopt;
}

}  // namespace tratta
