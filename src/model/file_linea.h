// The line file: the ground plan as the simulator reads it.
//
// Every element of the plan in storage order, the metre index fastest:
// axis 0 from metre 0 to the last, then axis 1, the two of equal length,
// with no header or count. An element is a 16-bit tag and the value the tag
// says: nothing for an empty element, a 16-bit integer for a seed, a double
// for a computed point. Every element's offset follows from the tags
// before it.
//
// The plan (planimetria.h) computes the points and puts them into the file
// with the element encoders here, a stretch at a time; the decoder reads a
// whole file back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/coding.h"
#include "model/errore_decodifica.h"

namespace tratta {

class Planimetria;

/// Type tags of plan elements.
enum class TagPiano : uint16_t { kVuoto = 0, kIntero16 = 2, kDoppio = 5 };

/// Bytes of an element with `tag`: the tag and its value.
constexpr size_t byte_elemento(TagPiano tag) {
  switch (tag) {
    case TagPiano::kVuoto:
      return 2;
    case TagPiano::kIntero16:
      return 4;
    case TagPiano::kDoppio:
      return 10;
  }
  return 0;
}

// The elements, each at `dst`, which has room for its bytes.

inline void codifica_vuoto(char* dst) { encode_u16(dst, static_cast<uint16_t>(TagPiano::kVuoto)); }

inline void codifica_intero16(char* dst, int16_t v) {
  encode_u16(dst, static_cast<uint16_t>(TagPiano::kIntero16));
  encode_u16(dst + 2, static_cast<uint16_t>(v));
}

inline void codifica_doppio(char* dst, double v) {
  encode_u16(dst, static_cast<uint16_t>(TagPiano::kDoppio));
  encode_f64(dst + 2, v);
}

/// One element of the plan as the line file holds it.
struct ElementoPiano {
  TagPiano tag = TagPiano::kVuoto;
  double valore = 0.0;  ///< the 16-bit integer or the double; 0 when empty
};

/// The line file's content: the elements of each axis, metre by metre.
struct FileLinea {
  /// Axis 0 and axis 1, each of metri_totali + 1 elements.
  std::array<std::vector<ElementoPiano>, 2> assi;

  int32_t metri_totali() const { return static_cast<int32_t>(assi[0].size()) - 1; }
  /// Elements of both axes that carry `tag`.
  size_t conta(TagPiano tag) const;
};

/// Bytes of the line file, the whole file in memory (for tests and small
/// plans: the file writer has the plan write its stretches straight into
/// the file).
std::string codifica_file_linea(const Planimetria& piano);

/// The plan of a line file: any mix of known tags, the two axes of equal
/// length.
Decodificato<FileLinea> decodifica_file_linea(std::string_view byte, std::string_view file);

}  // namespace tratta
