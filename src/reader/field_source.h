// A description being read, the one source of fields that the reader's two
// halves share: its name, its text with the field reader over it, the field
// that the keyword tests look at and the line of its record. It tells the
// description's source when the reading is done with it, and knows how a
// record of its description ends the reading, so that every half stops the
// same way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/diagnosi.h"
#include "model/route_model.h"
#include "reader/avvertenza.h"
#include "reader/description_source.h"
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

struct DefinizioneRecord;

class FieldSource {
 public:
  /// The description `quale` of `sorgente`. Its diagnostics go into
  /// `diagnosi`, the reading's diagnostic, its warnings into `avvertenze`
  /// when it is given.
  FieldSource(DescriptionSource& sorgente, Descrizione quale, Diagnosi& diagnosi,
              std::vector<Avvertenza>* avvertenze = nullptr)
      : sorgente_(sorgente),
        quale_(quale),
        percorso_(sorgente.nome(quale)),
        diagnosi_(diagnosi),
        avvertenze_(avvertenze) {}

  /// Takes the description's bytes from its source. False when there is no
  /// such description; throws ErroreLettura when it cannot be read.
  bool apri();

  /// Reads the next field into campo(); false when that read reached the end
  /// of the file (the field is then left uninterpreted).
  bool leggi_campo();
  /// The preamble: fields up to the first that contains "[generale]" (any
  /// case). True when that field was read and the end not reached.
  bool leggi_preambolo();
  /// The body's read: a field, skipping up to two comment fields ("-").
  bool prossimo_record();
  /// The field most recently read by leggi_campo(), which the keyword tests
  /// look at.
  const std::string& campo() const { return campo_; }
  /// True once every byte has been read.
  bool fine() const { return in_->fine(); }

  /// The record's fields after its keyword.
  int32_t numero() {
    ++campi_record_;
    const int32_t v = in_->leggi_numero();
    if (record_) valori_.push_back(v);
    return v;
  }
  std::string testo();

  /// The record `r`, which the field just read names, begins. When the
  /// reading collects warnings, its values are kept as read, for the check
  /// of their ranges, and a keyword that its numbers follow without a comma
  /// draws a warning, and names the cause of a diagnostic at the record.
  void inizia_record(const DefinizioneRecord& r);
  /// The record was read and placed: a warning for each of its values that
  /// lies outside its field's range.
  void fine_record();

  /// Closes the description and tells its source that the reading is done
  /// with it (ErroreLettura when the source fails then); the warnings
  /// about the description as a whole are given first.
  void chiudi();

  /// True when the reading collects warnings: what builds a warning's text
  /// runs only then.
  bool avverte() const { return avvertenze_ != nullptr; }
  /// A warning at `riga` (the record being read when 0).
  void avverti(std::string messaggio, int riga = 0);
  /// The fields read by records so far: a keyword field after which this
  /// has not grown was no record, and none at the end means no record.
  uint64_t campi_record() const { return campi_record_; }
  /// A record that reads no field of its own (a curve without the plan).
  void record_senza_campi() { ++campi_record_; }
  /// After the keyword tests on the field just read: when they read no
  /// field, the field was skipped; a skipped line that is no comment,
  /// section or blank is worth a warning, which names the closest keyword
  /// of `proprie`, or says that it is a record of `altra` (the other
  /// description, with the keywords `altre`).
  void dopo_record(uint64_t campi_prima, std::span<const DefinizioneRecord> proprie,
                   std::span<const DefinizioneRecord> altre, std::string_view altra);
  /// The warnings about the description as a whole: a quote never closed,
  /// no record read. Given once, by chiudi() or by the run-time failure
  /// trap.
  void concludi();
  /// A warning when a point event's position `p` is not a multiple of 50:
  /// where the reader places it, on segment round(p / 50 + 1).
  void avverti_posizione(std::string_view cosa, int64_t p);
  /// The line of the "[generale]" heading; 0 when it was not read.
  int riga_generale() const { return riga_generale_; }
  /// A preamble field that is close to "[generale]" and its line (0: none).
  int riga_generale_vicina() const { return riga_generale_vicina_; }
  const std::string& generale_vicina() const { return generale_vicina_; }

  /// The detail of a run-time failure, `dettaglio`, that stopped the
  /// reading of this description, said in the words of what the
  /// description holds when that explains it: nothing at all, or bytes
  /// that are not text (a NUL on the line where the reading stopped, or
  /// before it). A description of blanks and line ends alone never gets
  /// here: its reading ends without "[generale]".
  std::string dettaglio_fallimento(std::string_view dettaglio) const;

  /// Records `d` in the reading's diagnostic, at the record being read
  /// (only the last diagnostic survives).
  void registra(Diagnosi d);

  /// The one way a record stops the reading: the description is closed
  /// and `d` recorded at the record being read.
  /// Returns false, the reading's "stopped".
  bool ferma(Diagnosi d);

  /// The body of the description: `record()` for each record, which gives
  /// back an Arresto when the record cannot be placed. Returns true when the
  /// body ended (at the end of the file, or at a record past the row, whose
  /// code is recorded), so that the end steps follow; false when a record
  /// stopped the reading.
  template <typename Record>
  bool leggi_corpo(Record record, std::span<const DefinizioneRecord> proprie,
                   std::span<const DefinizioneRecord> altre, std::string_view altra) {
    while (prossimo_record()) {
      const uint64_t prima = campi_record_;
      std::optional<Arresto> a = record();
      dopo_record(prima, proprie, altre, altra);
      if (!a) continue;
      if (!a->solo_corpo) return ferma(std::move(a->diagnosi));
      registra(std::move(a->diagnosi));
      if (avverte()) avverti_resto_ignorato();
      break;
    }
    return true;
  }

  const std::filesystem::path& percorso() const { return percorso_; }

  /// The record being read as the origin of an event at `posizione`.
  OrigineEvento origine(int32_t posizione) const {
    return {.nel_treno = quale_ == Descrizione::kTreno, .riga = riga_record_, .posizione = posizione};
  }

 private:
  DescriptionSource& sorgente_;
  Descrizione quale_;
  std::filesystem::path percorso_;
  Diagnosi& diagnosi_;
  std::optional<FieldReader> in_;
  /// After a record past the row ended the body: the lines after it that
  /// hold records are not read.
  void avverti_resto_ignorato();
  /// A warning when the description is UTF-8 text beyond ASCII.
  void avverti_utf8(std::string_view testo);

  /// The keyword of the record being read, when numbers follow it in its
  /// own field: what happened, in words; empty otherwise.
  std::string senza_virgola(const DefinizioneRecord& r) const;

  std::vector<Avvertenza>* avvertenze_;
  std::string campo_;
  /// The record being read, while warnings are collected, its values as
  /// read (a text as 0), and why a diagnostic at it came, when known.
  const DefinizioneRecord* record_ = nullptr;
  std::vector<int32_t> valori_;
  std::string causa_record_;
  /// Line of the keyword field of the record being read; 0 before the first.
  int riga_record_ = 0;

  uint64_t campi_record_ = 0;
  bool concluso_ = false;
  int riga_generale_ = 0;
  int riga_generale_vicina_ = 0;
  /// Preamble fields read so far: only the first hundred are compared with
  /// "[generale]".
  int campi_preambolo_ = 0;
  std::string generale_vicina_;
  /// The first skipped line that holds a record of the other description.
  int riga_altra_ = 0;
  std::string chiave_altra_, altra_;
  int date_ = 0, soppresse_ = 0;
  /// Where this description's warnings begin in the list.
  size_t primo_indice_ = 0;
};

}  // namespace tratta
