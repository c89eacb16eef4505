#include "authoring/inspect_command.h"

#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <system_error>

#include "authoring/cartella_uscita.h"
#include "authoring/command_line.h"
#include "authoring/commands.h"
#include "authoring/display_text.h"
#include "authoring/inspect_json.h"
#include "authoring/inspect_listing.h"
#include "authoring/scenario_compilato.h"
#include "authoring/view_page.h"
#include "platform/output_set.h"
#include "platform/platform.h"

namespace tratta {

namespace fs = std::filesystem;

namespace {

struct Opzioni {
  fs::path cartella;
  NomiScenario nomi = nomi_predefiniti();
  bool json = false;
  bool punti = false;
  std::optional<fs::path> uscita;
  bool forza = false;
  bool aspetta = true;
};

/// Reads the options of inspect (`con_json`) or view (`con_out`).
Opzioni leggi_opzioni(const std::vector<std::string>& argomenti, bool con_json, bool con_out) {
  Opzioni o;
  const std::vector<std::string> posizionali =
      leggi_argomenti(argomenti, [&](std::string_view a, const auto& valore) {
        if (a == "--scenario") {
          o.nomi.nome_scenario = valore();
        } else if (a == "--train-number") {
          o.nomi.numero_treno = valore();
        } else if (con_json && a == "--json") {
          o.json = true;
        } else if (con_json && a == "--points") {
          o.punti = true;
        } else if (con_out && a == "--out") {
          o.uscita = platform::path_from_utf8(valore());
        } else if (con_out && a == "--force") {
          o.forza = true;
        } else if (a == "--no-wait") {
          o.aspetta = false;
        } else {
          return false;
        }
        return true;
      });
  if (posizionali.size() != 1)
    throw UsoErrato{argomenti[0] + " needs the folder of the scenario files"};
  if (o.punti && !o.json) throw UsoErrato{"--points goes with --json"};
  controlla_nomi(o.nomi);
  o.cartella = platform::path_from_utf8(posizionali[0]);
  return o;
}

/// Reads the options and the scenario files, then hands the scenario to
/// `usa`; every failure becomes its exit status and one line on `err`.
template <typename Usa>
int esegui(const std::vector<std::string>& argomenti, bool con_json, bool con_out,
           std::ostream& err, Usa usa) {
  try {
    const Opzioni o = leggi_opzioni(argomenti, con_json, con_out);
    auto letto =
        leggi_scenario_compilato(o.cartella, o.nomi, attesa_cartella(o.aspetta, o.cartella, err));
    if (const ProblemaLettura* p = std::get_if<ProblemaLettura>(&letto)) {
      switch (p->tipo) {
        case ProblemaLettura::Tipo::kMancante: return uso_errato(err, p->messaggio, argomenti[0]);
        case ProblemaLettura::Tipo::kGuasto: scrivi_errore(err, p->messaggio); return kUscitaFileGuasto;
        case ProblemaLettura::Tipo::kIlleggibile: break;
      }
      scrivi_errore(err, p->messaggio);
      return kUscitaErroreSistema;
    }
    return usa(o, std::get<ScenarioCompilato>(letto));
  } catch (const UsoErrato& e) {
    return uso_errato(err, e.messaggio, argomenti[0]);
  }
}

/// True when the page may go to `pagina`: nothing is there, or a page
/// that view wrote (its head signed).
bool pagina_sostituibile(const fs::path& pagina) {
  std::error_code ec;
  const fs::file_status stato = fs::symlink_status(pagina, ec);
  if (!fs::exists(stato)) return true;
  if (!fs::is_regular_file(stato)) return false;
  std::ifstream in(pagina, std::ios::binary);
  std::string testa(1024, '\0');
  in.read(testa.data(), static_cast<std::streamsize>(testa.size()));
  testa.resize(static_cast<std::size_t>(in.gcount()));
  return testa.find(kFirmaPagina) != std::string::npos;
}

/// True when `a` and `b` name the same existing file.
bool stesso_file(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

int comando_inspect(const std::vector<std::string>& argomenti, std::ostream& out,
                    std::ostream& err) {
  return esegui(argomenti, true, false, err,
                [&](const Opzioni& o, const ScenarioCompilato& s) -> int {
                  const std::string testo = o.json ? json_scenario(s, o.punti) : elenco_scenario(s);
                  out.write(testo.data(), static_cast<std::streamsize>(testo.size()));
                  return kUscitaOk;
                });
}

int comando_view(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err,
                 platform::Disk& disco) {
  return esegui(
      argomenti, false, true, err, [&](const Opzioni& o, const ScenarioCompilato& s) -> int {
        const fs::path pagina =
            o.uscita ? *o.uscita : o.cartella / platform::path_from_utf8(nome_pagina(s.nomi));
        for (const std::string& nome : nomi_file_scenario(s.nomi)) {
          const fs::path dato = o.cartella / platform::path_from_utf8(nome);
          if (stesso_file(pagina, dato))
            return uso_errato(err,
                              "the page would replace the scenario file '" +
                                  visibile(platform::path_to_utf8(dato)) + "'",
                              "view");
        }
        if (!o.forza && !pagina_sostituibile(pagina))
          return uso_errato(err,
                            "'" + visibile(platform::path_to_utf8(pagina)) +
                                "' is not a page that view wrote: not replaced (give --force to "
                                "replace it)",
                            "view");
        const fs::path cartella = pagina.has_parent_path() ? pagina.parent_path() : fs::path(".");
        CartellaUscita uscita(cartella);
        platform::FileStatus scritta = uscita.prepara(attesa_cartella(o.aspetta, cartella, err));
        if (scritta.ok())
          scritta = replace_file(uscita.blocco(), pagina.filename(), pagina_percorso(s), disco);
        if (!scritta.ok()) return guasto_sistema(err, scritta.error());
        uscita.scritta();
        out << visibile(platform::path_to_utf8(pagina), 4096) << "\n";
        return kUscitaOk;
      });
}

}  // namespace tratta
