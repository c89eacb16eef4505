#include "authoring/inspect_listing.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "authoring/display_text.h"
#include "authoring/eventi_percorso.h"
#include "authoring/plan_thinning.h"
#include "authoring/tratti_percorso.h"
#include "model/rounding.h"
#include "model/windows1252.h"
#include "platform/platform.h"

namespace tratta {

namespace {

constexpr size_t kSenzaLimite = static_cast<size_t>(-1);

std::string n(int64_t v) { return std::to_string(v); }

std::string metri(double v) { return fisso(v, 1); }

std::string nome(const Voce& v) { return "\"" + decode_windows1252(v.nome) + "\""; }

/// One line of the listing along the route, kept in order of position;
/// at one position the stretches come before the events.
struct Riga {
  int64_t metro;
  int ordine;
  std::string testo;
};

std::string tratto(const Tratto& t, const std::string& cosa) {
  return "from " + n(t.da) + " m to " + n(t.a) + " m: " + cosa;
}

void righe_tratti(std::vector<Riga>& righe, const TrattiPercorso& t) {
  for (const Tratto& s : t.velocita)
    righe.push_back(
        {s.da, 0, tratto(s, s.valore ? "limit " + n(s.valore * 5) + " km/h" : "limit not set")});
  for (const Tratto& s : t.pendenza) {
    const int g = s.valore - 100;
    righe.push_back({s.da, 1,
                     tratto(s, s.valore == 0 ? "gradient not set"
                               : g == 0      ? "gradient level"
                                             : "gradient " + n(g) + " per mille")});
  }
  for (const Tratto& s : t.aderenza)
    righe.push_back({s.da, 2, tratto(s, "adhesion " + n(s.valore))});
  for (const Tratto& s : t.montagna) {
    std::string cosa = "montagna class " + n(s.valore);
    if (s.marcatori) cosa += " (" + n(s.marcatori) + " markers)";
    righe.push_back({s.da, 3, tratto(s, cosa)});
  }
}

std::string sezione_file(const ScenarioCompilato& s) {
  const auto mostra = [](const std::filesystem::path& p) {
    return visibile(platform::path_to_utf8(p), kSenzaLimite);
  };
  const size_t segmenti = s.segmenti.size();
  std::string t = "Scenario " + visibile(s.nomi.nome_scenario) + ", train " +
                  visibile(s.nomi.numero_treno) + "\n";
  t += "  route file  " + mostra(s.file_percorso) + ": " + n(static_cast<int64_t>(segmenti)) +
       " segments of 50 m (0 to " + n(static_cast<int64_t>(segmenti) - 1) + "), 0 m to " +
       n(static_cast<int64_t>(segmenti) * 50) + " m\n";
  t += "  train file  " + mostra(s.file_treno) + ": 87 slots\n";
  if (!s.linea) {
    t += "  line file   " + mostra(s.file_linea) + ": none (compiled without a plan)\n";
  } else {
    const FileLinea& l = *s.linea;
    t += "  line file   " + mostra(s.file_linea) + ": " + n(int64_t{l.metri_totali()} + 1) +
         " metres per axis (0 to " + n(l.metri_totali()) + "), " +
         n(static_cast<int64_t>(l.conta(TagPiano::kDoppio))) + " computed elements, " +
         n(static_cast<int64_t>(l.conta(TagPiano::kIntero16))) + " integer, " +
         n(static_cast<int64_t>(l.conta(TagPiano::kVuoto))) + " empty\n";
    if (round_half_even(l.metri_totali() / 50.0) != static_cast<double>(segmenti - 1))
      t += "  note: the plan's " + n(l.metri_totali()) + " m do not give the route file's " +
           n(static_cast<int64_t>(segmenti)) +
           " segments: the line file may be left from an earlier compile\n";
  }
  t += "route length " + n(s.voci[kVoceGeneraliPercorso].fine) + " m as written (slot 84), " +
       n(static_cast<int64_t>(segmenti)) + " segments\n";
  if (s.linea) {
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    const PuntoPiano* ultimo = nullptr;
    const auto linee = linee_piano(*s.linea);
    for (const auto& linea : linee)
      for (const PuntoPiano& p : linea) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
        ultimo = &p;
      }
    if (ultimo)
      t += "plan extent x from " + metri(x0) + " to " + metri(x1) + " m, y from " + metri(y0) +
           " to " + metri(y1) + " m; last point (" + metri(ultimo->x) + ", " + metri(ultimo->y) +
           ") at metre " + n(ultimo->metro) + "\n";
    else
      t += "plan extent: the plan holds no point\n";
  }
  return t;
}

std::string sezione_percorso(const ScenarioCompilato& s) {
  std::vector<Riga> righe;
  righe_tratti(righe, tratti_percorso(s.segmenti));
  for (const EventoPercorso& e : eventi_percorso(s.segmenti, s.voci))
    righe.push_back({e.metro, 4,
                     "at " + n(e.metro) + " m" +
                         (e.scritto ? " (written at " + n(*e.scritto) + " m)" : std::string()) +
                         ": " + e.testo});
  std::stable_sort(righe.begin(), righe.end(), [](const Riga& a, const Riga& b) {
    return a.metro != b.metro ? a.metro < b.metro : a.ordine < b.ordine;
  });
  std::string t = "\nAlong the route\n";
  for (const Riga& r : righe) t += "  " + visibile(r.testo, kSenzaLimite) + "\n";
  return t;
}

std::string sezione_voci(const ScenarioCompilato& s) {
  std::string t = "\nStations and sign texts (train file)\n";
  for (const VoceInUso& u : voci_in_uso(s.segmenti, s.voci)) {
    const Voce& v = s.voci[static_cast<size_t>(u.slot)];
    std::string r = "  slot " + n(u.slot) + ": ";
    if (u.cartello) {
      r += "sign text " + nome(v);
    } else {
      r += "station " + nome(v) + " (kind " + n(v.tipo) + "): from " + n(v.inizio) + " m to " +
           n(v.fine) + " m, position " + n(v.posizione) + " m, time " + ora_del_giorno(v.orario) +
           "; tps " + n(v.tps) + ", d2 " + n(v.d2_a) + ", d3 " + n(v.d3_a) + ", rap " + n(v.rap) +
           ", d1 " + n(v.d1_b) + ", d2 " + n(v.d2_b) + ", d3 " + n(v.d3_b) + ", ac " + n(v.ac) +
           ", mar " + n(v.mar) + ", tab " + n(v.tab);
    }
    t += visibile(r, kSenzaLimite) + "\n";
  }
  return t;
}

std::string sezione_generali(const ScenarioCompilato& s) {
  const auto& v = s.voci;
  std::string t = "\nGeneral values (train file)\n";
  for (int slot = kVoceProgressivaTre; slot <= kVoceProgressivaUno; ++slot) {
    const Voce& p = v[static_cast<size_t>(slot)];
    t += "  slot " + n(slot) + ", mileage change: at " + n(p.inizio) + " m the mileage becomes " +
         n(p.fine) + " m, flag " + n(p.posizione) + "\n";
  }
  const Voce& g84 = v[kVoceGeneraliPercorso];
  t += "  slot 84: braked mass " + n(g84.inizio) + " %, route length " + n(g84.fine) + " m, " +
       n(g84.posizione) + " coaches\n";
  const Voce& g85 = v[kVoceGeneraliLinea];
  t += visibile("  slot 85: scenario " + nome(g85) + ", sfondo uno " + n(g85.inizio) + ", due " +
                    n(g85.posizione) + ", tre " + n(g85.fine) + ", mark " + n(g85.d2_a) +
                    ", route code " + n(g85.orario),
                kSenzaLimite) +
       "\n";
  const Voce& g86 = v[kVoceGeneraliTreno];
  t += visibile("  slot 86: train " + nome(g86) + ", signal repetition from " + n(g86.inizio) +
                    " m to " + n(g86.fine) + " m with " + n(g86.posizione) + " codes, sand " +
                    n(g86.d2_a) + ", clock " +
                    ora_del_giorno(int64_t{g86.d1_b} * 3600 + int64_t{g86.d2_b} * 60 + g86.d3_b),
                kSenzaLimite) +
       "\n";
  if (s.segmenti.size() > 1) {
    const Segmento& uno = s.segmenti[1];
    t += "  segment 1 (route file): mark " + n(uno.valore1) + ", route code " + n(uno.valore2) +
         "\n";
  }
  return t;
}

}  // namespace

std::string elenco_scenario(const ScenarioCompilato& s) {
  return sezione_file(s) + sezione_percorso(s) + sezione_voci(s) + sezione_generali(s);
}

}  // namespace tratta
