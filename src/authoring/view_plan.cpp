#include "authoring/view_plan.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "authoring/display_text.h"
#include "authoring/html_text.h"
#include "authoring/plan_thinning.h"
#include "authoring/route_events.h"
#include "model/windows1252.h"

namespace tratta {

namespace {

// The plan's box on the page, in pixels; text and marks on the plan are
// sized from it.
constexpr double kLarghezza = 1160;
constexpr double kAltezzaMinima = 260;
constexpr double kAltezzaMassima = 460;

std::string n(int64_t v) { return std::to_string(v); }

/// A rectangle on the page, in pixels, taken by a label.
struct Riquadro {
  double x0, y0, x1, y1;
  bool tocca(const Riquadro& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

/// Keeps labels apart: a label goes where it overlaps none placed before.
struct Etichette {
  std::vector<Riquadro> prese;
  bool libero(const Riquadro& r) const {
    return std::none_of(prese.begin(), prese.end(), [&](const Riquadro& p) { return p.tocca(r); });
  }
};

/// Width in pixels of `testo` at `corpo` px, roughly: bold capitals are
/// the widest letters the labels hold.
double larghezza_testo(std::string_view testo, double corpo) {
  size_t caratteri = 0;
  for (char c : testo) caratteri += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return static_cast<double>(caratteri) * corpo * 0.68;
}

/// The plan's mapping onto the page: plan units per pixel and the box's
/// corner; y grows to the north on the plan and downwards on the page.
struct Vista {
  double u, vx, vy, altezza;
  double px(double x) const { return (x - vx) / u; }
  double py(double y) const { return (-y - vy) / u; }
};

}  // namespace

std::string sezione_piano(const ScenarioCompilato& s, std::string& dati_script) {
  std::string out = "<section class=\"panel\" id=\"plan-panel\"><h2>Plan</h2>";
  const auto linee = s.linea ? linee_piano(*s.linea) : std::vector<std::vector<PuntoPiano>>{};
  if (linee.empty()) {
    out += s.linea ? "<p class=\"missing\">The line file holds no point of the plan.</p></section>"
                   : "<p class=\"missing\">No line file: this scenario was compiled without a plan "
                     "(<code>--no-plan</code>), so there is no plan to draw. The profile below "
                     "shows the rest.</p></section>";
    dati_script += "const PLAN=null;\n";
    return out;
  }
  const FileLinea& linea = *s.linea;
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (const auto& l : linee)
    for (const PuntoPiano& p : l) {
      x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
      y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
  // At least 100 m each way, so that a short or straight route still has
  // a box; the box is as tall as the plan needs, within limits.
  const double w = std::max(100.0, x1 - x0), h = std::max(100.0, y1 - y0);
  Vista v;
  v.altezza = std::clamp(kLarghezza * h / w, kAltezzaMinima, kAltezzaMassima);
  v.u = std::max(w / kLarghezza, h / v.altezza) * 1.1;
  v.vx = (x0 + x1) / 2 - kLarghezza * v.u / 2;
  v.vy = -(y0 + y1) / 2 - v.altezza * v.u / 2;
  // A quarter of a pixel: what thinning drops cannot be seen.
  const double tolleranza = v.u / 4;
  const int decimali = v.u < 0.05 ? 3 : v.u < 0.5 ? 2 : 1;

  out += "<svg id=\"plan\" style=\"height:" + fisso(v.altezza, 0) + "px\" viewBox=\"" +
         fisso(v.vx, 1) + " " + fisso(v.vy, 1) + " " + fisso(kLarghezza * v.u, 1) + " " +
         fisso(v.altezza * v.u, 1) + "\" data-unit=\"" + fisso(v.u, 4) +
         "\" preserveAspectRatio=\"xMidYMid meet\" role=\"img\" aria-label=\"the plan of the route "
         "from above\">";
  dati_script += "const PLAN=[";
  for (size_t i = 0; i < linee.size(); ++i) {
    const auto punti = dirada(linee[i], tolleranza);
    out += "<polyline class=\"mk track\" data-kind=\"plan\" data-metre=\"" +
           n(punti.front().metro) + "\" data-info=\"" +
           html("plan from " + n(punti.front().metro) + " m to " + n(punti.back().metro) + " m, " +
                n(static_cast<int64_t>(linee[i].size())) + " points, " +
                n(static_cast<int64_t>(punti.size())) + " drawn") +
           "\" points=\"";
    dati_script += i ? ",[" : "[";
    for (size_t j = 0; j < punti.size(); ++j) {
      const std::string xy = fisso(punti[j].x, decimali) + "," + fisso(-punti[j].y, decimali);
      out += (j ? " " : "") + xy;
      dati_script += (j ? ",[" : "[") + n(punti[j].metro) + "," + xy + "]";
    }
    out += "\"/>";
    dati_script += "]";
  }
  dati_script += "];\n";
  out += "<polyline id=\"plan-view\" points=\"\"/><circle id=\"plan-here\" r=\"" +
         fisso(v.u * 5, 3) + "\" cx=\"0\" cy=\"0\" visibility=\"hidden\"/>";

  const int64_t ultimo_metro = linea.metri_totali();
  const auto punto = [&](int64_t m) -> std::optional<PuntoPiano> {
    if (m < 0 || m > ultimo_metro) return std::nullopt;
    const ElementoPiano& ex = linea.assi[0][static_cast<size_t>(m)];
    const ElementoPiano& ey = linea.assi[1][static_cast<size_t>(m)];
    if (ex.tag == TagPiano::kVuoto || ey.tag == TagPiano::kVuoto || !std::isfinite(ex.valore) ||
        !std::isfinite(ey.valore))
      return std::nullopt;
    return PuntoPiano{m, ex.valore, ey.valore};
  };
  Etichette etichette;
  const auto testo_in = [&](const PuntoPiano& p, double dx, double corpo, bool a_destra,
                            const std::string& t, const char* attributi) -> std::string {
    const double larghezza = larghezza_testo(t, corpo);
    const double x = v.px(p.x) + dx;
    const Riquadro r{a_destra ? x : x - larghezza, v.py(p.y) - corpo * 0.8,
                     a_destra ? x + larghezza : x, v.py(p.y) + corpo * 0.3};
    if (!etichette.libero(r)) return {};
    etichette.prese.push_back(r);
    return "<text x=\"" + fisso(p.x + dx * v.u, 1) + "\" y=\"" +
           fisso(-p.y + corpo * 0.35 * v.u, 1) + "\" font-size=\"" + fisso(corpo * v.u, 3) + "\"" +
           attributi + (a_destra ? "" : " text-anchor=\"end\"") + ">" + html(t) + "</text>";
  };

  // Stations first, so that their names win over the kilometre marks.
  std::string stazioni;
  for (const VoceInUso& u : voci_in_uso(s.segmenti, s.voci)) {
    if (u.cartello) continue;
    const Voce& voce = s.voci[static_cast<size_t>(u.slot)];
    const auto p = punto(std::clamp<int64_t>(voce.posizione, 0, ultimo_metro));
    if (!p) continue;
    const bool stazione = voce.tipo < 25;
    stazioni += "<g class=\"" + std::string(stazione ? "st" : "junction") + "\"><circle cx=\"" +
                fisso(p->x, 1) + "\" cy=\"" + fisso(-p->y, 1) + "\" r=\"" +
                fisso((stazione ? 4.5 : 2.5) * v.u, 3) + "\"/>";
    if (stazione) {
      const std::string nome = decode_windows1252(voce.nome);
      const std::string alone = " stroke-width=\"" + fisso(3 * v.u, 3) + "\"";
      std::string t = testo_in(*p, -8, 12, false, nome, alone.c_str());
      if (t.empty()) t = testo_in(*p, 8, 12, true, nome, alone.c_str());
      stazioni += t;
    }
    stazioni += "</g>";
  }

  // Kilometre marks along the route, two dozen at most.
  int64_t passo = 1000;
  for (int64_t p : {1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000}) {
    passo = p;
    if (ultimo_metro / p <= 24) break;
  }
  out += "<g class=\"km\">";
  for (int64_t m = passo; m <= ultimo_metro; m += passo) {
    const auto p = punto(m);
    if (!p) continue;
    out += "<circle cx=\"" + fisso(p->x, 1) + "\" cy=\"" + fisso(-p->y, 1) + "\" r=\"" +
           fisso(2.4 * v.u, 3) + "\"/>" + testo_in(*p, 6, 10, true, n(m / 1000) + " km", "");
  }
  out += "</g><g class=\"places\">" + stazioni + "</g>";
  out +=
      "</svg><p class=\"caption\">North is up. Kilometre marks every " + n(passo / 1000) +
      " km from the route's start; the stretch shown in the profile is drawn in red.</p></section>";
  return out;
}

}  // namespace tratta
