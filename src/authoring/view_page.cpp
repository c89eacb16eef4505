#include "authoring/view_page.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "authoring/display_text.h"
#include "authoring/eventi_percorso.h"
#include "authoring/html_text.h"
#include "authoring/tratti_percorso.h"
#include "authoring/view_plan.h"
#include "authoring/view_script.h"
#include "model/valori_segnale.h"
#include "model/windows1252.h"

namespace tratta {

namespace {

// The profile's geometry, in the units of its viewBox. The script reads
// the same numbers from the page (data-geometry), so both draw alike.
constexpr double kLarghezza = 1200;
constexpr double kSinistra = 118;  // where the route's first metre is drawn
constexpr double kDestra = 1184;   // and its last
constexpr double kAltezzaProfilo = 532;
constexpr double kAsse = 506;  // top of the axis with the kilometres

/// One horizontal lane of the profile.
struct Corsia {
  TipoMarca tipo;  // the marks it holds
  const char* etichetta;
  double y0, y1;
};
constexpr Corsia kAltezza{TipoMarca::kHeight, "height", 10, 166};
constexpr Corsia kVelocita{TipoMarca::kSpeed, "limit", 178, 268};
constexpr Corsia kMontagna{TipoMarca::kMontagna, "montagna", 280, 296};
constexpr Corsia kRallentamenti{TipoMarca::kSlowdown, "slowdowns", 304, 322};
constexpr Corsia kStazioni{TipoMarca::kStation, "stations", 330, 398};
constexpr Corsia kSegnali{TipoMarca::kSignal, "signals", 406, 428};
constexpr Corsia kCartelli{TipoMarca::kSign, "signs", 434, 452};
constexpr Corsia kIndicatori{TipoMarca::kIndicator, "indicators", 458, 476};
constexpr Corsia kAbbattimenti{TipoMarca::kAbatement, "abatements", 482, 498};
/// The four rows of names under the flags; the script moves each name to
/// the first row where it has room, or hides it until the view is zoomed
/// in far enough.
constexpr double kRigheNomi[] = {kStazioni.y0 + 27, kStazioni.y0 + 39.5, kStazioni.y0 + 52,
                                 kStazioni.y0 + 64.5};
constexpr Corsia kCorsie[] = {kAltezza, kVelocita, kMontagna,   kRallentamenti, kStazioni,
                              kSegnali, kCartelli, kIndicatori, kAbbattimenti};

std::string n(int64_t v) { return std::to_string(v); }

/// 12345 -> "12,345"
std::string migliaia(int64_t v) {
  std::string t = n(v < 0 ? -v : v);
  for (int i = static_cast<int>(t.size()) - 3; i > 0; i -= 3) t.insert(static_cast<size_t>(i), ",");
  return v < 0 ? "-" + t : t;
}

/// The mapping of metres onto the profile for the whole route.
struct Scala {
  double k;  // viewBox units per metre
  double x(double metro) const { return kSinistra + metro * k; }
};

/// Opens a mark: a group placed at `metro` with its details.
void apri_marca(std::string& out, TipoMarca tipo, int64_t metro, const Scala& s,
                const std::string& info, int64_t da = -1, int64_t a = -1) {
  out += "<g class=\"mk\" data-kind=\"";
  out += nome_marca(tipo);
  out += "\" data-metre=\"" + n(metro) + "\"";
  if (a >= 0) out += " data-from=\"" + n(da) + "\" data-end=\"" + n(a) + "\"";
  out +=
      " data-info=\"" + html(info) + "\" transform=\"translate(" + fisso(s.x(metro), 2) + ",0)\">";
}

/// A band from `da` to `a` inside a mark placed at `metro`.
std::string banda(int64_t metro, int64_t da, int64_t a, const Scala& s, double y0, double y1,
                  const char* classe) {
  return "<rect class=\"ext " + std::string(classe) + "\" x=\"" + fisso((da - metro) * s.k, 2) +
         "\" width=\"" + fisso(std::max(1.5, (a - da) * s.k), 2) + "\" y=\"" + fisso(y0, 1) +
         "\" height=\"" + fisso(y1 - y0, 1) + "\"/>";
}

/// What the page is drawn from: the files and what they hold in words.
struct Contenuto {
  const ScenarioCompilato& sc;
  std::vector<EventoPercorso> eventi;
  TrattiPercorso tratti;
  int64_t fine;  // the end of the last segment, metres
};

/// Runs of equal gradient with the height reached at their start: the
/// height is built up from the gradients, from 0 at the route's start.
struct TrattoAltezza {
  int64_t da, a;
  int gradiente;  // per mille; 0 where the route file sets none
  double h0, h1;
};

std::vector<TrattoAltezza> profilo_altezza(const TrattiPercorso& t) {
  std::vector<TrattoAltezza> out;
  double h = 0.0;
  for (const Tratto& p : t.pendenza) {
    const int g = p.valore == 0 ? 0 : p.valore - 100;
    const double h1 = h + g / 1000.0 * static_cast<double>(p.a - p.da);
    out.push_back({p.da, p.a, g, h, h1});
    h = h1;
  }
  return out;
}

// ----- the profile -------------------------------------------------------

/// The top of the speed limit lane, km/h: some room above the highest
/// limit.
int limite_alto(const TrattiPercorso& t) {
  int vmax = 0;
  for (const Tratto& v : t.velocita) vmax = std::max(vmax, v.valore * 5);
  return (vmax + 10 + 19) / 20 * 20;
}

/// Height and speed limit lines, drawn in metres across and scaled by the
/// script as the view zooms.
std::string linee_profilo(const TrattiPercorso& t, const std::vector<TrattoAltezza>& alt,
                          const Scala& s, int64_t fine, std::string& dati_script,
                          std::string& etichette) {
  double hmin = 0, hmax = 0;
  for (const TrattoAltezza& a : alt)
    hmin = std::min({hmin, a.h0, a.h1}), hmax = std::max({hmax, a.h0, a.h1});
  if (hmax - hmin < 10) hmax = hmin + 10;
  const auto y_h = [&](double h) {
    return kAltezza.y1 - (h - hmin) / (hmax - hmin) * (kAltezza.y1 - kAltezza.y0);
  };
  const int vmax = limite_alto(t);
  const auto y_v = [&](int kmh) {
    return kVelocita.y1 - static_cast<double>(kmh) / vmax * (kVelocita.y1 - kVelocita.y0);
  };
  // Lines are drawn in metres across; the script stretches the groups of
  // class "xs" to the stretch in view, and the height to its heights.
  const std::string scala_x = "<g class=\"xs\" transform=\"matrix(" + fisso(s.k, 9) + ",0,0,1," +
                              fisso(kSinistra, 2) + ",0)\">";

  std::string area = "M0," + fisso(kAltezza.y1, 1);
  std::string linea;
  dati_script += "const GRAD=[";
  for (size_t i = 0; i < alt.size(); ++i) {
    const TrattoAltezza& a = alt[i];
    const std::string tratto =
        n(a.da) + "," + fisso(y_h(a.h0), 2) + " L" + n(a.a) + "," + fisso(y_h(a.h1), 2);
    area += " L" + tratto;
    linea += (i ? " L" : "M") + tratto;
    dati_script += (i ? ",[" : "[") + n(a.da) + "," + n(a.a) + "," + n(a.gradiente) + "," +
                   fisso(a.h0, 2) + "]";
  }
  dati_script += "];\n";
  area += " L" + n(fine) + "," + fisso(kAltezza.y1, 1) + " Z";
  std::string out = "<g clip-path=\"url(#height-lane)\">" + scala_x +
                    "<g id=\"height-scale\" data-range=\"" + fisso(hmin, 2) + " " + fisso(hmax, 2) +
                    "\">";
  out += "<path class=\"mk height\" data-kind=\"height\" data-metre=\"0\" data-info=\"" +
         html("height built up from the gradients, " + fisso(hmin, 1) + " m to " + fisso(hmax, 1) +
              " m from the start") +
         "\" d=\"" + area + "\"/><path class=\"height-line\" d=\"" + linea + "\"/></g></g></g>";

  std::string passi;
  dati_script += "const SPEED=[";
  for (size_t i = 0; i < t.velocita.size(); ++i) {
    const Tratto& v = t.velocita[i];
    const std::string y = fisso(y_v(v.valore * 5), 2);
    passi += (i ? " L" : "M") + n(v.da) + "," + y + " L" + n(v.a) + "," + y;
    dati_script += (i ? ",[" : "[") + n(v.da) + "," + n(v.a) + "," + n(v.valore * 5) + "]";
  }
  dati_script += "];\nconst ADH=[";
  for (size_t i = 0; i < t.aderenza.size(); ++i) {
    const Tratto& v = t.aderenza[i];
    dati_script += (i ? ",[" : "[") + n(v.da) + "," + n(v.a) + "," + n(v.valore) + "]";
  }
  dati_script += "];\n";
  out += scala_x + "<path class=\"mk speed\" data-kind=\"speed\" data-metre=\"0\" data-info=\"" +
         html("speed limit in steps, up to " + n(vmax) + " km/h") + "\" d=\"" + passi + "\"/></g>";

  const std::string x_scala = fisso(kSinistra - 6, 1);
  etichette += "<text id=\"height-top\" class=\"scale\" x=\"" + x_scala + "\" y=\"" +
               fisso(kAltezza.y0 + 9, 1) + "\" text-anchor=\"end\">" + fisso(hmax, 0) +
               " m</text><text id=\"height-bottom\" class=\"scale\" x=\"" + x_scala + "\" y=\"" +
               fisso(kAltezza.y1, 1) + "\" text-anchor=\"end\">" + fisso(hmin, 0) +
               " m</text><text class=\"scale\" x=\"" + x_scala + "\" y=\"" +
               fisso(kVelocita.y0 + 9, 1) + "\" text-anchor=\"end\">" + n(vmax) + " km/h</text>";
  for (int v = 20; v<vmax; v += vmax> 100 ? 40 : 20)
    etichette += "<line class=\"grid-h\" x1=\"" + fisso(kSinistra, 1) + "\" x2=\"" +
                 fisso(kDestra, 1) + "\" y1=\"" + fisso(y_v(v), 2) + "\" y2=\"" + fisso(y_v(v), 2) +
                 "\"/>";
  return out;
}

std::string marche_eventi(const Contenuto& c, const Scala& s) {
  const ScenarioCompilato& sc = c.sc;
  std::string out;
  for (const EventoPercorso& e : c.eventi) {
    if (!e.marca) continue;
    const std::string info =
        "at " + migliaia(e.metro) + " m" +
        (e.scritto ? " (written at " + migliaia(*e.scritto) + " m)" : std::string()) + ": " +
        e.testo;
    const Segmento& seg = sc.segmenti[e.segmento];
    switch (*e.marca) {
      case TipoMarca::kSignal:
        apri_marca(out, *e.marca, e.metro, s, info);
        out += "<line class=\"post\" y1=\"" + fisso(kSegnali.y1, 1) + "\" y2=\"" +
               fisso(kSegnali.y0 + 4, 1) + "\"/><circle class=\"lamp\" cy=\"" +
               fisso(kSegnali.y0 + 5, 1) + "\" r=\"3.6\"/>";
        break;
      case TipoMarca::kStation: {
        apri_marca(out, *e.marca, e.metro, s, info, e.da, e.a);
        std::string nome_stazione;
        if (seg.valore1 >= 1 && seg.valore1 <= kPrimaVoceCartelli)
          nome_stazione = decode_windows1252(sc.voci[static_cast<size_t>(seg.valore1)].nome);
        out += banda(e.metro, e.da, e.a, s, kStazioni.y0, kStazioni.y0 + 8, "platform") +
               "<path class=\"flag\" d=\"M0," + fisso(kStazioni.y0 - 1, 1) + " l0,18 M0," +
               fisso(kStazioni.y0 - 1, 1) + " l9,4 l-9,4 z\"/><text class=\"name\" x=\"3\" y=\"" +
               fisso(kRigheNomi[0], 1) + "\">" + html(nome_stazione) + "</text>";
        break;
      }
      case TipoMarca::kSign: {
        // The sign's text beside it, shown where the lane has room.
        std::string testo;
        if (seg.valore1 >= 0 && seg.valore1 < kNumeroVoci)
          testo = decode_windows1252(sc.voci[static_cast<size_t>(seg.valore1)].nome);
        apri_marca(out, *e.marca, e.metro, s, info);
        out += "<path class=\"sign\" d=\"M0," + fisso(kCartelli.y0, 1) + " l6,9 l-6,9 l-6,-9 z\"/>";
        if (!testo.empty())
          out += "<text class=\"val\" x=\"8\" y=\"" + fisso(kCartelli.y1 - 5, 1) + "\">" +
                 html(testo) + "</text>";
        break;
      }
      case TipoMarca::kIndicator: {
        // The first pair of speeds beside it (one number when both sides
        // agree), shown where the lane has room.
        std::string valore;
        if (const std::optional<Coppia> v = decodifica_velocita(seg.valore1))
          valore = v->sinistra == v->destra ? n(v->sinistra) : n(v->sinistra) + "|" + n(v->destra);
        apri_marca(out, *e.marca, e.metro, s, info);
        out += "<rect class=\"ind\" x=\"-5\" y=\"" + fisso(kIndicatori.y0 + 1, 1) +
               "\" width=\"10\" height=\"16\" rx=\"1.5\"/>";
        if (!valore.empty())
          out += "<text class=\"val\" x=\"8\" y=\"" + fisso(kIndicatori.y1 - 5, 1) + "\">" +
                 valore + "</text>";
        break;
      }
      case TipoMarca::kSlowdown: {
        std::string dettagli = info;
        if (e.segmento >= 24 && sc.segmenti[e.segmento - 24].tipo == kAvvisoRallentamento)
          dettagli += "; warning at " + migliaia(e.metro - 1200) + " m";
        apri_marca(out, *e.marca, e.metro, s, dettagli, e.da, e.a);
        out += banda(e.metro, e.da, e.a, s, kRallentamenti.y0, kRallentamenti.y1, "slow") +
               "<text class=\"val\" x=\"2\" y=\"" + fisso(kRallentamenti.y1 - 4, 1) + "\">" +
               n(seg.valore1) + "</text>";
        break;
      }
      case TipoMarca::kAbatement:
        apri_marca(out, *e.marca, e.metro, s, info);
        out += "<path class=\"abat\" d=\"M0," + fisso(kAbbattimenti.y1, 1) + " L0," +
               fisso(kAbbattimenti.y0 + 4, 1) + " M-3," + fisso(kAbbattimenti.y0 + 1, 1) +
               " h6 v5 h-6 z\"/>";
        break;
      default:
        continue;
    }
    out += "</g>";
  }
  return out;
}

std::string marche_montagna(const TrattiPercorso& t, const Scala& s) {
  std::string out;
  for (const Tratto& m : t.montagna) {
    std::string info =
        "from " + migliaia(m.da) + " m to " + migliaia(m.a) + " m: montagna class " + n(m.valore);
    if (m.marcatori) info += " (" + n(m.marcatori) + " markers)";
    apri_marca(out, TipoMarca::kMontagna, m.da, s, info, m.da, m.a);
    const std::string classe = "mont c" + n(std::min<int>(m.valore, 4));
    out += banda(m.da, m.da, m.a, s, kMontagna.y0, kMontagna.y1, classe.c_str()) +
           "<text class=\"val class-no\" x=\"2\" y=\"" + fisso(kMontagna.y1 - 4, 1) + "\">" +
           n(m.valore) + "</text></g>";
  }
  return out;
}

/// The slots of junctions and other places without a station mark, in
/// slot order.
std::vector<int> altri_luoghi(const Contenuto& c) {
  std::set<int> con_marca;
  for (const EventoPercorso& e : c.eventi)
    if (e.tipo == kStazione) con_marca.insert(c.sc.segmenti[e.segmento].valore1);
  std::vector<int> out;
  for (const VoceInUso& u : voci_in_uso(c.sc.segmenti, c.sc.voci))
    if (!u.cartello && !con_marca.count(u.slot)) out.push_back(u.slot);
  return out;
}

/// Junctions and other places without a station mark: named in the
/// station lane, not counted as stations.
std::string luoghi(const Contenuto& c, const Scala& s) {
  std::string out;
  for (const int slot : altri_luoghi(c)) {
    const Voce& v = c.sc.voci[static_cast<size_t>(slot)];
    const std::string nome = decode_windows1252(v.nome);
    out += "<g class=\"place\" data-metre=\"" + n(v.posizione) + "\" data-info=\"" +
           html("at " + migliaia(v.posizione) + " m: " + nome + " (station slot " + n(slot) +
                ", kind " + n(v.tipo) + ", no station mark), from " + migliaia(v.inizio) +
                " m to " + migliaia(v.fine) + " m") +
           "\" transform=\"translate(" + fisso(s.x(static_cast<double>(v.posizione)), 2) +
           ",0)\"><line y1=\"" + fisso(kStazioni.y0 + 2, 1) + "\" y2=\"" +
           fisso(kStazioni.y0 + 16, 1) + "\"/><text class=\"name\" x=\"3\" y=\"" +
           fisso(kRigheNomi[1], 1) + "\">" + html(nome) + "</text></g>";
  }
  return out;
}

std::string sezione_profilo(const Contenuto& c, std::string& dati_script) {
  const int64_t fine = c.fine;
  const Scala s{(kDestra - kSinistra) / static_cast<double>(fine)};
  const TrattiPercorso& t = c.tratti;
  const auto alt = profilo_altezza(t);

  std::string etichette, corsie;
  for (const Corsia& l : kCorsie) {
    corsie += (corsie.empty() ? "" : " ") + std::string(nome_marca(l.tipo)) + ":" + fisso(l.y0, 0) +
              ":" + fisso(l.y1, 0);
    etichette += "<text class=\"lane\" x=\"8\" y=\"" + fisso((l.y0 + l.y1) / 2 + 4, 1) + "\">" +
                 l.etichetta + "</text>";
    if (&l != &kCorsie[0])
      etichette += "<line class=\"sep\" x1=\"0\" x2=\"" + fisso(kLarghezza, 0) + "\" y1=\"" +
                   fisso(l.y0 - 5, 1) + "\" y2=\"" + fisso(l.y0 - 5, 1) + "\"/>";
  }
  std::string linee = linee_profilo(t, alt, s, fine, dati_script, etichette);

  std::string out =
      "<section class=\"panel\" id=\"profile-panel\"><h2>Profile <span id=\"range\"></span></h2>"
      "<p class=\"hint\">Wheel to zoom, drag to pan, double-click for the whole route; "
      "hover a mark for its details. Click the plan to go to that point.</p>";
  out += "<svg id=\"profile\" viewBox=\"0 0 " + fisso(kLarghezza, 0) + " " +
         fisso(kAltezzaProfilo, 0) + "\" data-geometry=\"" + fisso(kSinistra, 1) + " " +
         fisso(kDestra, 1) + " " + n(fine) + " " + fisso(kAsse, 1) + "\" data-lanes=\"" + corsie +
         "\" data-rows=\"" + fisso(kRigheNomi[0], 1) + " " + fisso(kRigheNomi[1], 1) + " " +
         fisso(kRigheNomi[2], 1) + " " + fisso(kRigheNomi[3], 1) +
         "\" data-limit-top=\"" + n(limite_alto(t)) +
         "\" role=\"img\" aria-label=\"the profile along the route\">";
  out += "<defs><clipPath id=\"plot\"><rect x=\"" + fisso(kSinistra - 1, 1) +
         "\" y=\"0\" width=\"" + fisso(kDestra - kSinistra + 2, 1) + "\" height=\"" +
         fisso(kAltezzaProfilo, 0) + "\"/></clipPath><clipPath id=\"height-lane\"><rect x=\"" +
         fisso(kSinistra - 1, 1) + "\" y=\"" + fisso(kAltezza.y0 - 2, 1) + "\" width=\"" +
         fisso(kDestra - kSinistra + 2, 1) + "\" height=\"" +
         fisso(kAltezza.y1 - kAltezza.y0 + 2, 1) + "\"/></clipPath></defs>";
  out += "<rect class=\"bg\" x=\"" + fisso(kSinistra, 1) + "\" y=\"0\" width=\"" +
         fisso(kDestra - kSinistra, 1) + "\" height=\"" + fisso(kAsse, 1) + "\"/>" + etichette;
  out += "<g id=\"grid\" clip-path=\"url(#plot)\"></g>";
  out += "<g clip-path=\"url(#plot)\">" + linee + marche_montagna(t, s) + luoghi(c, s) +
         marche_eventi(c, s) + "</g>";
  out += "<line id=\"cursor\" y1=\"0\" y2=\"" + fisso(kAsse, 1) + "\" visibility=\"hidden\"/>";
  // The value of each step of the speed limit where it has room, written
  // by the script for the stretch in view.
  out += "<g id=\"limit-values\" clip-path=\"url(#plot)\"></g>";
  out += "<g id=\"axis\"></g></svg></section>";
  return out;
}

std::string intestazione(const Contenuto& c) {
  const ScenarioCompilato& sc = c.sc;
  int conta[10] = {};
  for (const EventoPercorso& e : c.eventi)
    if (e.marca) ++conta[static_cast<int>(*e.marca)];
  const int64_t fine = c.fine;
  const auto voce = [&](TipoMarca t, const char* uno, const char* molti) {
    const int k = conta[static_cast<int>(t)];
    return "<span class=\"count " + std::string(nome_marca(t)) + "\">" + n(k) + " " +
           (k == 1 ? uno : molti) + "</span>";
  };
  std::string out = "<header><h1>" + html(sc.nomi.nome_scenario) + " <small>train " +
                    html(sc.nomi.numero_treno) + "</small></h1><p class=\"summary\">";
  out += "<span>route length " + migliaia(sc.voci[kVoceGeneraliPercorso].fine) + " m as written, " +
         migliaia(static_cast<int64_t>(sc.segmenti.size())) + " segments to " + migliaia(fine) +
         " m</span>";
  // The profile names the places without a station mark beside the
  // stations: both are counted, apart.
  const int64_t altri = static_cast<int64_t>(altri_luoghi(c).size());
  out += voce(TipoMarca::kStation, "station", "stations") + "<span class=\"count place\">" +
         n(altri) + (altri == 1 ? " other place" : " other places") + "</span>" +
         voce(TipoMarca::kSignal, "signal", "signals") + voce(TipoMarca::kSign, "sign", "signs") +
         voce(TipoMarca::kIndicator, "speed indicator", "speed indicators") +
         voce(TipoMarca::kSlowdown, "slowdown", "slowdowns") +
         voce(TipoMarca::kAbatement, "code abatement", "code abatements");
  out += "<span class=\"count montagna\">" + n(static_cast<int64_t>(c.tratti.montagna.size())) +
         " montagna stretches</span></p></header>";
  return out;
}

}  // namespace

std::string pagina_percorso(const ScenarioCompilato& s) {
  const Contenuto c{s, eventi_percorso(s.segmenti, s.voci), tratti_percorso(s.segmenti),
                    static_cast<int64_t>(s.segmenti.size()) * 50};
  std::string dati;
  std::string corpo = intestazione(c);
  // The profile first, whole in the window with the header; the plan
  // below it.
  corpo += sezione_profilo(c, dati);
  corpo += sezione_piano(s, dati);

  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">" +
      std::string(kFirmaPagina) +
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>" +
      html(s.nomi.nome_scenario) + " train " + html(s.nomi.numero_treno) +
      ": route</title><style>\n";
  out += stile_pagina();
  out += "</style></head><body data-ready=\"no\">" + corpo;
  out +=
      "<div id=\"tip\" hidden></div><pre id=\"page-errors\" hidden></pre><script>\n\"use "
      "strict\";\n";
  out += dati;
  out += '\n';
  out += script_pagina();
  out += "</script></body></html>\n";
  return out;
}

}  // namespace tratta
