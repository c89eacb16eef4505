#include "model/finishing_pass.h"

#include <initializer_list>

namespace tratta {

namespace {

/// Probes of the pass may reach past the row's ends; there is no segment
/// there, so it is neither free nor anything else.
class Riga {
 public:
  explicit Riga(RouteModel& m) : m_(m), ultimo_(static_cast<int32_t>(m.segmenti.size()) - 1) {}

  int32_t ultimo() const { return ultimo_; }
  bool esiste(int32_t k) const { return k >= 0 && k <= ultimo_; }
  bool libero(int32_t k) const { return esiste(k) && m_.segmenti[k].libero(); }
  bool ha_tipo(int32_t k, uint8_t tipo) const { return esiste(k) && m_.segmenti[k].tipo == tipo; }
  Segmento& operator[](int32_t k) { return m_.segmenti[k]; }

  void inserisci(int32_t k) {
    m_.segmenti[k].tipo = kAbbattimento;
    m_.segmenti[k].valore1 = kValoreAbbattimento;
  }

  void limita(int32_t k) {
    m_.segmenti[k].valore1 = minimo(kValoreAbbattimento, m_.segmenti[k].valore1);
  }

  void registra(int32_t codice, int32_t k) {
    m_.codice_errore = codice;
    m_.posizione_errore = k * 50;
  }

  /// Inserts an abatement at the first free one of `candidati`; returns
  /// false when none is free.
  bool inserisci_nel_primo_libero(std::initializer_list<int32_t> candidati) {
    for (int32_t k : candidati) {
      if (libero(k)) {
        inserisci(k);
        return true;
      }
    }
    return false;
  }

 private:
  RouteModel& m_;
  int32_t ultimo_;
};

/// Step A: one abatement before each signal in the 20 segments before the
/// warning at `i`.
void segnali_prima_di_avviso(Riga& riga, int32_t i) {
  for (int32_t k = 1; k <= 20; ++k) {
    const int32_t p = i - k;
    if (p < 3) return;
    if (!riga.ha_tipo(p, kSegnale)) continue;
    if (riga.inserisci_nel_primo_libero({p - 1, p - 2})) continue;
    if (riga.ha_tipo(p - 1, kAbbattimento)) {
      riga.limita(p - 1);
    } else if (riga.ha_tipo(p - 2, kAbbattimento)) {
      riga.limita(p - 2);
    } else {
      riga.registra(11, p);
    }
  }
}

/// Steps B1 to B3: abatements 250 to 350, 550 to 650 and 900 to 1000 m
/// before the slowdown start at `i`.
void prima_di_inizio(Riga& riga, int32_t i) {
  struct Distanza {
    int32_t minimo_i, a, b, c;
  };
  static constexpr Distanza kDistanze[] = {{8, 5, 6, 7}, {14, 11, 12, 13}, {21, 18, 19, 20}};
  for (const Distanza& d : kDistanze) {
    if (i < d.minimo_i) continue;
    if (!riga.inserisci_nel_primo_libero({i - d.a, i - d.b, i - d.c})) riga.registra(12, i);
  }
}

/// Step B4: an abatement every 8 segments inside the slowdown that starts at
/// `i`. Returns the segment where the walk ended (the slowdown end, or the
/// last segment of the row).
int32_t dentro_rallentamento(Riga& riga, int32_t i) {
  int32_t n = 0;
  int32_t k = i;
  for (;;) {
    ++k;
    ++n;
    if (n == 8) {
      if (riga.libero(k)) {
        riga.inserisci(k);
        n = 0;
      } else if (riga.libero(k - 1)) {
        riga.inserisci(k - 1);
        n = 1;
      } else if (riga.libero(k + 1)) {
        riga.inserisci(k + 1);
        n = -1;
      } else {
        riga.registra(13, k);
      }
    }
    if (riga[k].tipo == kFineRallentamento || k == riga.ultimo()) return k;
  }
}

/// Step B5: an abatement before the first signal within 12 segments after
/// the slowdown end `e`.
void dopo_fine(Riga& riga, int32_t e) {
  for (int32_t m = e; m <= e + 12 && riga.esiste(m); ++m) {
    if (riga[m].tipo != kSegnale) continue;
    if (!riga.inserisci_nel_primo_libero({m - 1, m - 2})) riga.registra(13, e);
    return;
  }
}

}  // namespace

void completa_percorso(RouteModel& modello) {
  Riga riga(modello);
  for (int32_t i = 1; i <= riga.ultimo() - 2; ++i) {
    if (riga[i].tipo == kAvvisoRallentamento) segnali_prima_di_avviso(riga, i);
    if (riga[i].tipo == kInizioRallentamento) {
      prima_di_inizio(riga, i);
      // Slowdowns of 110 and more get no abatements inside nor after them.
      if (riga[i].valore1 < 110) dopo_fine(riga, dentro_rallentamento(riga, i));
    }
  }
}

}  // namespace tratta
