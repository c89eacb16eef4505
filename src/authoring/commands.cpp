#include "authoring/commands.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string_view>

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

// The help, in pieces: the whole of it for --help, a subcommand's own for
// `SUBCOMMAND --help`.
constexpr std::string_view kUsoUnaVolta =
    "  tratta_valle3                 build the built-in scenario beside the program\n";

constexpr std::string_view kUsoEmit =
    "  tratta_valle3 emit [DIR] [--force] [--no-wait]\n"
    "                                write the five built-in documents into DIR\n"
    "                                (default: the current directory; made when\n"
    "                                missing); files already there are replaced\n"
    "                                only with --force\n";

constexpr std::string_view kUsoCompile =
    "  tratta_valle3 compile LINE TRAIN [options]\n"
    "                                compile a line description and a train description\n"
    "                                into the line, train and route files; the two\n"
    "                                descriptions are only read, each once from its\n"
    "                                start to its end: a file, a pipe, a FIFO, or -\n"
    "                                for the standard input (one of the two at most)\n";

constexpr std::string_view kUsoWatch =
    "  tratta_valle3 watch LINE TRAIN [options]\n"
    "                                compile as compile does, then again each time either\n"
    "                                description is saved, one line for each outcome\n"
    "                                with the time (--json: compile's object with a\n"
    "                                \"time\" key); Ctrl-C ends it with status 0\n";

constexpr std::string_view kUsoInspect =
    "  tratta_valle3 inspect DIR [--scenario NAME] [--train-number N] [--json [--points]]\n"
    "                        [--no-wait]\n"
    "                                print what the scenario files in DIR hold: events and\n"
    "                                stretches along the route, stations, general values;\n"
    "                                --json: every field of every record as one JSON\n"
    "                                object, --points: with the plan's points\n";

constexpr std::string_view kUsoView =
    "  tratta_valle3 view DIR [--scenario NAME] [--train-number N] [--out FILE] [--force]\n"
    "                        [--no-wait]\n"
    "                                draw the route in a self-contained web page (default\n"
    "                                DIR/<scenario>_<train>.html): the plan, the profile,\n"
    "                                signals, stations, signs, slowdowns; a file there\n"
    "                                that is not a page of view is replaced only with\n"
    "                                --force\n";

constexpr std::string_view kUsoLsp =
    "  tratta_valle3 lsp [--stdio]    the language server for editors, on standard input\n"
    "                                and output: diagnostics as you type, hover,\n"
    "                                completion, outline\n";

constexpr std::string_view kUsoAiuto =
    "  tratta_valle3 --help, --version\n";

constexpr std::string_view kOpzioniCompile =
    "compile options:\n"
    "  --out DIR             where the scenario files go (default: the current directory;\n"
    "                        made when missing)\n"
    "  --scenario NAME       scenario name: names the files, feeds the route codes\n"
    "                        (default: Tratta_Valle3)\n"
    "  --train-number N      train number (default: 30)\n"
    "  --no-plan             build no ground plan and write no line file (one already\n"
    "                        there stays, and the report names it as kept)\n"
    "  --json                report the outcome as one JSON object on stdout\n"
    "  --strict              warnings fail the compile with exit status 5 (the files\n"
    "                        are written as usual)\n"
    "  --no-wait             fail at once (status 4) when another run is at work in\n"
    "                        the folder, instead of waiting for it (emit, inspect,\n"
    "                        view take it too)\n"
    "  --max-input SIZE      the bound on each description's size: bytes, or KiB,\n"
    "                        MiB, GiB with K, M or G after the number (default:\n"
    "                        64M); a larger description is refused with status 6\n"
    "  --encoding NAME       the descriptions' text: windows-1252 (the default, what\n"
    "                        the simulator's files hold) or utf-8, converted as read;\n"
    "                        a character that Windows-1252 lacks is a diagnostic\n";

constexpr std::string_view kRimpiazzo =
    "The files of a run are replaced together: all of them, or on a failure none\n"
    "(the older ones stay as they were). One run at a time writes in a folder,\n"
    "and inspect and view read it while none does. A run killed outright (SIGKILL)\n"
    "while renaming its files (a window of tens of microseconds) leaves a new file\n"
    "beside older ones; the next run in the folder finishes that set first.\n";

constexpr std::string_view kStati =
    "exit status:\n"
    "  0  done\n"
    "  1  a stamp field was already taken (\" Errore n. 1250\" or 1251); no file written\n"
    "  2  bad use: wrong arguments, a description that is missing or is one of the\n"
    "     files the run writes, names too long, files in the way of emit; nothing\n"
    "     written\n"
    "  3  compile: the descriptions have a problem: files written as far as they\n"
    "     were read, the problem reported on stderr; inspect, view: a scenario\n"
    "     file is damaged or foreign\n"
    "  4  a failure of the system: a file that cannot be read or written, a full\n"
    "     disk, no memory, another run in the folder under --no-wait; no file\n"
    "     written\n"
    "  5  compile --strict: the descriptions drew warnings (on stderr) and nothing\n"
    "     worse; files written\n"
    "  6  compile: a description is larger than the bound on its size (--max-input);\n"
    "     no file written\n";

constexpr std::string_view kNoteCompile =
    "compile reports what the reader passes over, or reads otherwise than likely\n"
    "meant, as warnings on stderr (PATH:LINE: warning: ...); they change no file\n"
    "and, without --strict, not the exit status.\n"
    "With --json, compile prints one JSON object on stdout whatever the outcome.\n";

/// The whole help.
std::string aiuto() {
  return std::string("usage:\n") + std::string(kUsoUnaVolta) + std::string(kUsoEmit) +
         std::string(kUsoCompile) + std::string(kUsoWatch) + std::string(kUsoInspect) +
         std::string(kUsoView) +
         std::string(kUsoLsp) + std::string(kUsoAiuto) + "\n" + std::string(kOpzioniCompile) +
         "\n" + std::string(kRimpiazzo) + "\n" + std::string(kStati) + "\n" +
         std::string(kNoteCompile);
}

/// The subcommands, each with its help.
struct Sottocomando {
  std::string_view nome;
  std::string_view uso;
  bool opzioni_compile;
};
constexpr Sottocomando kSottocomandi[] = {
    {"emit", kUsoEmit, false},   {"compile", kUsoCompile, true}, {"watch", kUsoWatch, true},
    {"inspect", kUsoInspect, false}, {"view", kUsoView, false},  {"lsp", kUsoLsp, false},
};

/// The help of one subcommand: its usage, its options, the exit statuses.
std::string aiuto_di(const Sottocomando& c) {
  std::string out = "usage:\n" + std::string(c.uso);
  if (c.opzioni_compile) out += "\n" + std::string(kOpzioniCompile) + "\n" + std::string(kRimpiazzo);
  return out + "\n" + std::string(kStati);
}

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
        out << aiuto_di(c);
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
      return serve_lsp(std::cin, out);
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
    return uso_errato(err, e.messaggio);
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
