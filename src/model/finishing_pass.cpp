#include "model/finishing_pass.h"

#include <initializer_list>

#include "model/catalogo_codici.h"

namespace tratta {

namespace {

/// The segment row as the pass walks it. Probes of the pass may reach past
/// the row's ends; there is no segment there, so it is neither free nor
/// anything else.
class SegmentRow {
 public:
  explicit SegmentRow(RouteModel& m)
      : m_(m), ultimo_(static_cast<int32_t>(m.segmenti.size()) - 1) {}

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

  /// A conflict at segment `k`: only the last one is kept.
  void registra(int32_t codice, int32_t k) { ultima_ = Diagnosi{codice, k * 50}; }
  const std::optional<Diagnosi>& ultima_diagnosi() const { return ultima_; }

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
  std::optional<Diagnosi> ultima_;
};

/// One abatement before each signal in the 20 segments before the warning
/// at `i`: just before the signal, or one further back, or else the cap of
/// an abatement already standing there.
void segnali_prima_di_avviso(SegmentRow& row, int32_t i) {
  for (int32_t k = 1; k <= 20; ++k) {
    const int32_t p = i - k;
    if (p < 3) return;
    if (!row.ha_tipo(p, kSegnale)) continue;
    if (row.inserisci_nel_primo_libero({p - 1, p - 2})) continue;
    if (row.ha_tipo(p - 1, kAbbattimento)) {
      row.limita(p - 1);
    } else if (row.ha_tipo(p - 2, kAbbattimento)) {
      row.limita(p - 2);
    } else {
      row.registra(kCodiceAbbattimentoPrimaDelSegnale, p);
    }
  }
}

/// Abatements 250 to 350, 550 to 650 and 900 to 1000 m before the slowdown
/// start at `i`, each independent of the others.
void prima_di_inizio(SegmentRow& row, int32_t i) {
  struct Distanza {
    int32_t minimo_i, a, b, c;
  };
  static constexpr Distanza kDistanze[] = {{8, 5, 6, 7}, {14, 11, 12, 13}, {21, 18, 19, 20}};
  for (const Distanza& d : kDistanze) {
    if (i < d.minimo_i) continue;
    if (!row.inserisci_nel_primo_libero({i - d.a, i - d.b, i - d.c})) row.registra(kCodiceAbbattimentoPrimaDelRallentamento, i);
  }
}

/// The walk through the slowdown that starts at `i`: an abatement every 8
/// segments after the start and after each abatement inserted. Returns the
/// segment where the walk ended (the slowdown end, or the last segment of
/// the row).
int32_t dentro_rallentamento(SegmentRow& row, int32_t i) {
  int32_t n = 0;
  int32_t k = i;
  for (;;) {
    ++k;
    ++n;
    if (n == 8) {
      if (row.libero(k)) {
        row.inserisci(k);
        n = 0;
      } else if (row.libero(k - 1)) {
        row.inserisci(k - 1);
        n = 1;
      } else if (row.libero(k + 1)) {
        row.inserisci(k + 1);
        n = -1;
      } else {
        row.registra(kCodiceAbbattimentoNelRallentamento, k);
      }
    }
    if (row[k].tipo == kFineRallentamento || k == row.ultimo()) return k;
  }
}

/// An abatement before the first signal within 12 segments after the
/// slowdown end `e`.
void dopo_fine(SegmentRow& row, int32_t e) {
  for (int32_t m = e; m <= e + 12 && row.esiste(m); ++m) {
    if (row[m].tipo != kSegnale) continue;
    if (!row.inserisci_nel_primo_libero({m - 1, m - 2})) row.registra(kCodiceAbbattimentoNelRallentamento, e);
    return;
  }
}

}  // namespace

std::optional<Diagnosi> completa_percorso(RouteModel& modello) {
  SegmentRow row(modello);
  for (int32_t i = 1; i <= row.ultimo() - 2; ++i) {
    if (row[i].tipo == kAvvisoRallentamento) segnali_prima_di_avviso(row, i);
    if (row[i].tipo == kInizioRallentamento) {
      prima_di_inizio(row, i);
      // Slowdowns of 110 and more get no abatements inside nor after them.
      if (row[i].valore1 < 110) dopo_fine(row, dentro_rallentamento(row, i));
    }
  }
  return row.ultima_diagnosi();
}

}  // namespace tratta
