#include "authoring/view_plan_labels.h"

#include <algorithm>
#include <string_view>

#include "authoring/eventi_percorso.h"
#include "model/windows1252.h"

namespace tratta {

namespace {

/// A rectangle on the page, in pixels, taken by a label.
struct Riquadro {
  double x0, y0, x1, y1;
  bool tocca(const Riquadro& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

/// Width in pixels of `testo` at `corpo` px, roughly: bold capitals are
/// the widest letters the labels hold.
double larghezza_testo(std::string_view testo, double corpo) {
  size_t caratteri = 0;
  for (char c : testo) caratteri += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return static_cast<double>(caratteri) * corpo * 0.68;
}

/// Keeps labels apart: a label goes where it overlaps none placed before.
class Etichette {
 public:
  explicit Etichette(const VistaPiano& v) : v_(v) {}

  /// `testo` at `corpo` px beside `p`, `dx` px across from it, running to
  /// the right or ending there; none if it would overlap a label placed.
  std::optional<TestoPiano> poni(const PuntoPiano& p, double dx, double corpo, bool a_destra,
                                 std::string testo) {
    const double larghezza = larghezza_testo(testo, corpo);
    const double x = v_.px(p.x) + dx;
    const Riquadro r{a_destra ? x : x - larghezza, v_.py(p.y) - corpo * 0.8,
                     a_destra ? x + larghezza : x, v_.py(p.y) + corpo * 0.3};
    if (std::any_of(prese_.begin(), prese_.end(), [&](const Riquadro& q) { return q.tocca(r); }))
      return std::nullopt;
    prese_.push_back(r);
    return TestoPiano{p.x + dx * v_.u, -p.y + corpo * 0.35 * v_.u, corpo * v_.u, a_destra,
                      std::move(testo)};
  }

 private:
  const VistaPiano& v_;
  std::vector<Riquadro> prese_;
};

}  // namespace

EtichettePiano etichette_piano(const FileLinea& linea, const std::vector<Segmento>& segmenti,
                               const std::array<Voce, kNumeroVoci>& voci, const VistaPiano& v) {
  EtichettePiano out;
  const int64_t ultimo_metro = linea.metri_totali();
  // Kilometre marks along the route, two dozen at most.
  out.passo = 1000;
  for (int64_t p : {1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000}) {
    out.passo = p;
    if (ultimo_metro / p <= 24) break;
  }
  if (ultimo_metro < 0) return out;

  Etichette etichette(v);
  // Stations first, so that their names win over the kilometre marks.
  for (const VoceInUso& u : voci_in_uso(segmenti, voci)) {
    if (u.cartello) continue;
    const Voce& voce = voci[static_cast<size_t>(u.slot)];
    const auto p = punto_piano(linea, std::clamp<int64_t>(voce.posizione, 0, ultimo_metro));
    if (!p) continue;
    LuogoPiano luogo{*p, voce.tipo < 25, std::nullopt};
    if (luogo.stazione) {
      const std::string nome = decode_windows1252(voce.nome);
      luogo.nome = etichette.poni(*p, -8, 12, false, nome);
      if (!luogo.nome) luogo.nome = etichette.poni(*p, 8, 12, true, nome);
    }
    out.luoghi.push_back(std::move(luogo));
  }
  for (int64_t m = out.passo; m <= ultimo_metro; m += out.passo)
    if (const auto p = punto_piano(linea, m))
      out.km.push_back({*p, etichette.poni(*p, 6, 10, true, std::to_string(m / 1000) + " km")});
  return out;
}

}  // namespace tratta
