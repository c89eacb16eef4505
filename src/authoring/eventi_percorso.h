// The point events of a compiled route in words: what an author reads in
// the listing of `inspect` and in the details of a mark on the page of
// `view`.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/route_model.h"

namespace tratta {

/// The kinds of marks on the page of a route; each names itself in the
/// page's data-kind attribute.
enum class TipoMarca {
  kPlan,
  kHeight,
  kSpeed,
  kSignal,
  kStation,
  kSign,
  kIndicator,
  kSlowdown,
  kAbatement,
  kMontagna,
};

/// "plan", "height", "speed", "signal", ...
std::string_view nome_marca(TipoMarca tipo);

/// One segment's event (every `tipo` but 0 and the montagna marker 11,
/// which belongs to its stretch).
struct EventoPercorso {
  size_t segmento = 0;
  int64_t metro = 0;  ///< segment index x 50
  uint8_t tipo = 0;
  /// The mark that shows it on the page; nothing for slowdown warnings and
  /// ends, which the slowdown's own mark tells about.
  std::optional<TipoMarca> marca;
  /// The stretch it covers, in metres: from the slowdown start to the end
  /// of its last segment, the station from its start to its end; for other
  /// events the segment itself.
  int64_t da = 0, a = 0;
  /// In words, without the position: "signal: ...".
  std::string testo;
  /// The metre an author writes for a signal, a sign, a speed indicator
  /// or a slowdown start to land here: these go one segment further on
  /// than written (round(p / 50 + 1)). Nothing for the other events.
  std::optional<int64_t> scritto;
};

/// Every event of `segmenti`, in index order. Station and sign texts come
/// from `voci`; a slot number outside the table is reported as such.
std::vector<EventoPercorso> eventi_percorso(const std::vector<Segmento>& segmenti,
                                            const std::array<Voce, kNumeroVoci>& voci);

/// A slot of the shared part of `voci` (1 to 80) that holds something.
struct VoceInUso {
  int slot = 0;
  bool cartello = false;  ///< a sign text (a sign segment names the slot), else a station
};

/// Slots 1 to 80 that are not empty, in slot order.
std::vector<VoceInUso> voci_in_uso(const std::vector<Segmento>& segmenti,
                                   const std::array<Voce, kNumeroVoci>& voci);

/// "07:06:30" for a time of day in seconds.
std::string ora_del_giorno(int64_t secondi);

}  // namespace tratta
