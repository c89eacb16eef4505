#include "authoring/commands.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string_view>

#include "authoring/aiuto.h"
#include "authoring/cartella_uscita.h"
#include "authoring/command_line.h"
#include "authoring/compile_command.h"
#include "authoring/diagnostic_messages.h"
#include "authoring/display_text.h"
#include "authoring/esito_comando.h"
#include "authoring/inspect_command.h"
#include "authoring/lsp_command.h"
#include "authoring/output_checks.h"
#include "authoring/version.h"
#include "authoring/watch_command.h"
#include "compile/file_descriptions.h"
#include "compile/memorizza_percorso.h"
#include "emitter/documents.h"
#include "model/scenario_files.h"
#include "reader/chiavi.h"
#include "model/catalogo_codici.h"
#include "platform/disk.h"
#include "platform/file_result.h"
#include "platform/platform.h"

namespace tratta {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kVersione = "tratta_valle3 " TRATTA_VERSION;

// The options of each subcommand.
constexpr std::string_view kOpzioniEmit[] = {"--force", "--no-wait", "--help"};
constexpr std::string_view kOpzioniCompile[] = {
    "--out",      "--scenario", "--train-number", "--no-plan", "--json",      "--strict",
    "--no-wait",  "--partial",  "--max-input",    "--encoding", "--help"};
constexpr std::string_view kOpzioniWatch[] = {
    "--out",     "--scenario", "--train-number", "--no-plan",  "--json",  "--strict", "--no-wait",
    "--partial", "--max-input", "--encoding",    "--serve",    "--open",  "--stop-after",
    "--help"};
constexpr std::string_view kOpzioniInspect[] = {"--scenario", "--train-number", "--json",
                                                "--points",   "--no-wait",      "--help"};
constexpr std::string_view kOpzioniView[] = {"--scenario", "--train-number", "--out",
                                             "--force",    "--no-wait",      "--help"};
constexpr std::string_view kOpzioniLsp[] = {"--stdio", "--help"};

/// The subcommands, whether compile's options are theirs, and their options.
struct Sottocomando {
  std::string_view nome;
  bool opzioni_compile;
  std::span<const std::string_view> opzioni;
};
constexpr Sottocomando kSottocomandi[] = {
    {"emit", false, kOpzioniEmit},       {"compile", true, kOpzioniCompile},
    {"watch", true, kOpzioniWatch},      {"inspect", false, kOpzioniInspect},
    {"view", false, kOpzioniView},       {"lsp", false, kOpzioniLsp},
};

/// What the unexpected failure being handled was, in words. Called inside
/// a catch block.
std::string guasto_in_corso() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "out of memory";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unexpected failure";
  }
}

int comando_emit(const std::vector<std::string>& argomenti, std::ostream& err,
                 platform::Disk& disco) {
  bool forza = false, aspetta = true;
  const std::vector<std::string> cartelle =
      leggi_argomenti(argomenti, [&](std::string_view a, const auto&) {
        if (a == "--force") {
          forza = true;
        } else if (a == "--no-wait") {
          aspetta = false;
        } else {
          return false;
        }
        return true;
      });
  if (cartelle.size() > 1) throw UsoErrato{"emit takes at most one folder"};
  const fs::path cartella = cartelle.empty() ? fs::path(".") : platform::path_from_utf8(cartelle[0]);
  controlla_cartella_uscita(cartella);
  const std::vector<fs::path> documenti = percorsi_documenti(cartella, nomi_predefiniti());
  nomi_adatti(documenti);
  if (!forza) {
    std::string presenti;
    for (const fs::path& d : documenti) {
      std::error_code ec;
      if (fs::exists(fs::symlink_status(d, ec))) presenti += (presenti.empty() ? "" : ", ") + citato(d);
    }
    if (!presenti.empty())
      throw UsoErrato{"already there, not replaced (give --force to replace them): " + presenti};
  }
  CartellaUscita uscita(cartella);
  if (platform::FileStatus s = uscita.prepara(attesa_cartella(aspetta, cartella, err)); !s.ok())
    return guasto_sistema(err, s.error());
  if (platform::FileStatus s = scrivi_documenti(uscita.blocco(), nomi_predefiniti(), disco);
      !s.ok())
    return guasto_sistema(err, s.error());
  uscita.scritta();
  return kUscitaOk;
}

}  // namespace

std::span<const std::string_view> opzioni_di(std::string_view sottocomando) {
  for (const Sottocomando& c : kSottocomandi)
    if (c.nome == sottocomando) return c.opzioni;
  return {};
}

int esegui_comando(const std::vector<std::string>& argomenti, std::ostream& out,
                   std::ostream& err, platform::Disk& disco) {
  const std::string& comando = argomenti.at(0);
  try {
    if (comando == "--help" || comando == "-h" || comando == "help") {
      out << aiuto();
      return kUscitaOk;
    }
    if (comando == "--version") {
      out << kVersione << "\n";
      return kUscitaOk;
    }
    // SUBCOMMAND --help (or -h) anywhere among its arguments.
    for (const Sottocomando& c : kSottocomandi) {
      if (comando != c.nome) continue;
      if (std::find(argomenti.begin() + 1, argomenti.end(), "--help") != argomenti.end() ||
          std::find(argomenti.begin() + 1, argomenti.end(), "-h") != argomenti.end()) {
        out << aiuto_di(c.nome, c.opzioni_compile);
        return kUscitaOk;
      }
    }
    if (comando == "emit") return comando_emit(argomenti, err, disco);
    if (comando == "compile") return comando_compile(argomenti, out, err, disco);
    if (comando == "watch") return comando_watch(argomenti, out, err, disco);
    if (comando == "inspect") return comando_inspect(argomenti, out, err);
    if (comando == "view") return comando_view(argomenti, out, err, disco);
    if (comando == "lsp") {
      if (argomenti.size() > 1 && argomenti[1] != "--stdio")
        throw UsoErrato{"lsp takes no argument but --stdio"};
      platform::binary_standard_streams();
      const std::unique_ptr<platform::ByteStream> in = platform::standard_input_stream();
      return serve_lsp(*in, out);
    }
    // A mistyped subcommand: the closest one, when it is close.
    std::string_view vicino;
    int migliore = 3;
    for (const Sottocomando& c : kSottocomandi) {
      const int d = std::max(distanza_in(c.nome, comando), distanza_in(comando, c.nome));
      if (d < migliore && d <= static_cast<int>(c.nome.size()) / 3 + 1) {
        migliore = d;
        vicino = c.nome;
      }
    }
    if (!vicino.empty())
      return uso_errato(err, "unknown command '" + comando + "' (did you mean " +
                                 std::string(vicino) + "?)");
    return uso_errato(err, "unknown command '" + comando + "'");
  } catch (const UsoErrato& e) {
    return uso_errato(err, e.messaggio, comando);
  } catch (...) {
    // The one place where an unexpected failure (no memory, above all)
    // becomes a failure of the system. The output sets it interrupted
    // have removed their temporaries and left the older files as they were.
    EsitoComando e;
    e.stato = kUscitaErroreSistema;
    e.errore = guasto_in_corso() + "; no file written";
    if (comando == "compile" || comando == "watch")
      return riporta_compile(e, chiede_json(argomenti), out, err);
    scrivi_errore(err, *e.errore);
    return kUscitaErroreSistema;
  }
}

}  // namespace tratta
