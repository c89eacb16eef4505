#include "authoring/compile_command.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <utility>

#include "authoring/cartella_uscita.h"
#include "authoring/commands.h"
#include "authoring/diagnostic_messages.h"
#include "authoring/display_text.h"
#include "authoring/output_checks.h"
#include "compile/memorizza_percorso.h"
#include "model/catalogo_codici.h"
#include "model/scenario_files.h"
#include "platform/file_result.h"
#include "platform/platform.h"

namespace tratta {

namespace fs = std::filesystem;

namespace {

/// A description as the command line names it: a path, or "-" for the
/// standard input.
OrigineDescrizione origine(const std::string& argomento) {
  if (argomento == "-") return OrigineDescrizione::standard_input();
  return OrigineDescrizione(platform::path_from_utf8(argomento));
}

/// The files a compile with `o` writes, in order.
std::vector<fs::path> uscite_compile(const OpzioniCompile& o) {
  std::vector<fs::path> uscite;
  for (const std::string& nome : nomi_file_scenario(o.nomi, o.piano))
    uscite.push_back(o.uscita / nome);
  return uscite;
}

/// The outcome of a failure of the system: no file written. The message
/// says so too, whatever the reading found.
void fallita(EsitoComando& e, const platform::FileError& guasto) {
  e.stato = kUscitaErroreSistema;
  e.file_scritti.clear();
  e.errore = guasto.text + "; no file written";
  e.messaggio = e.errore;
  e.causa.reset();
}

/// The files of the set that stand in the folder of `o` from before.
std::vector<std::string> presenti(const OpzioniCompile& o) {
  std::vector<std::string> out;
  for (const std::string& nome : nomi_file_scenario(o.nomi, true)) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(o.uscita / platform::path_from_utf8(nome), ec)))
      out.push_back(nome);
  }
  return out;
}

/// Writes the scenario files of `modello` into the folder of `o`, made
/// when missing and locked meanwhile; the outcome goes into `esito`, or the
/// failure into `e`. True when the files were written.
bool scrivi_scenario(const OpzioniCompile& o, const RouteModel& modello, EsitoCompilazione& esito,
                     EsitoComando& e, std::ostream& err, platform::Disk& disco) {
  CartellaUscita uscita(o.uscita);
  if (platform::FileStatus s = uscita.prepara(attesa_cartella(o.aspetta, o.uscita, err)); !s.ok()) {
    fallita(e, s.error());
    return false;
  }
  auto scritti = scrivi_file_scenario(modello, o.piano ? 1 : 0, uscita.blocco(), disco);
  if (!scritti.ok()) {
    fallita(e, scritti.error());
    return false;
  }
  uscita.scritta();
  esito.file_scritti = std::move(scritti.value());
  // Without a plan no line file is written: one from before stays, and
  // the report names it, since it may belong to another route.
  if (!o.piano) {
    const std::string linea = nome_file_linea(o.nomi);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(o.uscita / platform::path_from_utf8(linea), ec))) {
      e.file_tenuti.push_back(linea);
      e.perche_tenuti = "without a plan no line file is written";
    }
  }
  return true;
}

}  // namespace

OpzioniCompile leggi_opzioni(const std::vector<std::string>& argomenti,
                             const LettoreOpzione& altre) {
  OpzioniCompile o;
  const std::vector<std::string> posizionali =
      leggi_argomenti(argomenti, [&](std::string_view a, const auto& valore) {
        if (a == "--out") {
          o.uscita = platform::path_from_utf8(valore());
          if (o.uscita.empty()) throw UsoErrato{"the output folder is an empty name"};
        } else if (a == "--scenario") {
          o.nomi.nome_scenario = valore();
        } else if (a == "--train-number") {
          o.nomi.numero_treno = valore();
        } else if (a == "--no-plan") {
          o.piano = false;
        } else if (a == "--json") {
          o.json = true;
        } else if (a == "--strict") {
          o.rigoroso = true;
        } else if (a == "--no-wait") {
          o.aspetta = false;
        } else if (a == "--partial") {
          o.parziale = true;
        } else if (a == "--max-input") {
          const std::string& misura = valore();
          const std::optional<std::uint64_t> limite = leggi_misura(misura);
          if (!limite)
            throw UsoErrato{"--max-input takes a size of one byte or more: a whole number of "
                            "bytes, or of KiB, MiB or GiB with K, M or G after it, not '" +
                            misura + "'"};
          o.limite = *limite;
        } else if (a == "--encoding") {
          const std::string dato = valore();
          std::string nome = dato;
          std::transform(nome.begin(), nome.end(), nome.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
          if (nome == "utf-8" || nome == "utf8") {
            o.da_utf8 = true;
          } else if (nome == "windows-1252" || nome == "cp1252") {
            o.da_utf8 = false;
          } else {
            throw UsoErrato{"--encoding takes utf-8 or windows-1252, not '" + dato + "'"};
          }
        } else {
          return altre && altre(a, valore);
        }
        return true;
      });
  if (posizionali.size() != 2)
    throw UsoErrato{argomenti.at(0) + " needs a line description and a train description"};
  o.linea = origine(posizionali[0]);
  o.treno = origine(posizionali[1]);
  if (o.linea.da_standard_input && o.treno.da_standard_input)
    throw UsoErrato{"only one description can come from the standard input ('-')"};
  controlla_nomi(o.nomi);
  for (const OrigineDescrizione& d : {o.linea, o.treno}) {
    if (d.da_standard_input) continue;
    // Only looked at, never opened: a FIFO is read once, by the reading.
    const fs::path& p = d.percorso;
    std::error_code ec;
    const fs::file_status stato = fs::status(p, ec);
    // A loop of links, a folder that may not be looked into: said as found.
    if (ec && stato.type() != fs::file_type::not_found)
      throw UsoErrato{"cannot read the description " + citato(p) + ": " + ec.message()};
    if (!fs::exists(stato))
      throw UsoErrato{"cannot read the description " + citato(p) + ": there is no such file"};
    if (fs::is_directory(stato))
      throw UsoErrato{"cannot read the description " + citato(p) + ": it is a folder"};
  }
  controlla_cartella_uscita(o.uscita);
  return o;
}

void compila(const OpzioniCompile& o, EsitoComando& e, std::ostream& err, platform::Disk& disco) {
  const std::vector<fs::path> uscite = uscite_compile(o);
  nomi_adatti(uscite);
  if (auto perche = ingresso_tra_le_uscite(
          {{"the line description", o.linea.percorso, o.linea.da_standard_input},
           {"the train description", o.treno.percorso, o.treno.da_standard_input}},
          uscite))
    throw UsoErrato{*perche};
  // Both read before anything else, so that an unreadable description is a
  // failure of the system with the system's reason, not a reading
  // diagnostic; the reader then takes them from memory.
  FileDescriptions descrizioni(o.linea, o.treno, false, o.limite);
  if (o.da_utf8) descrizioni.da_utf8();
  if (o.solo_file) descrizioni.solo_file_regolari();
  if (std::optional<GuastoDescrizioni> guasto = descrizioni.leggi_entrambe()) {
    if (guasto->non_file) throw UsoErrato{guasto->testo};
    if (!guasto->troppo_grande) return fallita(e, {guasto->testo});
    e.stato = kUscitaTroppoGrande;
    e.errore = guasto->testo + " (give --max-input to raise the bound); no file written";
    e.messaggio = e.errore;
    return;
  }

  RouteModel modello;
  modello.nomi = o.nomi;
  EsitoCompilazione esito;
  memorizza_percorso(modello, o.piano ? 1 : 0, descrizioni, esito);
  // What the reading found is told even when the writing fails.
  riporta_diagnosi(esito.diagnosi, e);
  e.avvertenze = esito.avvertenze;
  const int codice = esito.diagnosi.codice_errore;
  e.fatale = esito.errore_fatale;
  if (esito.senza_segmenti) *e.messaggio += "; the route has no segment to stamp, no file written";
  // A compile with a diagnostic leaves the last good set as it was, unless
  // asked for the files as far as the descriptions were read.
  if (esito.scrivibile() && (codice == 0 || o.parziale)) {
    if (!scrivi_scenario(o, modello, esito, e, err, disco)) return;
  } else if (esito.scrivibile() || esito.errore_fatale != 0) {
    e.file_tenuti = presenti(o);
    e.perche_tenuti = esito.errore_fatale != 0
                          ? "a stamp field was already taken"
                          : "the compile stopped at a diagnostic; --partial writes the files as "
                            "far as the descriptions were read";
  }

  e.file_scritti = esito.file_scritti;
  e.stato = esito.errore_fatale != 0                     ? kUscitaErroreFatale
            : codice == 0 && !esito.senza_segmenti ? kUscitaOk
                                                         : kUscitaDiagnosi;
  // Anything worse than a warning keeps its own status.
  if (o.rigoroso && e.stato == kUscitaOk && !esito.avvertenze.empty())
    e.stato = kUscitaAvvertenze;
}

std::string riga_fallimento(const EsitoComando& e) {
  switch (e.stato) {
    case kUscitaOk:
    case kUscitaAvvertenze: return {};
    case kUscitaErroreFatale: {
      std::string riga = " Errore n. " + std::to_string(e.fatale) +
                         " (a stamp field was already taken); no file written";
      if (const std::optional<std::string> r = rimedio(e)) riga += ". " + *r;
      return riga;
    }
    case kUscitaDiagnosi: return riga_diagnosi(e);
    default: return visibile(e.errore.value_or("unexpected failure"), std::string::npos);
  }
}

bool chiede_json(const std::vector<std::string>& argomenti) {
  return std::find(argomenti.begin() + 1, argomenti.end(), "--json") != argomenti.end();
}

int riporta_compile(const EsitoComando& e, bool json, std::ostream& out, std::ostream& err,
                    std::string_view comando) {
  if (json) out << json_esito(e);
  for (const Avvertenza& a : e.avvertenze) err << riga_avvertenza(a) << "\n";
  switch (e.stato) {
    case kUscitaErroreFatale:
      err << " Errore n. " << e.fatale << "\n";
      if (const Codice* c = trova_errore_fatale(e.fatale))
        scrivi_errore(err, std::string(c->frase) + ". " + std::string(c->rimedio));
      break;
    case kUscitaUsoErrato: uso_errato(err, *e.errore, comando); break;
    case kUscitaDiagnosi: err << riga_diagnosi(e) << "\n"; break;
    case kUscitaErroreSistema:
    case kUscitaTroppoGrande: scrivi_errore(err, *e.errore); break;
    default: break;
  }
  if (const std::optional<std::string> tenuti = riga_tenuti(e)) scrivi_errore(err, *tenuti);
  return e.stato;
}

EsitoComando esito_uso_errato(std::string messaggio) {
  EsitoComando e;
  e.stato = kUscitaUsoErrato;
  e.errore = std::move(messaggio);
  return e;
}

EsitoComando esito_compile(const OpzioniCompile& o, std::ostream& err, platform::Disk& disco) {
  EsitoComando e;
  try {
    compila(o, e, err, disco);
  } catch (const UsoErrato& u) {
    return esito_uso_errato(u.messaggio);
  }
  return e;
}

int comando_compile(const std::vector<std::string>& argomenti, std::ostream& out,
                    std::ostream& err, platform::Disk& disco) {
  OpzioniCompile o;
  try {
    o = leggi_opzioni(argomenti);
  } catch (const UsoErrato& u) {
    return riporta_compile(esito_uso_errato(u.messaggio), chiede_json(argomenti), out, err,
                           "compile");
  }
  return riporta_compile(esito_compile(o, err, disco), o.json, out, err, "compile");
}

}  // namespace tratta
