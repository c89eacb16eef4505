// The train half of the reader: general values, speeds, adhesion, signals,
// slowdowns, code abatements and stations.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "model/diagnosi.h"
#include "model/route_model.h"
#include "reader/checked.h"
#include "reader/field_source.h"
#include "reader/tabella_record.h"
#include "reader/valore_corrente.h"

namespace tratta {

/// A speed in km/h as a segment stores it, round(km/h / 5); a speed that
/// does not fit 0 to 255 is a run-time failure.
uint8_t velocita_segmento(int32_t km_h);

class TrainReader {
 public:
  /// Reads `fonte`, the train description, into `modello` after the line
  /// half: stations stop below `indice_cartelli`, the line's next sign
  /// slot, and `codice_linea` is the code the line half left (a record past
  /// the row, or 0).
  TrainReader(RouteModel& modello, FieldSource fonte, int32_t indice_cartelli,
              int32_t codice_linea)
      : m(modello),
        fonte_(std::move(fonte)),
        indice_cartelli(indice_cartelli),
        codice_linea(codice_linea) {}

  /// Reads the whole description. Returns true when the end steps ran,
  /// false when a record stopped the reading before them. A missing
  /// description is a run-time failure.
  bool leggi();

  FieldSource& fonte() { return fonte_; }

 private:
  /// The records of the body that the field just read names, in the order of
  /// their keyword tests; the diagnostic of the first that fails.
  std::optional<Arresto> record();
  std::optional<Arresto> record(const DefinizioneRecord& r);
  std::optional<Arresto> record_segnale();
  std::optional<Arresto> record_rallentamento();
  std::optional<Arresto> record_abbattimento();
  std::optional<Arresto> record_stazione();

  /// What a signal or a slowdown placed at `p` leaves: its own conflict or,
  /// when it had none, the code that the line half left, which stops the
  /// reading at the train's first signal or slowdown.
  std::optional<Arresto> dopo_la_posa(std::optional<Diagnosi> d, int32_t p) const;

  /// The end steps: the speeds and the adhesion finished.
  void fine();

  RouteModel& m;
  FieldSource fonte_;
  const int32_t indice_cartelli;
  const int32_t codice_linea;

  int32_t indice_stazioni = 1;
  /// The running speed, stored in units of 5 km/h, and the running
  /// adhesion, of which the low 8 bits are stored.
  ValoreCorrente velocita{&Segmento::vel_limite, velocita_segmento, "speed"};
  ValoreCorrente aderenza{&Segmento::aderenza_seg, [](int32_t a) { return basso8(a); },
                          "adhesion"};
};

}  // namespace tratta
