// The language server for the two descriptions, as pure logic: it takes
// the editor's messages (JSON values) one at a time and gives back the
// messages to send. Each description is compiled with its partner in
// memory, never writing a file; the diagnostic and the warnings go to the
// lines they name, on the right document of the two.
//
// Pairing: with the names `emit` writes, in one folder, NAME_linea.txt
// pairs with NAME_NUMBER-.txt (the first such name, in order, when there
// are several). `initializationOptions` {"line": PATH, "train": PATH}
// names a pair otherwise. A description open in the editor is compiled
// from its buffer, its partner from the buffer when open, else from disk.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/route_model.h"

namespace tratta {

struct DefinizioneRecord;

class LanguageServer {
 public:
  using Orologio = std::chrono::steady_clock;
  using Json = nlohmann::json;
  /// What the reading of a file that is not open in the editor found.
  struct FileLetto {
    /// Its bytes; nothing when it is not there or cannot be read.
    std::optional<std::string> byte;
    /// Why it cannot be read, naming it; empty when it is read or missing.
    std::string guasto;
  };
  /// Reads a file that is not open in the editor, as a description is read
  /// (`linea`: the line description, for messages).
  using LettoreFile = std::function<FileLetto(const std::filesystem::path&, bool linea)>;

  /// The reader of the disk: a description read as compile reads it,
  /// within the same bound, a FIFO or a device refused without waiting.
  static FileLetto leggi_da_disco(const std::filesystem::path& p, bool linea);

  /// `ritardo`: how long after a change the compile waits for the next one;
  /// `leggi`: the reader of the files not open (the disk's by default).
  explicit LanguageServer(std::chrono::milliseconds ritardo = std::chrono::milliseconds(25),
                          LettoreFile leggi = {});

  /// Takes one message of the editor, as its bytes; gives back what to
  /// send now (responses, notifications).
  std::vector<Json> ricevi(std::string_view messaggio, Orologio::time_point adesso = Orologio::now());
  /// When the next compile is due; nothing when none waits.
  std::optional<Orologio::time_point> scadenza() const;
  /// Compiles the pairs whose time has come; their diagnostics.
  std::vector<Json> compila_dovuti(Orologio::time_point adesso = Orologio::now());
  /// True once `exit` came; then the process ends with stato_uscita().
  bool finito() const { return finito_; }
  int stato_uscita() const { return spento_ ? 0 : 1; }
  /// How much it keeps of the pairs: compiled routes, compiles due,
  /// documents shown diagnostics. Nothing is kept of a pair none of whose
  /// descriptions is open.
  std::size_t ricordati() const {
    return compilati_.size() + in_attesa_.size() + con_diagnostica_.size();
  }

 private:
  struct Documento {
    std::string testo;  // UTF-8, as the editor holds it
  };
  struct Coppia {
    std::filesystem::path linea, treno;
    bool operator<(const Coppia& o) const {
      return std::tie(linea, treno) < std::tie(o.linea, o.treno);
    }
  };
  struct Compilato {
    RouteModel modello;
    bool valido = false;
  };

  Json gestisci(const Json& m, Orologio::time_point adesso, std::vector<Json>& uscita);
  std::optional<Coppia> coppia_di(const std::filesystem::path& p) const;
  bool e_linea(const std::filesystem::path& p) const;
  /// The text of `p` as the compile reads it: the editor's buffer in
  /// Windows-1252, or the file's bytes.
  FileLetto testo_di(const std::filesystem::path& p) const;
  /// Forgets what was compiled of the pair of `p` once neither of its
  /// descriptions is open; else has it compiled again.
  void chiusa(const std::filesystem::path& p, Orologio::time_point adesso,
              std::vector<Json>& uscita);
  std::vector<Json> compila(const Coppia& c);
  /// The lines of `p`'s text, from the buffer or the disk, in UTF-8.
  std::vector<std::string> righe_di(const std::filesystem::path& p) const;

  /// The line a request points at, in its document, with the record it
  /// holds (nullptr for none).
  struct Punto {
    std::filesystem::path percorso;
    std::string riga;
    int n;
    const DefinizioneRecord* record;
  };
  std::optional<Punto> punto(const Json& params) const;

  Json hover(const Json& params) const;
  Json completamento(const Json& params) const;
  Json firma(const Json& params) const;
  Json simboli(const Json& params) const;

  std::chrono::milliseconds ritardo_;
  LettoreFile leggi_file_;
  bool inizializzato_ = false, spento_ = false, finito_ = false;
  std::optional<Coppia> coppia_fissa_;
  std::map<std::filesystem::path, Documento> documenti_;
  std::map<Coppia, Orologio::time_point> in_attesa_;
  std::map<Coppia, Compilato> compilati_;
  /// The documents that were given diagnostics, so that a mend clears them.
  std::set<std::filesystem::path> con_diagnostica_;
};

/// A window/logMessage notification of an error, for the editor's log.
nlohmann::json messaggio_log(const std::string& testo);

/// The path of a file: URI ("file:///..."), percent escapes decoded;
/// nothing for another scheme.
std::optional<std::filesystem::path> percorso_da_uri(std::string_view uri);
/// The file: URI of an absolute path.
std::string uri_da_percorso(const std::filesystem::path& p);

}  // namespace tratta
