// A description being read, the one source of fields that the reader's two
// halves share: its path, its text with the field reader over it, the field
// that the keyword tests look at and the line of its record, and whether the
// description is deleted once read. It also knows how a record of its
// description ends the reading, so that every half stops the same way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/diagnosi.h"
#include "model/route_model.h"
#include "reader/field_reader.h"

namespace tratta {

/// True when `campo` contains `chiave` (exact).
bool contiene(std::string_view campo, std::string_view chiave);
/// True when `campo` contains `chiave`, ignoring the case of letters.
bool contiene_ci(std::string_view campo, std::string_view chiave);

/// How a record of the body stops when it cannot be placed. Its diagnostic
/// stops the reading; a record that lies past the end of the segment row
/// only ends the body, and the end steps still run.
struct Arresto {
  // A diagnostic, as it comes from a placement routine, stops the reading.
  Arresto(Diagnosi d) : diagnosi(std::move(d)) {}  // NOLINT(google-explicit-constructor)
  static Arresto fine_corpo(Diagnosi d) {
    Arresto a(std::move(d));
    a.solo_corpo = true;
    return a;
  }

  Diagnosi diagnosi;
  bool solo_corpo = false;
};

/// The room that a body record needs past its position, in metres; a
/// station needs more.
inline constexpr int32_t kMargineRecord = 100;

/// The bound check of a body record at `p`: when the row has no room for it
/// with `margine` metres, code 15 at `p`, which ends the body.
std::optional<Arresto> oltre_percorso(const RouteModel& modello, int32_t p,
                                      int32_t margine = kMargineRecord);

class FieldSource {
 public:
  /// The description at `percorso`, deleted once read when `consuma` is
  /// set. Its diagnostics go into `diagnosi`, the reading's diagnostic.
  FieldSource(std::filesystem::path percorso, bool consuma, Diagnosi& diagnosi)
      : percorso_(std::move(percorso)), consuma_(consuma), diagnosi_(diagnosi) {}

  /// Reads the whole description at once. False when it does not exist;
  /// throws platform::FileError when it exists but cannot be read.
  bool apri();

  /// Reads the next field into campo(); false when that read reached the end
  /// of the file (the field is then left uninterpreted).
  bool leggi_campo();
  /// The body's read: a field, skipping up to two comment fields ("-").
  bool prossimo_record();
  /// The field most recently read by leggi_campo(), which the keyword tests
  /// look at.
  const std::string& campo() const { return campo_; }
  /// True once every byte has been read.
  bool fine() const { return in_->fine(); }

  /// The record's fields after its keyword.
  int32_t numero() { return in_->leggi_numero(); }
  std::string testo() { return in_->leggi_testo(); }

  /// Closes the description and, when it is consumed, deletes it.
  void chiudi();

  /// Records `d` in the reading's diagnostic, at the record being read
  /// (only the last diagnostic survives).
  void registra(Diagnosi d);

  /// The one way a record stops the reading: the description is closed
  /// (and deleted when consumed) and `d` recorded at the record being read.
  /// Returns false, the reading's "stopped".
  bool ferma(Diagnosi d);

  /// The body of the description: `record()` for each record, which gives
  /// back an Arresto when the record cannot be placed. Returns true when the
  /// body ended (at the end of the file, or at a record past the row, whose
  /// code is recorded), so that the end steps follow; false when a record
  /// stopped the reading.
  template <typename Record>
  bool leggi_corpo(Record record) {
    while (prossimo_record()) {
      std::optional<Arresto> a = record();
      if (!a) continue;
      if (!a->solo_corpo) return ferma(std::move(a->diagnosi));
      registra(std::move(a->diagnosi));
      break;
    }
    return true;
  }

  const std::filesystem::path& percorso() const { return percorso_; }

 private:
  std::filesystem::path percorso_;
  bool consuma_;
  Diagnosi& diagnosi_;
  std::string testo_;
  std::optional<FieldReader> in_;
  std::string campo_;
  /// Line of the keyword field of the record being read; 0 before the first.
  int riga_record_ = 0;
};

}  // namespace tratta
