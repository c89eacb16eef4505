// The route model: the in-memory form of one scenario.
//
// A row of 50 m segments (`segmenti`), a table of 87 slots for stations,
// sign texts and general values (`voci`), the ground plan (`planimetria`)
// and the scalars that go with them. The reader fills it, the finishing
// pass completes it, the scenario file writers dump it byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/file_names.h"
#include "model/planimetria.h"

namespace tratta {

/// One 50 m segment. Fields in the order and widths of the route file.
struct Segmento {
  uint8_t tipo = 0;  ///< event code; 0 none, 11 montagna marker (both free)
  int16_t valore1 = 0;
  int16_t valore2 = 0;
  int16_t valore3 = 0;
  int16_t valore4 = 0;
  uint8_t tempo_segnale = 0;
  uint8_t avviso = 0;  ///< approach marker ahead of a signal or a station
  uint8_t classe_montagna = 0;
  uint8_t vel_limite = 0;    ///< round(km/h / 5)
  uint8_t pendenza_seg = 0;  ///< gradient per mille + 100
  uint8_t aderenza_seg = 0;

  /// Free segments take signals, signs, indicators, slowdown marks and
  /// abatements: no event, or only a montagna marker.
  bool libero() const { return tipo == 0 || tipo == 11; }

  bool operator==(const Segmento&) const = default;
};

/// Event codes of `Segmento::tipo`.
enum TipoSegmento : uint8_t {
  kNessuno = 0,
  kSegnale = 1,
  kFineRallentamento = 2,
  kInizioRallentamento = 3,
  kAvvisoRallentamento = 4,
  kPreavviso = 5,
  kIndicatoreVmax = 6,
  kStazione = 10,
  kMarcaMontagna = 11,
  kAbbattimento = 12,
  kAbbattimentoSenzaValore = 13,
  kCartello = 14,
};

/// One slot of `voci`: a station, a sign text or a row of general values.
struct Voce {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t tps = 0;
  std::string nome{};  ///< 8-bit text, one byte per character
  int16_t d2_a = 0;
  int16_t d3_a = 0;
  int16_t d1_b = 0;
  int16_t d2_b = 0;
  int16_t d3_b = 0;
  uint8_t rap = 0;
  uint8_t ac = 0;
  uint8_t mar = 0;
  uint8_t tab = 0;
  int32_t orario = 0;  ///< seconds since midnight

  bool operator==(const Voce&) const = default;
};

/// The record that put an event on a segment, for the messages that name
/// it when another record finds the segment taken.
struct OrigineEvento {
  /// The segment.
  int32_t segmento = 0;
  /// In the train description; else in the line description.
  bool nel_treno = false;
  /// The line of the record's keyword, and the position written in it.
  int32_t riga = 0;
  int32_t posizione = 0;
};

inline constexpr int kNumeroVoci = 87;
inline constexpr int kCapacitaMontagne = 80;

// Slots of `voci` with a fixed use.
inline constexpr int kVoceProgressivaTre = 81;
inline constexpr int kVoceProgressivaDue = 82;
inline constexpr int kVoceProgressivaUno = 83;
inline constexpr int kVoceGeneraliPercorso = 84;
inline constexpr int kVoceGeneraliLinea = 85;
inline constexpr int kVoceGeneraliTreno = 86;
inline constexpr int kPrimaVoceCartelli = 80;

struct RouteModel {
  NomiScenario nomi;

  /// Segments 0 to `ultimo_segmento`; empty until the length record
  /// dimensions the row.
  std::vector<Segmento> segmenti;
  std::array<Voce, kNumeroVoci> voci;
  Planimetria planimetria;

  std::array<int32_t, kCapacitaMontagne + 1> montagne_inizio{};
  std::array<int32_t, kCapacitaMontagne + 1> montagne_fine{};
  int32_t numero_montagne = 0;

  int32_t metri_totali = 0;
  int32_t ultimo_segmento = 0;

  /// Where the events on the row were written, in the order they were
  /// placed, and the record being placed now. Kept beside the row, never
  /// written into a file; the events that the finishing pass adds have
  /// none.
  std::vector<OrigineEvento> origini;
  OrigineEvento in_posa;

  bool dimensionato() const { return !segmenti.empty(); }

  /// Segment `k` took the event of the record being placed.
  void annota_origine(int64_t k) {
    in_posa.segmento = static_cast<int32_t>(k);
    origini.push_back(in_posa);
  }
  /// The record whose event segment `k` holds; none when no record put one
  /// there.
  const OrigineEvento* origine(int64_t k) const;

  /// Resets every slot of `voci`: numbers 0, names empty.
  void pulisci_voci();

  /// Dimensions the segment row (and the plan when `con_planimetria` is
  /// non-zero) for a route of `lunghezza` metres, discarding what was stored.
  /// Returns false when the length gives no valid row or plan: `metri_totali`
  /// and `ultimo_segmento` then hold the new length's values and the old
  /// route is gone all the same, the row empty (or of the one segment 0
  /// when only the plan has no room) and the plan undimensioned. (A length
  /// whose metres do not fit 32 bits changes nothing.)
  bool dimensiona(int32_t lunghezza, int32_t con_planimetria);
};

}  // namespace tratta
