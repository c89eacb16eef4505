// The descriptions of a scenario as files: each read whole when the reader
// asks for it, and, for the one-shot run, deleted once the reader is done
// with it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "reader/description_source.h"

namespace tratta {

class FileDescriptions final : public DescriptionSource {
 public:
  /// The line description at `linea`, the train description at `treno`;
  /// each deleted once read when `consuma` is set.
  FileDescriptions(std::filesystem::path linea, std::filesystem::path treno, bool consuma);

  /// Reads both files now, so that the reader finds them in memory: the
  /// system's reason when one cannot be read (a missing file is read as
  /// missing). Empty when both are in memory.
  std::string leggi_entrambe();

  const std::filesystem::path& nome(Descrizione d) const override { return file(d).percorso; }
  TestoDescrizione apri(Descrizione d) override;
  std::string letta(Descrizione d) override;

 private:
  struct File {
    std::filesystem::path percorso;
    std::optional<TestoDescrizione> letto;
    std::string byte;
  };
  File& file(Descrizione d) { return d == Descrizione::kLinea ? linea_ : treno_; }
  const File& file(Descrizione d) const { return d == Descrizione::kLinea ? linea_ : treno_; }

  File linea_, treno_;
  bool consuma_;
};

}  // namespace tratta
