#include "reader/mileage_ordering.h"

#include "reader/checked.h"

namespace tratta {

void progressive_ordina(RouteModel& modello) {
  auto& voci = modello.voci;
  const Voce t = voci[kVoceProgressivaTre];
  const Voce d = voci[kVoceProgressivaDue];
  const Voce u = voci[kVoceProgressivaUno];
  Voce r81, r82, r83;

  if (somma32(somma32(t.inizio, d.inizio), u.inizio) != 0) {
    // Descending position; a shared largest position clears all three.
    if (t.inizio > d.inizio && t.inizio > u.inizio) {
      r81 = t;
      if (d.inizio > u.inizio) {
        r82 = d;
        r83 = u;
      } else {
        r82 = u;
        r83 = d;
      }
    }
    if (d.inizio > t.inizio && d.inizio > u.inizio) {
      r81 = d;
      if (t.inizio > u.inizio) {
        r82 = t;
        r83 = u;
      } else {
        r82 = u;
        r83 = t;
      }
    }
    if (u.inizio > t.inizio && u.inizio > d.inizio) {
      r81 = u;
      if (t.inizio > d.inizio) {
        r82 = t;
        r83 = d;
      } else {
        r82 = d;
        r83 = t;
      }
    }
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

}  // namespace tratta
