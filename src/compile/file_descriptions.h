// The descriptions of a scenario as files: each read whole, once, when the
// reader asks for it (or before, all at once), with a bound on its size,
// and, for the one-shot run, deleted once the reader is done with it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "reader/description_source.h"

namespace tratta {

/// The bound on a description's size, unless the author gives another.
inline constexpr std::uint64_t kLimiteDescrizione = std::uint64_t{64} << 20;

/// Where a description is read from: the file at a path (a regular file,
/// a pipe, a FIFO), or the standard input.
struct OrigineDescrizione {
  OrigineDescrizione() = default;
  OrigineDescrizione(std::filesystem::path file)  // NOLINT(google-explicit-constructor)
      : percorso(std::move(file)) {}
  /// The standard input, named "<stdin>" in messages.
  static OrigineDescrizione standard_input();

  /// The file, or for the standard input its name in messages.
  std::filesystem::path percorso;
  bool da_standard_input = false;
};

/// Why the descriptions could not be read whole.
struct GuastoDescrizioni {
  /// Names the description and what went wrong.
  std::string testo;
  /// The description is larger than the bound; otherwise the system's
  /// reason.
  bool troppo_grande = false;
  /// Not a regular file, where only one is taken; otherwise the system's
  /// reason.
  bool non_file = false;
};

/// What the reading of one description found.
struct LetturaDescrizione {
  /// False when there is no such file.
  bool presente = true;
  /// Names the description and what went wrong; empty when it was read.
  std::string guasto;
  bool troppo_grande = false;
  bool non_file = false;
};

/// Reads description `d` from `origine` whole into `byte`, within `limite`
/// bytes, as every part of the program reads a description: one larger is
/// not read past the bound, and with ReadKinds::kRegularOnly (a
/// description read again at each change) anything but a regular file is
/// refused without waiting for it. The messages name the description.
LetturaDescrizione leggi_descrizione(const OrigineDescrizione& origine, Descrizione d,
                                     std::uint64_t limite, platform::ReadKinds tipi,
                                     std::string& byte);

class FileDescriptions final : public DescriptionSource {
 public:
  /// The line description from `linea`, the train description from
  /// `treno`, each refused when larger than `limite` bytes; each deleted
  /// once read when `consuma` is set (never the standard input).
  FileDescriptions(OrigineDescrizione linea, OrigineDescrizione treno, bool consuma,
                   std::uint64_t limite = kLimiteDescrizione);

  /// The descriptions are UTF-8 text, converted to Windows-1252 as read; a
  /// character that has no Windows-1252 form, or a byte that is no UTF-8,
  /// fails the reading (code 25) at its line.
  void da_utf8() { da_utf8_ = true; }
  /// Only regular files are read: a description read again at each change
  /// is never waited for (a FIFO) nor read for ever (a device).
  void solo_file_regolari() { tipi_ = platform::ReadKinds::kRegularOnly; }

  /// Reads both now, so that the reader finds them in memory: what went
  /// wrong when one cannot be read whole (a missing file is read as
  /// missing). Nothing when both are in memory.
  std::optional<GuastoDescrizioni> leggi_entrambe();

  const std::filesystem::path& nome(Descrizione d) const override {
    return file(d).origine.percorso;
  }
  TestoDescrizione apri(Descrizione d) override;
  std::string letta(Descrizione d) override;

 private:
  struct File {
    OrigineDescrizione origine;
    std::optional<TestoDescrizione> letto;
    bool troppo_grande = false;
    bool non_file = false;
    bool non_convertibile = false;
    std::string byte;
  };
  /// The UTF-8 bytes of `f` in Windows-1252; a character that has none
  /// leaves them as they are and fails the reading, naming its line.
  static void converti(File& f, TestoDescrizione& t);
  File& file(Descrizione d) { return d == Descrizione::kLinea ? linea_ : treno_; }
  const File& file(Descrizione d) const { return d == Descrizione::kLinea ? linea_ : treno_; }

  File linea_, treno_;
  bool consuma_;
  std::uint64_t limite_;
  bool da_utf8_ = false;
  platform::ReadKinds tipi_ = platform::ReadKinds::kAny;
};

}  // namespace tratta
