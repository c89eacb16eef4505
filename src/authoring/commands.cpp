#include "authoring/commands.h"

#include <filesystem>
#include <optional>
#include <string_view>

#include "authoring/diagnostic_messages.h"
#include "authoring/display_text.h"
#include "authoring/inspect_command.h"
#include "emitter/documents.h"
#include "platform/platform.h"
#include "run/memorizza_percorso.h"
#include "run/version.h"

namespace tratta {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kVersione = "tratta_valle3 " TRATTA_VERSION;

constexpr std::string_view kAiuto =
    "usage:\n"
    "  tratta_valle3                 build the built-in scenario beside the program\n"
    "  tratta_valle3 emit [DIR]      write the five built-in documents into DIR\n"
    "                                (default: the current directory)\n"
    "  tratta_valle3 compile LINE TRAIN [options]\n"
    "                                compile a line description and a train description\n"
    "                                into the line, train and route files; the two\n"
    "                                descriptions are only read\n"
    "  tratta_valle3 inspect DIR [--scenario NAME] [--train-number N] [--json [--points]]\n"
    "                                print what the scenario files in DIR hold: events and\n"
    "                                stretches along the route, stations, general values;\n"
    "                                --json: every field of every record as one JSON\n"
    "                                object, --points: with the plan's points\n"
    "  tratta_valle3 view DIR [--scenario NAME] [--train-number N] [--out FILE]\n"
    "                                draw the route in a self-contained web page (default\n"
    "                                DIR/<scenario>_<train>.html): the plan, the profile,\n"
    "                                signals, stations, signs, slowdowns\n"
    "\n"
    "compile options:\n"
    "  --out DIR             where the scenario files go (default: the current directory)\n"
    "  --scenario NAME       scenario name: names the files, feeds the route codes\n"
    "                        (default: Tratta_Valle3)\n"
    "  --train-number N      train number (default: 30)\n"
    "  --no-plan             build no ground plan and write no line file\n"
    "  --json                report the outcome as one JSON object on stdout\n"
    "\n"
    "exit status: 0 done, 1 a stamp field was already taken (no file written),\n"
    "2 bad use (no file written), 3 the descriptions have a problem (files written\n"
    "as far as they were read; the problem is reported on stderr) or, for inspect\n"
    "and view, a scenario file is damaged or foreign, 4 a file cannot be read or\n"
    "written\n"
    "  --help, --version\n";

/// Why `nome` cannot name the scenario's files, or nothing when it can.
std::optional<std::string> nome_non_valido(std::string_view nome) {
  if (nome.empty()) return "is empty";
  if (nome.find("..") != std::string_view::npos) return "holds \"..\"";
  for (char ch : nome) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return "holds a control character";
    if (c >= 0x80) return "holds a character outside ASCII (the train file stores 8-bit text)";
    if (std::string_view("<>:\"/\\|?*").find(ch) != std::string_view::npos)
      return std::string("holds '") + ch + "', which file names cannot hold";
  }
  if (nome.back() == '.' || nome.back() == ' ') return "ends with a dot or a blank";
  return std::nullopt;
}

/// Bad use of a subcommand: reported with exit status 2 before any file is
/// written.
struct UsoErrato {
  std::string messaggio;
};

int uso_errato(std::ostream& err, const std::string& messaggio) {
  err << "tratta_valle3: " << messaggio << "\n(see tratta_valle3 --help)\n";
  return kUscitaUsoErrato;
}

void cartella_scrivibile(const fs::path& cartella) {
  if (!platform::directory_writable(cartella))
    throw UsoErrato{"cannot write into the folder '" + visibile(platform::path_to_utf8(cartella)) + "'"};
}

int comando_emit(const std::vector<std::string>& argomenti) {
  if (argomenti.size() > 2) throw UsoErrato{"emit takes at most one folder"};
  if (argomenti.size() == 2 && argomenti[1].starts_with("-"))
    throw UsoErrato{"unknown option '" + visibile(argomenti[1]) + "'"};
  const fs::path cartella = argomenti.size() == 2 ? platform::path_from_utf8(argomenti[1]) : fs::path(".");
  cartella_scrivibile(cartella);
  scrivi_documenti(cartella, nomi_predefiniti());
  return kUscitaOk;
}

struct OpzioniCompile {
  fs::path linea, treno;
  fs::path uscita = ".";
  NomiScenario nomi = nomi_predefiniti();
  bool piano = true;
  bool json = false;
};

OpzioniCompile leggi_opzioni(const std::vector<std::string>& argomenti) {
  OpzioniCompile o;
  std::vector<std::string> posizionali;
  for (size_t i = 1; i < argomenti.size(); ++i) {
    const std::string& a = argomenti[i];
    auto valore = [&]() -> const std::string& {
      if (i + 1 >= argomenti.size()) throw UsoErrato{a + " needs a value"};
      return argomenti[++i];
    };
    if (a == "--out") {
      o.uscita = platform::path_from_utf8(valore());
    } else if (a == "--scenario") {
      o.nomi.nome_scenario = valore();
    } else if (a == "--train-number") {
      o.nomi.numero_treno = valore();
    } else if (a == "--no-plan") {
      o.piano = false;
    } else if (a == "--json") {
      o.json = true;
    } else if (a.starts_with("-") && a != "-") {
      throw UsoErrato{"unknown option '" + visibile(a) + "'"};
    } else {
      posizionali.push_back(a);
    }
  }
  if (posizionali.size() != 2)
    throw UsoErrato{"compile needs a line description and a train description"};
  o.linea = platform::path_from_utf8(posizionali[0]);
  o.treno = platform::path_from_utf8(posizionali[1]);
  if (auto perche = nome_non_valido(o.nomi.nome_scenario))
    throw UsoErrato{"the scenario name '" + visibile(o.nomi.nome_scenario) + "' " + *perche};
  if (auto perche = nome_non_valido(o.nomi.numero_treno))
    throw UsoErrato{"the train number '" + visibile(o.nomi.numero_treno) + "' " + *perche};
  for (const fs::path& p : {o.linea, o.treno}) {
    std::string ignorato;
    bool esiste = false;
    try {
      esiste = fs::is_regular_file(p) && platform::read_file(p, ignorato);
    } catch (const platform::FileError& e) {
      throw UsoErrato{e.what()};
    }
    if (!esiste) throw UsoErrato{"cannot read the description '" + visibile(platform::path_to_utf8(p)) + "'"};
  }
  cartella_scrivibile(o.uscita);
  return o;
}

int comando_compile(const std::vector<std::string>& argomenti, std::ostream& out,
                    std::ostream& err) {
  const OpzioniCompile o = leggi_opzioni(argomenti);
  RouteModel modello;
  modello.nomi = o.nomi;
  const EsitoCompilazione esito =
      memorizza_percorso(modello, o.piano ? 1 : 0, {o.linea, o.treno, false}, o.uscita);

  const Diagnosi& diagnosi = esito.diagnosi;
  const int codice = diagnosi.codice_errore;
  const int32_t posizione = diagnosi.posizione_errore.value_or(0);
  // The finishing pass's codes name a position and no description.
  const bool con_luogo = codice != 0 && !diagnosi.file.empty();
  std::string messaggio = messaggio_codice(codice);
  if (codice == 25 && !diagnosi.dettaglio.empty())
    messaggio += ": " + visibile(diagnosi.dettaglio);
  if (esito.senza_segmenti) messaggio += "; the route has no segment to stamp, no file written";

  if (o.json) {
    out << "{\"codice_errore\": " << codice << ", \"posizione_errore\": "
        << posizione << ", \"file\": "
        << (con_luogo ? json_stringa(platform::path_to_utf8(diagnosi.file)) : "null") << ", \"line\": "
        << (con_luogo && diagnosi.riga > 0 ? std::to_string(diagnosi.riga) : "null")
        << ", \"message\": " << json_stringa(messaggio) << ", \"fatal\": "
        << (esito.errore_fatale ? std::to_string(esito.errore_fatale) : "null")
        << ", \"files\": [";
    for (size_t i = 0; i < esito.file_scritti.size(); ++i)
      out << (i ? ", " : "") << json_stringa(esito.file_scritti[i]);
    out << "]}\n";
  }
  if (esito.errore_fatale != 0) {
    err << " Errore n. " << esito.errore_fatale << "\n";
    return kUscitaErroreFatale;
  }
  if (codice == 0 && !esito.senza_segmenti) return kUscitaOk;

  std::string riga;
  if (con_luogo) {
    riga = visibile(platform::path_to_utf8(diagnosi.file));
    if (diagnosi.riga > 0) riga += ":" + std::to_string(diagnosi.riga);
    riga += ": ";
  }
  if (codice != 0) riga += "code " + std::to_string(codice) + ": ";
  riga += messaggio;
  if (codice_con_posizione(codice)) riga += " (at " + std::to_string(posizione) + " m)";
  err << riga << "\n";
  return kUscitaDiagnosi;
}

}  // namespace

int esegui_comando(const std::vector<std::string>& argomenti, std::ostream& out,
                   std::ostream& err) {
  const std::string& comando = argomenti.at(0);
  try {
    if (comando == "--help" || comando == "-h" || comando == "help") {
      out << kAiuto;
      return kUscitaOk;
    }
    if (comando == "--version") {
      out << kVersione << "\n";
      return kUscitaOk;
    }
    if (comando == "emit") return comando_emit(argomenti);
    if (comando == "compile") return comando_compile(argomenti, out, err);
    if (comando == "inspect") return comando_inspect(argomenti, out, err);
    if (comando == "view") return comando_view(argomenti, out, err);
    return uso_errato(err, "unknown command '" + visibile(comando) + "'");
  } catch (const UsoErrato& e) {
    return uso_errato(err, e.messaggio);
  } catch (const platform::FileError& e) {
    err << "tratta_valle3: " << e.what() << "\n";
    return kUscitaErroreFatale;
  }
}

}  // namespace tratta
