#include "reader/placement.h"

#include "model/catalogo_codici.h"
#include "model/valori_segnale.h"
#include "reader/checked.h"
#include "reader/segmento_occupato.h"

namespace tratta {

namespace {

/// Segment index of a point event at `posizione`: round(posizione / 50 + 1).
int32_t segmento_evento(int32_t posizione) { return arrotonda32(posizione / 50.0 + 1.0); }

/// An indicator's value for a pair of speeds; a pair without one stops the
/// reading.
int16_t valore_velocita(int32_t sinistra, int32_t destra) {
  const ValoreVelocita v = codifica_velocita({sinistra, destra});
  switch (v.fuori) {
    case FuoriScala::kNo:
      break;
    case FuoriScala::kSinistra:
      throw ErroreLettura("arithmetic overflow");
    case FuoriScala::kValore:
      throw ErroreLettura("value does not fit 16 bits");
  }
  return v.valore;
}

}  // namespace

Segmento& segmento(RouteModel& modello, int64_t i) {
  if (i < 0 || i >= static_cast<int64_t>(modello.segmenti.size()))
    throw ErroreLettura("segment " + std::to_string(i) + " outside the route");
  return modello.segmenti[static_cast<size_t>(i)];
}

void memo_montagna(RouteModel& modello, int32_t inizio, int32_t fine, int32_t tipo) {
  bool marcatori = false;
  if (tipo > 10) {
    marcatori = true;
    tipo -= 10;
  }
  if (modello.numero_montagne >= kCapacitaMontagne)
    throw ErroreLettura("more than 80 montagna records");
  const int32_t n = ++modello.numero_montagne;
  modello.montagne_inizio[n] = inizio;
  modello.montagne_fine[n] = fine;
  if (n > 1 && differenza32(modello.montagne_inizio[n], modello.montagne_fine[n - 1]) <= 150)
    tipo = 3;

  const int32_t primo = arrotonda32(inizio / 50.0);
  const int32_t ultimo = arrotonda32(fine / 50.0 - 1.0);
  int32_t conteggio = 0;
  for (int64_t k = primo; k <= ultimo; ++k) {
    Segmento& seg = segmento(modello, k);
    ++conteggio;
    seg.classe_montagna = basso8(tipo);
    if (marcatori && conteggio % 4 == 0 && seg.tipo == kNessuno) seg.tipo = kMarcaMontagna;
  }
}

std::optional<Diagnosi> memo_indicatori_v_max(RouteModel& modello, int32_t posizione,
                                              int32_t vas, int32_t vbs, int32_t vcs,
                                              int32_t strisces, int32_t vad, int32_t vbd,
                                              int32_t vcd, int32_t strisced) {
  const int32_t i = segmento_evento(posizione);
  Segmento& seg = segmento(modello, i);
  if (!seg.libero()) return segmento_occupato(modello, kCodiceIndicatoreOccupato, posizione, i);
  // The segment takes the indicator first; a speed pair that does not fit
  // 16 bits then stops the reading with the values stored before it.
  seg.tipo = kIndicatoreVmax;
  modello.annota_origine(i);
  seg.valore1 = valore_velocita(vas, vad);
  seg.valore2 = valore_velocita(vbs, vbd);
  seg.valore3 = valore_velocita(vcs, vcd);
  seg.valore4 = codifica_strisce({strisces, strisced});
  return std::nullopt;
}

std::optional<Diagnosi> memo_segnale(RouteModel& modello, int32_t posizione, int32_t sx,
                                     int32_t s1, int32_t s2, int32_t s3, int32_t rapp,
                                     int32_t dx, int32_t d1, int32_t d2, int32_t d3,
                                     int32_t tempo) {
  const int32_t i = segmento_evento(posizione);
  Segmento& seg = segmento(modello, i);
  if (!seg.libero()) return segmento_occupato(modello, kCodiceSegnaleOccupato, posizione, i);
  seg.tipo = kSegnale;
  modello.annota_origine(i);
  codifica_segnale(
      {.sinistra = {s1, s2, s3}, .destra = {d1, d2, d3}, .sx = sx, .dx = dx, .rapp = rapp}, seg);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  seg.tempo_segnale = sx == 2 ? basso8(tempo) : 0;
  const uint8_t lato = basso8(3 * basso8(sx) + basso8(dx));
  for (int32_t j = 1; j <= 4; ++j) {
    const int64_t k = int64_t{i} - int64_t{2} * j;
    // Marks that would fall before the start of the route are skipped.
    if (k < 0) continue;
    segmento(modello, k).avviso = basso8(lato * 10 + j);
  }
  return std::nullopt;
}

std::optional<Diagnosi> memo_rallentamento(RouteModel& modello, int32_t x, int32_t v, int32_t l,
                                           int32_t f_tt, int32_t f_ta, int32_t d_v) {
  const bool con_avviso = x > 1500;
  int32_t w = 0;
  if (con_avviso) {
    w = arrotonda32(differenza32(x, 1200) / 50.0 + 1.0);
    if (!segmento(modello, w).libero())
      return segmento_occupato(modello, kCodiceAvvisoRallentamentoOccupato, x, w);
  } else {
    f_ta = 0;
  }
  const int32_t s = segmento_evento(x);
  if (!segmento(modello, s).libero())
    return segmento_occupato(modello, kCodiceInizioRallentamentoOccupato, x, s);
  const int32_t e = segmento_evento(somma32(x, l));
  if (!segmento(modello, e).libero())
    return segmento_occupato(modello, kCodiceFineRallentamentoOccupato, x, e);
  Segmento& fine = segmento(modello, e);
  fine.tipo = kFineRallentamento;
  modello.annota_origine(e);
  if (d_v != 0) fine.valore2 = basso16(d_v);
  Segmento& inizio = segmento(modello, s);
  inizio.tipo = kInizioRallentamento;
  modello.annota_origine(s);
  if (d_v != 0) inizio.valore2 = basso16(d_v);
  if (con_avviso) {
    Segmento& avviso = segmento(modello, w);
    avviso.tipo = kAvvisoRallentamento;
    modello.annota_origine(w);
    if (d_v != 0) avviso.valore2 = basso16(d_v);
    avviso.valore1 = basso16(v);
  }
  inizio.valore1 = basso16(v);
  fine.valore1 = basso16(v);
  inizio.valore3 = basso16(f_tt);
  fine.valore3 = basso16(f_tt);

  if (f_ta == 0) return std::nullopt;
  const int32_t h = arrotonda32(differenza32(x, 1200) / 50.0);
  for (int32_t j = 0; j <= 3; ++j) {
    if (!segmento(modello, int64_t{h} - j).libero())
      return segmento_occupato(modello, kCodicePreavvisoOccupato, x, int64_t{h} - j);
  }
  for (int32_t j = 0; j <= 3; ++j) {
    Segmento& pre = segmento(modello, int64_t{h} - j);
    pre.tipo = kPreavviso;
    modello.annota_origine(int64_t{h} - j);
    pre.valore1 = static_cast<int16_t>(j + 1);
    if (d_v != 0) pre.valore2 = static_cast<int16_t>(j + 1);
  }
  return std::nullopt;
}

}  // namespace tratta
