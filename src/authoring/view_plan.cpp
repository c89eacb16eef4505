#include "authoring/view_plan.h"

#include "authoring/display_text.h"
#include "authoring/html_text.h"
#include "authoring/view_plan_geometry.h"
#include "authoring/view_plan_labels.h"

namespace tratta {

namespace {

std::string n(int64_t v) { return std::to_string(v); }

/// A label as SVG text, with `attributi` of its own.
std::string testo(const TestoPiano& t, const std::string& attributi = {}) {
  return "<text x=\"" + fisso(t.x, 1) + "\" y=\"" + fisso(t.y, 1) + "\" font-size=\"" +
         fisso(t.dimensione, 3) + "\"" + attributi + (t.a_destra ? "" : " text-anchor=\"end\"") +
         ">" + html(t.testo) + "</text>";
}

/// A dot of radius `r` at `p`.
std::string punto(const PuntoPiano& p, double r) {
  return "<circle cx=\"" + fisso(p.x, 1) + "\" cy=\"" + fisso(-p.y, 1) + "\" r=\"" + fisso(r, 3) +
         "\"/>";
}

}  // namespace

std::string sezione_piano(const ScenarioCompilato& s, std::string& dati_script) {
  std::string out = "<section class=\"panel\" id=\"plan-panel\"><h2>Plan</h2>";
  const auto g = s.linea ? geometria_piano(*s.linea) : std::nullopt;
  if (!g) {
    out += s.linea ? "<p class=\"missing\">The line file holds no point of the plan.</p></section>"
                   : "<p class=\"missing\">No line file: this scenario was compiled without a plan "
                     "(<code>--no-plan</code>), so there is no plan to draw. The profile below "
                     "shows the rest.</p></section>";
    dati_script += "const PLAN=null;\n";
    return out;
  }
  const VistaPiano& v = g->vista;

  out += "<svg id=\"plan\" style=\"height:" + fisso(v.altezza, 0) + "px\" viewBox=\"" +
         fisso(v.vx, 1) + " " + fisso(v.vy, 1) + " " + fisso(kLarghezzaPiano * v.u, 1) + " " +
         fisso(v.altezza * v.u, 1) + "\" data-unit=\"" + fisso(v.u, 4) +
         "\" preserveAspectRatio=\"xMidYMid meet\" role=\"img\" aria-label=\"the plan of the route "
         "from above\">";
  // Each line once as a polyline and once in the script's data, the same
  // figures in both.
  dati_script += "const PLAN=[";
  for (size_t i = 0; i < g->linee.size(); ++i) {
    const auto& punti = g->linee[i].punti;
    out += "<polyline class=\"mk track\" data-kind=\"plan\" data-metre=\"" +
           n(punti.front().metro) + "\" data-info=\"" +
           html("plan from " + n(punti.front().metro) + " m to " + n(punti.back().metro) + " m, " +
                n(static_cast<int64_t>(g->linee[i].punti_linea)) + " points, " +
                n(static_cast<int64_t>(punti.size())) + " drawn") +
           "\" points=\"";
    dati_script += i ? ",[" : "[";
    for (size_t j = 0; j < punti.size(); ++j) {
      const std::string xy = fisso(punti[j].x, g->decimali) + "," + fisso(-punti[j].y, g->decimali);
      out += (j ? " " : "") + xy;
      dati_script += (j ? ",[" : "[") + n(punti[j].metro) + "," + xy + "]";
    }
    out += "\"/>";
    dati_script += "]";
  }
  dati_script += "];\n";
  out += "<polyline id=\"plan-view\" points=\"\"/><circle id=\"plan-here\" r=\"" +
         fisso(v.u * 5, 3) + "\" cx=\"0\" cy=\"0\" visibility=\"hidden\"/>";

  const EtichettePiano e = etichette_piano(*s.linea, *g, s.segmenti, s.voci);
  out += "<g class=\"km\">";
  for (const SegnoKm& k : e.km) {
    out += punto(k.punto, kRaggioKm * v.u);
    if (k.etichetta) out += testo(*k.etichetta);
  }
  out += "</g><g class=\"places\">";
  // A station's name has a halo of the plan's background around it; every
  // place tells its name on hover, written or not.
  const std::string alone = " stroke-width=\"" + fisso(3 * v.u, 3) + "\"";
  for (const LuogoPiano& l : e.luoghi) {
    out += "<g class=\"" + std::string(l.stazione ? "st" : "junction") + "\"><title>" +
           html(l.nome) + "</title>" +
           punto(l.punto, (l.stazione ? kRaggioStazione : kRaggioLuogo) * v.u);
    if (l.nome_scritto) out += testo(*l.nome_scritto, alone);
    out += "</g>";
  }
  out += "</g>";
  out +=
      "</svg><p class=\"caption\">North is up. Kilometre marks every " + n(e.passo / 1000) +
      " km from the route's start; the stretch shown in the profile is drawn in red.</p></section>";
  return out;
}

}  // namespace tratta
