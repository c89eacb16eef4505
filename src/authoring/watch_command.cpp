#include "authoring/watch_command.h"

#include <algorithm>
#include <optional>
#include <variant>

#include <nlohmann/json.hpp>

#include "authoring/commands.h"
#include "authoring/display_text.h"
#include "authoring/page_server.h"
#include "authoring/pubblica_esito.h"
#include "platform/platform.h"

namespace tratta {

namespace fs = std::filesystem;

namespace {

using Orologio = std::chrono::steady_clock;

/// What the watch says of the first description that is not there: that
/// its folder is gone, or that it is missing.
std::optional<std::string> descrizione_mancante(const OpzioniCompile& o) {
  const std::pair<const char*, const fs::path*> descrizioni[] = {
      {"the line description", &o.linea.percorso}, {"the train description", &o.treno.percorso}};
  for (const auto& [cosa, percorso] : descrizioni) {
    std::error_code ec;
    if (fs::exists(*percorso, ec)) continue;
    const fs::path cartella = percorso->parent_path();
    if (!cartella.empty() && !fs::is_directory(cartella, ec))
      return "the folder " + citato(cartella) + " is gone; waiting for it";
    return std::string(cosa) + " " + citato(*percorso) + " is missing; waiting for it to come back";
  }
  return std::nullopt;
}

/// The outcome line, then each warning's line: on stdout, or with --json
/// compile's object there and the warnings' lines on stderr, as compile
/// prints them.
void riporta(const EsitoComando& e, bool json, std::ostream& out, std::ostream& err) {
  const std::string ora = platform::local_clock_time();
  if (json) {
    // compile's object, with the time first.
    out << "{\"time\": \"" << ora << "\", " << json_esito(e).substr(1) << std::flush;
  } else {
    out << ora << " " << riga_esito(e) << "\n";
  }
  std::ostream& righe = json ? err : out;
  for (const Avvertenza& a : e.avvertenze) righe << riga_avvertenza(a) << "\n";
  righe.flush();
  out.flush();
}

}  // namespace

std::string riga_esito(const EsitoComando& e) {
  std::string riga;
  if (e.stato == kUscitaOk || e.stato == kUscitaAvvertenze) {
    riga = "done:";
    for (const std::string& f : e.file_scritti) riga += " " + f;
    riga += " written";
    if (e.stato == kUscitaAvvertenze) riga += " (--strict: the warnings fail it)";
  } else {
    riga = riga_fallimento(e);
  }
  if (const std::optional<std::string> tenuti = riga_tenuti(e)) riga += "; " + *tenuti;
  const std::size_t n = e.avvertenze.size();
  return riga + "; " + std::to_string(n) + (n == 1 ? " warning" : " warnings");
}

int osserva(const OpzioniCompile& opzioni, platform::FolderWatch& osservatore,
            const TempiOsserva& tempi, const DopoCompilazione& dopo, std::ostream& out,
            std::ostream& err, platform::Disk& disco) {
  // Read again at each save: files only, never a FIFO to wait for.
  OpzioniCompile o = opzioni;
  o.solo_file = true;
  // A compile is due once the changes have been quiet until `scadenza`.
  bool dovuta = true, prima = true;
  Orologio::time_point scadenza = Orologio::now();
  // Whether a description is missing, since when, and whether it was said.
  bool manca = false, detto = false;
  Orologio::time_point mancante_da{};
  for (;;) {
    std::optional<std::chrono::milliseconds> attesa;
    if (dovuta)
      attesa = std::max(std::chrono::milliseconds(0),
                        std::chrono::ceil<std::chrono::milliseconds>(scadenza - Orologio::now()));
    const auto avviso = osservatore.wait(attesa);
    if (!avviso.ok()) return guasto_sistema(err, avviso.error());
    if (avviso.value() == platform::FolderWatch::Outcome::kStopped) return kUscitaOk;
    if (avviso.value() == platform::FolderWatch::Outcome::kChanged) {
      dovuta = true;
      scadenza = Orologio::now() + tempi.quiete;
      // Back, even if saves keep coming before any quiet: the next absence
      // is given its whole wait.
      if (manca && !descrizione_mancante(o)) manca = detto = false;
      continue;
    }
    if (!dovuta) continue;
    // Quiet: the editor is done, unless it left a description away.
    if (const std::optional<std::string> mancante = descrizione_mancante(o)) {
      if (!manca) mancante_da = Orologio::now();
      manca = true;
      if (Orologio::now() < mancante_da + tempi.attesa_mancante) {
        // Its coming back is a change; else the wait ends here.
        scadenza = mancante_da + tempi.attesa_mancante;
        continue;
      }
      if (!detto) {
        if (o.json) {
          scrivi_errore(err, *mancante);
        } else {
          out << platform::local_clock_time() << " " << visibile(*mancante, std::string::npos)
              << std::endl;
        }
        detto = true;
      }
      dovuta = false;
      continue;
    }
    manca = detto = false;
    dovuta = false;
    const EsitoComando e = esito_compile(o, err, disco);
    // Bad use from the start (an output named like a description, say)
    // stays bad use at every save.
    if (prima && e.stato == kUscitaUsoErrato) return riporta_compile(e, o.json, out, err, "watch");
    prima = false;
    riporta(e, o.json, out, err);
    if (dopo) dopo(e, o.uscita);
  }
}

int comando_watch(const std::vector<std::string>& argomenti, std::ostream& out,
                  std::ostream& err, platform::Disk& disco, const DopoCompilazione& dopo) {
  OpzioniCompile o;
  std::optional<ServeAddress> servi;
  bool apri = false;
  long massimo = 0;
  try {
    o = leggi_opzioni(argomenti, [&](std::string_view a, const auto& valore) {
      if (a == "--stop-after") {
        const std::string n = valore();
        massimo = n.size() <= 9 && !n.empty() &&
                          n.find_first_not_of("0123456789") == std::string::npos
                      ? std::stol(n)
                      : 0;
        if (massimo <= 0)
          throw UsoErrato{"--stop-after takes a number of compiles, 1 or more, not '" + n + "'"};
      } else if (a == "--serve") {
        auto letto = parse_serve_address(valore());
        if (const std::string* no = std::get_if<std::string>(&letto)) throw UsoErrato{*no};
        servi = std::get<ServeAddress>(letto);
      } else if (a == "--open") {
        apri = true;
      } else {
        return false;
      }
      return true;
    });
    if (apri && !servi) throw UsoErrato{"--open opens the page that --serve serves: give --serve"};
    for (const OrigineDescrizione* d : {&o.linea, &o.treno}) {
      if (d->da_standard_input)
        throw UsoErrato{"watch reads the descriptions again at each save: name files, not '-'"};
      std::error_code ec;
      if (!fs::is_regular_file(d->percorso, ec))
        throw UsoErrato{"watch reads the descriptions again at each save: " +
                        citato(d->percorso) + " is not a file"};
    }
  } catch (const UsoErrato& u) {
    return riporta_compile(esito_uso_errato(u.messaggio), chiede_json(argomenti), out, err, "watch");
  }
  auto fallita = [&](std::string testo) {
    EsitoComando e;
    e.stato = kUscitaErroreSistema;
    e.errore = std::move(testo);
    return riporta_compile(e, o.json, out, err, "watch");
  };
  // Opened before the first compile: a save made meanwhile is not lost.
  auto osservatore = platform::FolderWatch::open({o.linea.percorso, o.treno.percorso});
  if (!osservatore.ok()) return fallita(osservatore.error().text);
  platform::FolderWatch& w = osservatore.value();
  // The page server, when asked for, serves before the first compile, so
  // that a page opened at once finds it; its address is the first line.
  PageServer server;
  if (servi) {
    if (std::optional<std::string> no = server.start(*servi)) return fallita(*no);
    if (o.json)
      out << nlohmann::json{{"serving", server.address()}}.dump() << std::endl;
    else
      out << "the route page is served on " << server.address() << std::endl;
    if (apri && !platform::open_in_browser(server.address()))
      err << "tratta_valle3: could not open a browser; open " << server.address() << "\n";
  }
  const platform::StopOnInterrupt interruzioni(w);
  long fatte = 0;
  const int stato = osserva(o, w, TempiOsserva{},
                            [&](const EsitoComando& e, const fs::path& cartella) {
                              if (servi) pubblica_esito(server, e, cartella, o.nomi);
                              if (dopo) dopo(e, cartella);
                              if (massimo > 0 && ++fatte >= massimo) w.request_stop();
                            },
                            out, err, disco);
  server.stop();
  return stato;
}

}  // namespace tratta
