#include "model/valori_segnale.h"

#include "model/rounding.h"

namespace tratta {

namespace {

/// The low 16 bits of `v`, as the simulator reads a value.
int16_t basso16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }

}  // namespace

void codifica_segnale(const ColonneSegnale& c, Segmento& s) {
  s.valore4 = basso16(int64_t{10} * c.rapp + int64_t{3} * c.sx + c.dx);
  s.valore1 = basso16(int64_t{10} * c.sinistra[0] + c.destra[0]);
  s.valore2 = basso16(int64_t{10} * c.sinistra[1] + c.destra[1]);
  s.valore3 = basso16(int64_t{10} * c.sinistra[2] + c.destra[2]);
}

std::optional<ColonneSegnale> decodifica_segnale(const Segmento& s) {
  const int16_t aspetti[3] = {s.valore1, s.valore2, s.valore3};
  if (s.valore4 < 0 || s.valore4 % 10 > 8) return std::nullopt;
  ColonneSegnale c;
  for (size_t k = 0; k < 3; ++k) {
    if (aspetti[k] < 0 || aspetti[k] > 99) return std::nullopt;
    c.sinistra[k] = aspetti[k] / 10;
    c.destra[k] = aspetti[k] % 10;
  }
  c.sx = s.valore4 % 10 / 3;
  c.dx = s.valore4 % 10 % 3;
  c.rapp = s.valore4 / 10;
  return c;
}

ValoreVelocita codifica_velocita(Coppia velocita) {
  const int64_t sinistra = int64_t{20} * velocita.sinistra;
  if (sinistra < INT32_MIN || sinistra > INT32_MAX) return {0, FuoriScala::kSinistra};
  const double r = round_half_even(velocita.destra / 5.0 + static_cast<double>(sinistra));
  if (!(r >= INT16_MIN && r <= INT16_MAX)) return {0, FuoriScala::kValore};
  return {static_cast<int16_t>(r), FuoriScala::kNo};
}

std::optional<Coppia> decodifica_velocita(int16_t valore) {
  if (valore < 0) return std::nullopt;
  return Coppia{valore / 100 * 5, valore % 100 * 5};
}

int16_t codifica_strisce(Coppia strisce) {
  return basso16(int64_t{10} * strisce.sinistra + strisce.destra);
}

std::optional<Coppia> decodifica_strisce(int16_t valore) {
  if (valore < 0 || valore > 99) return std::nullopt;
  return Coppia{valore / 10, valore % 10};
}

}  // namespace tratta
