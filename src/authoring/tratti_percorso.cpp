#include "authoring/tratti_percorso.h"

namespace tratta {

namespace {

/// Runs of equal values of `campo` over the segments.
template <typename Campo>
std::vector<Tratto> tratti(const std::vector<Segmento>& segmenti, Campo campo) {
  std::vector<Tratto> out;
  for (size_t i = 0; i < segmenti.size(); ++i) {
    const uint8_t v = segmenti[i].*campo;
    const int64_t da = static_cast<int64_t>(i) * 50;
    if (out.empty() || out.back().valore != v) out.push_back({da, da, v, 0});
    out.back().a = da + 50;
    out.back().marcatori += segmenti[i].tipo == kMarcaMontagna;
  }
  return out;
}

}  // namespace

TrattiPercorso tratti_percorso(const std::vector<Segmento>& segmenti) {
  TrattiPercorso t;
  t.velocita = tratti(segmenti, &Segmento::vel_limite);
  t.pendenza = tratti(segmenti, &Segmento::pendenza_seg);
  t.aderenza = tratti(segmenti, &Segmento::aderenza_seg);
  for (const Tratto& m : tratti(segmenti, &Segmento::classe_montagna))
    if (m.valore != 0) t.montagna.push_back(m);
  return t;
}

}  // namespace tratta
