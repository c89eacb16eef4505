// The values of the two events whose columns share a segment's valore1 to
// valore4: a signal and a maximum-speed indicator. The reader packs the
// columns of a description record into the four values; inspect and the
// route page unpack them. Both go through here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "model/route_model.h"

namespace tratta {

/// A signal's columns as the train description gives them.
struct ColonneSegnale {
  std::array<int32_t, 3> sinistra{};  ///< s1, s2, s3: the aspects on the left
  std::array<int32_t, 3> destra{};    ///< d1, d2, d3: the aspects on the right
  int32_t sx = 0;                     ///< the sides, 0 to 2 each
  int32_t dx = 0;
  int32_t rapp = 0;

  bool operator==(const ColonneSegnale&) const = default;
};

/// Puts a signal's columns into valore1 to valore4 of `s`: each aspect
/// value 10 x left + right, the side value (valore4) 10 x rapp + 3 x sx +
/// dx, every one kept to its low 16 bits.
void codifica_segnale(const ColonneSegnale& c, Segmento& s);

/// The columns of a signal back from its values, when they split so: the
/// aspect values 0 to 99, the side value not negative and its last digit
/// at most 8. Nothing otherwise.
std::optional<ColonneSegnale> decodifica_segnale(const Segmento& s);

/// A left and a right value of a maximum-speed indicator: two speeds in
/// km/h, or the two counts of stripes.
struct Coppia {
  int32_t sinistra = 0;
  int32_t destra = 0;

  bool operator==(const Coppia&) const = default;
};

/// Why a pair of speeds has no value.
enum class FuoriScala : uint8_t {
  kNo,
  kSinistra,  ///< 20 x the left speed does not fit 32 bits
  kValore,    ///< the value does not fit 16 bits
};

/// The value of a pair of speeds, or why it has none.
struct ValoreVelocita {
  int16_t valore = 0;
  FuoriScala fuori = FuoriScala::kNo;
};

/// One of valore1 to valore3 of an indicator: 20 x left + right / 5,
/// rounded half to even. With speeds in steps of 5 km/h, the right one
/// below 500, the hundreds give the left speed and the rest the right one.
ValoreVelocita codifica_velocita(Coppia velocita);

/// The speeds back from a value that is not negative; nothing otherwise.
std::optional<Coppia> decodifica_velocita(int16_t valore);

/// valore4 of an indicator: 10 x left + right stripes, kept to its low 16
/// bits.
int16_t codifica_strisce(Coppia strisce);

/// The stripes back from a value from 0 to 99; nothing otherwise.
std::optional<Coppia> decodifica_strisce(int16_t valore);

}  // namespace tratta
