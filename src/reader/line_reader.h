// The line half of the reader: general values, gradients, the ground plan,
// montagna stretches, speed indicators and indication signs.
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

class LineReader {
 public:
  /// Reads `fonte`, the line description, into `modello`; with
  /// `con_planimetria` non-zero it also builds the plan from the curve
  /// records.
  LineReader(RouteModel& modello, int32_t con_planimetria, FieldSource fonte)
      : m(modello), con_planimetria(con_planimetria), fonte_(std::move(fonte)) {}

  /// Reads the whole description. Returns false when the reading stops here,
  /// so that the train description is not read.
  bool leggi();

  /// The next slot for a sign text: the train half's stations stop below it.
  int32_t indice_cartelli() const { return indice_cartelli_; }

  FieldSource& fonte() { return fonte_; }

 private:
  /// The header, up to its closing section field; false when a record stops
  /// the reading.
  bool leggi_intestazione();

  /// A header record that the field just read names; false when it stops
  /// the reading.
  bool record_intestazione(const DefinizioneRecord& r);

  /// The records of the body that the field just read names, in the order of
  /// their keyword tests; the diagnostic of the first that fails.
  std::optional<Arresto> record();
  std::optional<Arresto> record_corpo(const DefinizioneRecord& r);
  std::optional<Arresto> record_curva();
  std::optional<Arresto> record_montagna();
  std::optional<Arresto> record_indicatori();
  std::optional<Arresto> record_cartello();

  /// The warning for a curve from `s`, `l` metres long, that starts before
  /// the plan's current point.
  void avverti_curva_indietro(int32_t s, int32_t l);

  /// Extends the plan from metre `k` up to `fino` along a straight (`kappa`
  /// 0) or a curve, stopping after metre `limite`; `k` becomes the first
  /// metre not computed. A plan that would pass the route's last metre is a
  /// run-time failure.
  void estendi_piano(int32_t fino, double kappa, int32_t limite);

  /// The end steps: the gradients finished, the plan extended straight.
  void fine();

  RouteModel& m;
  const int32_t con_planimetria;
  FieldSource fonte_;

  int32_t indice_cartelli_ = kPrimaVoceCartelli;
  /// The running gradient, stored per mille + 100.
  ValoreCorrente pendenza{&Segmento::pendenza_seg,
                          [](int32_t g) { return basso8(somma32(g, 100)); }, "gradient"};
  /// The plan's cursor: the first metre not computed.
  int32_t k = 2;
};

}  // namespace tratta
