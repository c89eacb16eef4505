// Checked arithmetic and narrowing for values that come from a description.
//
// A result that does not fit its field is a run-time failure of the reading
// (status 25); where the model says a value wraps, the low bits are kept
// explicitly.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "model/rounding.h"
#include "model/route_model.h"
#include "reader/field_reader.h"

namespace tratta {

inline int32_t a32(int64_t v) {
  if (v < INT32_MIN || v > INT32_MAX) throw ErroreLettura("arithmetic overflow");
  return static_cast<int32_t>(v);
}

inline int32_t somma32(int32_t a, int32_t b) { return a32(int64_t{a} + b); }
inline int32_t differenza32(int32_t a, int32_t b) { return a32(int64_t{a} - b); }
inline int32_t prodotto32(int32_t a, int32_t b) { return a32(int64_t{a} * b); }

/// round(x) into a 32-bit field.
inline int32_t arrotonda32(double x) {
  double r = round_half_even(x);
  if (!(r >= INT32_MIN && r <= INT32_MAX)) throw ErroreLettura("arithmetic overflow");
  return static_cast<int32_t>(r);
}

/// round(x) into a signed 16-bit field.
inline int16_t arrotonda16(double x) {
  double r = round_half_even(x);
  if (!(r >= INT16_MIN && r <= INT16_MAX)) throw ErroreLettura("value does not fit 16 bits");
  return static_cast<int16_t>(r);
}

/// A value read into a signed 16-bit field.
inline int16_t campo16(int32_t v) {
  if (v < INT16_MIN || v > INT16_MAX) throw ErroreLettura("value does not fit 16 bits");
  return static_cast<int16_t>(v);
}

/// A value read into an unsigned 8-bit field.
inline uint8_t campo8(int32_t v) {
  if (v < 0 || v > 255) throw ErroreLettura("value does not fit 0 to 255");
  return static_cast<uint8_t>(v);
}

/// The low 16 bits, for sums and products that wrap at 16 bits.
inline int16_t basso16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }

/// The low 8 bits.
inline uint8_t basso8(int64_t v) { return static_cast<uint8_t>(v & 0xFF); }

/// A text stored as the name of a slot: one longer than the train file can
/// carry (65535 bytes) fails here.
inline void metti_nome(Voce& v, std::string testo) {
  if (testo.size() > 0xFFFF) throw ErroreLettura("text longer than 65535 bytes");
  v.nome = std::move(testo);
}

}  // namespace tratta
