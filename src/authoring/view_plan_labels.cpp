#include "authoring/view_plan_labels.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "authoring/eventi_percorso.h"
#include "model/windows1252.h"

namespace tratta {

namespace {

/// A rectangle on the page, in pixels, taken by a label or a dot.
struct Riquadro {
  double x0, y0, x1, y1;
  bool tocca(const Riquadro& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
  Riquadro allargato(double d) const { return {x0 - d, y0 - d, x1 + d, y1 + d}; }
};

/// A stretch of the track between two drawn points, in pixels.
struct Tratto2 {
  double ax, ay, bx, by;
};

/// Whether the stretch crosses `r` or lies in it (Liang and Barsky's
/// clipping of the stretch to the rectangle).
bool attraversa(const Riquadro& r, const Tratto2& s) {
  const double dx = s.bx - s.ax, dy = s.by - s.ay;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {s.ax - r.x0, r.x1 - s.ax, s.ay - r.y0, r.y1 - s.ay};
  double t0 = 0, t1 = 1;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  return true;
}

/// Width in pixels of `testo` at `corpo` px, a little more than a browser
/// draws it: `em` is the widest average advance of the letters the label
/// holds, in ems.
double larghezza_testo(std::string_view testo, double corpo, double em) {
  size_t caratteri = 0;
  for (char c : testo) caratteri += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return static_cast<double>(caratteri) * corpo * em;
}

/// What the plan's box holds so far, by cells of a grid, so that a label
/// is tested against what lies near it only.
class Occupato {
 public:
  Occupato(double larghezza, double altezza)
      : larghezza_(larghezza),
        altezza_(altezza),
        colonne_(static_cast<int>(std::ceil(larghezza / kCella)) + 1),
        righe_(static_cast<int>(std::ceil(altezza / kCella)) + 1),
        celle_(static_cast<size_t>(colonne_ * righe_)) {}

  void aggiungi(const Riquadro& r) {
    riquadri_.push_back(r);
    per_cella(r, [&](Cella& c) { c.riquadri.push_back(riquadri_.size() - 1); });
  }
  void aggiungi(const Tratto2& s) {
    tratti_.push_back(s);
    const Riquadro r{std::min(s.ax, s.bx), std::min(s.ay, s.by), std::max(s.ax, s.bx),
                     std::max(s.ay, s.by)};
    per_cella(r.allargato(kMargineTracciato),
              [&](Cella& c) { c.tratti.push_back(tratti_.size() - 1); });
  }

  /// Inside the box and clear of everything held.
  bool libero(const Riquadro& r) {
    if (r.x0 < 0 || r.y0 < 0 || r.x1 > larghezza_ || r.y1 > altezza_) return false;
    const Riquadro largo = r.allargato(kMargineTracciato);
    bool ok = true;
    per_cella(r, [&](Cella& c) {
      for (size_t i : c.riquadri) ok = ok && !riquadri_[i].tocca(r);
      for (size_t i : c.tratti) ok = ok && !attraversa(largo, tratti_[i]);
    });
    return ok;
  }

 private:
  static constexpr double kCella = 24;
  struct Cella {
    std::vector<size_t> riquadri, tratti;
  };
  template <class F>
  void per_cella(const Riquadro& r, F f) {
    const auto cella = [](double v, int quante) {
      return std::clamp(static_cast<int>(std::floor(v / kCella)), 0, quante - 1);
    };
    const auto colonna = [&](double x) { return cella(x, colonne_); };
    const auto riga = [&](double y) { return cella(y, righe_); };
    if (!(r.x0 <= r.x1 && r.y0 <= r.y1)) return;  // not a number
    for (int j = riga(r.y0); j <= riga(r.y1); ++j)
      for (int i = colonna(r.x0); i <= colonna(r.x1); ++i)
        f(celle_[static_cast<size_t>(j * colonne_ + i)]);
  }

  double larghezza_, altezza_;
  int colonne_, righe_;
  std::vector<Cella> celle_;
  std::vector<Riquadro> riquadri_;
  std::vector<Tratto2> tratti_;
};

/// Places labels beside dots, each where it is clear of what `occupato`
/// holds, trying the sides in the order asked for.
class Etichette {
 public:
  Etichette(const VistaPiano& v, Occupato& occupato) : v_(v), occupato_(occupato) {}

  /// `testo` at `corpo` px beside the dot of radius `r` at `p`: to its
  /// left or right first (`sinistra_prima`), then above or below.
  std::optional<TestoPiano> poni(const PuntoPiano& p, double r, double corpo, double em,
                                 bool sinistra_prima, std::string testo) {
    const double w = larghezza_testo(testo, corpo, em);
    const double x = v_.px(p.x), y = v_.py(p.y);
    // Where the baseline starts (or ends, to the left) for each side.
    struct Lato {
      double x, base;
      bool a_destra;
    };
    // Beside the dot, then at its corners, a little further out each time,
    // so that a name finds room off a track that runs through the dot.
    const double centro = y + corpo * 0.35;
    std::vector<Lato> lati;
    for (double d : {3.0, 9.0}) {
      const Lato destra{x + r + d, centro, true}, sinistra{x - r - d, centro, false};
      lati.push_back(sinistra_prima ? sinistra : destra);
      lati.push_back(sinistra_prima ? destra : sinistra);
      const double sopra = y - r - d - corpo * 0.25, sotto = y + r + d + corpo * 0.95;
      for (double base : {sopra, sotto})
        for (bool a_destra : {!sinistra_prima, sinistra_prima})
          lati.push_back({a_destra ? x + r : x - r, base, a_destra});
    }
    for (const Lato& l : lati) {
      const double x0 = l.a_destra ? l.x : l.x - w;
      const Riquadro q{x0, l.base - corpo * 0.95, x0 + w, l.base + corpo * 0.25};
      if (!occupato_.libero(q)) continue;
      occupato_.aggiungi(q.allargato(1));
      return TestoPiano{v_.vx + l.x * v_.u, v_.vy + l.base * v_.u, corpo * v_.u, l.a_destra,
                        std::move(testo)};
    }
    return std::nullopt;
  }

 private:
  const VistaPiano& v_;
  Occupato& occupato_;
};

/// The box of a dot of radius `r` at `p`.
Riquadro punto(const VistaPiano& v, const PuntoPiano& p, double r) {
  return {v.px(p.x) - r, v.py(p.y) - r, v.px(p.x) + r, v.py(p.y) + r};
}

}  // namespace

EtichettePiano etichette_piano(const FileLinea& linea, const GeometriaPiano& g,
                               const std::vector<Segmento>& segmenti,
                               const std::array<Voce, kNumeroVoci>& voci) {
  const VistaPiano& v = g.vista;
  EtichettePiano out;
  const int64_t ultimo_metro = linea.metri_totali();
  // Kilometre marks along the route, two dozen at most.
  out.passo = 1000;
  for (int64_t p : {1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000}) {
    out.passo = p;
    if (ultimo_metro / p <= 24) break;
  }
  if (ultimo_metro < 0) return out;

  for (const VoceInUso& u : voci_in_uso(segmenti, voci)) {
    if (u.cartello) continue;
    const Voce& voce = voci[static_cast<size_t>(u.slot)];
    const auto p = punto_piano(linea, std::clamp<int64_t>(voce.posizione, 0, ultimo_metro));
    if (!p) continue;
    out.luoghi.push_back({*p, voce.tipo < 25, decode_windows1252(voce.nome), std::nullopt});
  }
  for (int64_t m = out.passo; m <= ultimo_metro; m += out.passo)
    if (const auto p = punto_piano(linea, m)) out.km.push_back({*p, std::nullopt});

  // The track and every dot first: no label may cover them.
  Occupato occupato(kLarghezzaPiano, v.altezza);
  for (const LineaDisegnata& l : g.linee)
    for (size_t i = 0; i < l.punti.size(); ++i) {
      const PuntoPiano& a = l.punti[i];
      const PuntoPiano& b = l.punti[i + 1 < l.punti.size() ? i + 1 : i];
      occupato.aggiungi(Tratto2{v.px(a.x), v.py(a.y), v.px(b.x), v.py(b.y)});
    }
  for (const LuogoPiano& l : out.luoghi)
    occupato.aggiungi(punto(v, l.punto, l.stazione ? kRaggioStazione : kRaggioLuogo));
  for (const SegnoKm& k : out.km) occupato.aggiungi(punto(v, k.punto, kRaggioKm));

  // Stations' names in bold capitals, then the kilometres.
  Etichette etichette(v, occupato);
  for (LuogoPiano& l : out.luoghi)
    if (l.stazione)
      l.nome_scritto = etichette.poni(l.punto, kRaggioStazione, 12, 0.74, true, l.nome);
  for (SegnoKm& k : out.km)
    k.etichetta = etichette.poni(k.punto, kRaggioKm, 10, 0.64, false,
                                 std::to_string(k.punto.metro / 1000) + " km");
  return out;
}

}  // namespace tratta
