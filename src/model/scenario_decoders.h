// Reading the three binary files for the simulator back: the route file,
// the train file and the line file, decoded field by field with the
// little-endian helpers, the counterparts of the encoders in
// scenario_files.h.
//
// The files carry no header or count, so a decoder can only judge a file by
// its length and its tags. Whatever does not fit the layout is returned as
// an error naming the file and the byte offset where the bytes stop making
// sense; nothing is read past the end of the bytes given.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/planimetria.h"
#include "model/route_model.h"

namespace tratta {

/// Why a file cannot be one of the scenario files.
struct ErroreDecodifica {
  std::string file;     ///< the name the caller gave the bytes
  uint64_t offset = 0;  ///< where the bytes stop making sense
  std::string cosa;     ///< what is wrong there, one sentence

  /// "FILE: byte N: WHAT"
  std::string testo() const;
};

/// A decoded value, or the reason there is none.
template <typename T>
struct Decodificato {
  T valore{};
  std::optional<ErroreDecodifica> errore;

  bool ok() const { return !errore.has_value(); }
};

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

/// The segments of a route file: 15 bytes each, the file a whole number of
/// them, at least one.
Decodificato<std::vector<Segmento>> decodifica_file_percorso(std::string_view byte,
                                                             std::string_view file);

/// The 87 slots of a train file: 34 bytes and the name's bytes each, and
/// nothing after slot 86.
Decodificato<std::array<Voce, kNumeroVoci>> decodifica_file_treno(std::string_view byte,
                                                                  std::string_view file);

/// The plan of a line file: tagged elements (tag 0 empty, 2 a 16-bit
/// integer, 5 a double), axis 0 then axis 1, the two of equal length.
Decodificato<FileLinea> decodifica_file_linea(std::string_view byte, std::string_view file);

}  // namespace tratta
