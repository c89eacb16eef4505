// Where the reader gets the two descriptions of a scenario: bytes in
// memory with a name for messages. The source decides where the bytes come
// from (the one-shot run's files, consumed once read; an author's files; an
// editor's buffers) and what happens once the reader is done with them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace tratta {

/// The two descriptions of a scenario.
enum class Descrizione { kLinea, kTreno };

/// A description as the source gives it to the reader.
struct TestoDescrizione {
  /// False when there is no such description.
  bool presente = true;
  /// The system's reason when the description is there but cannot be read;
  /// empty otherwise.
  std::string guasto;
  /// The line that `guasto` is about, when it is about one; 0 otherwise.
  int riga_guasto = 0;
  /// Its bytes, valid while the source lives.
  std::string_view testo;
};

class DescriptionSource {
 public:
  virtual ~DescriptionSource() = default;

  /// The name that diagnostics and warnings give the description.
  virtual const std::filesystem::path& nome(Descrizione d) const = 0;

  /// The description's bytes. The reader asks for each description once,
  /// the line description first, and asks for the train description only
  /// when the line description was read to its end.
  virtual TestoDescrizione apri(Descrizione d) = 0;

  /// The reader is done with the description: read to its end, stopped
  /// by a record, or given up after a run-time failure (then for both).
  /// Returns the system's reason when what the source does then fails;
  /// empty when all went well.
  virtual std::string letta(Descrizione) { return {}; }
};

/// Two descriptions held in memory, never changed.
class MemoryDescriptions final : public DescriptionSource {
 public:
  MemoryDescriptions(std::filesystem::path nome_linea, std::string linea,
                     std::filesystem::path nome_treno, std::string treno)
      : nome_linea_(std::move(nome_linea)),
        nome_treno_(std::move(nome_treno)),
        linea_(std::move(linea)),
        treno_(std::move(treno)) {}

  const std::filesystem::path& nome(Descrizione d) const override {
    return d == Descrizione::kLinea ? nome_linea_ : nome_treno_;
  }
  TestoDescrizione apri(Descrizione d) override {
    TestoDescrizione t;
    t.testo = d == Descrizione::kLinea ? linea_ : treno_;
    return t;
  }

 private:
  std::filesystem::path nome_linea_, nome_treno_;
  std::string linea_, treno_;
};

}  // namespace tratta
