#include "percorso_lungo.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace tratta::bench {

namespace {

// The route: 1,000,000 m stated, 1,007,000 m of plan, segments 0 to 20140.
constexpr int32_t kMetriTotali = kLunghezzaPercorsoLungo + 7000;
constexpr int32_t kUltimoSegmento = kMetriTotali / 50;
// No record stands beyond this point; curves end before the plan's limit
// of 1,000,000 m.
constexpr int32_t kUltimaPosizione = 997000;

// Table slots: sign texts fill from slot 80 down, stations from slot 1 up;
// 40 signs leave slots 1 to 38 to stations (a 39th would meet slot 40).
constexpr int kCartelli = 40;
constexpr int kStazioni = 38;
constexpr int kMassimoMontagne = 78;  // the montagna list holds 80

/// A fixed-seed generator (splitmix64): the same numbers on every platform.
class Sorgente {
 public:
  explicit Sorgente(uint64_t seme) : stato_(seme) {}

  uint64_t prossimo() {
    uint64_t z = (stato_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  /// A whole number from `a` to `b`, both included.
  int32_t tra(int32_t a, int32_t b) {
    return a + static_cast<int32_t>(prossimo() % static_cast<uint64_t>(b - a + 1));
  }

  /// A multiple of 50 m from 50 x `a` to 50 x `b`.
  int32_t metri50(int32_t a, int32_t b) { return 50 * tra(a, b); }

  template <typename T, size_t N>
  const T& uno_di(const std::array<T, N>& scelte) {
    return scelte[prossimo() % N];
  }

 private:
  uint64_t stato_;
};

/// Which segments an event of the descriptions already claims.
class Occupazione {
 public:
  Occupazione() : presi_(kUltimoSegmento + 1, false) {}

  bool liberi(int32_t da, int32_t a) const {
    if (da < 0 || a > kUltimoSegmento) return false;
    for (int32_t k = da; k <= a; ++k)
      if (presi_[k]) return false;
    return true;
  }

  void prendi(int32_t da, int32_t a) {
    for (int32_t k = std::max(da, 0); k <= std::min(a, kUltimoSegmento); ++k) presi_[k] = true;
  }

  /// First position from `p` on, in steps of 50 m, whose segment (p / 50 +
  /// `scarto`) is free; the segment is then taken. -1 past the last usable
  /// position.
  int32_t prendi_da(int32_t p, int32_t scarto) {
    for (; p <= kUltimaPosizione; p += 50) {
      const int32_t i = p / 50 + scarto;
      if (liberi(i, i)) {
        prendi(i, i);
        return p;
      }
    }
    return -1;
  }

 private:
  std::vector<bool> presi_;
};

/// Lines of one description, ended by CR LF.
class Testo {
 public:
  void riga(std::string_view r) {
    testo_.append(r);
    testo_.append("\r\n");
  }

  template <typename... Numeri>
  void record(std::string_view chiave, Numeri... numeri) {
    std::string r(chiave);
    ((r += ", " + std::to_string(numeri)), ...);
    riga(r);
  }

  std::string prendi() { return std::move(testo_); }

 private:
  std::string testo_;
};

struct Segnale {
  int32_t posizione;
  std::array<int32_t, 10> valori;  // sx s1 s2 s3 rapp, dx d1 d2 d3 tempo
};

struct Stazione {
  int32_t posizione, tipo, lunghezza, tps, tab, mar;
  std::array<int32_t, 7> colonne;  // d2 d3 rap d1 d2 d3 ac
  int32_t ore, minuti, secondi;
  std::string nome;
};

constexpr std::array<std::string_view, 10> kNomiPrimi = {
    "BORGO", "PIAN", "COLLE", "VILLA", "CASE", "PONTE", "SAN MAURO", "PRATO", "ROCCA", "POGGIO"};
constexpr std::array<std::string_view, 10> kNomiSecondi = {
    "ALTO", "NUOVO", "VERDE", "DEI FRATI", "FIORITO", "SECCO", "DI SOPRA", "LUNGO", "SCURO",
    "MARINO"};

std::string nome_luogo(Sorgente& r, int32_t numero) {
  return std::string(r.uno_di(kNomiPrimi)) + " " + std::string(r.uno_di(kNomiSecondi)) + " " +
         std::to_string(numero);
}

/// A main signal (left side 2) or a distant one (left side 1), with the
/// time value sometimes set: 0, 1 to 100 (raised to 101) and above 100.
Segnale segnale(Sorgente& r, int32_t posizione, bool principale) {
  static constexpr std::array<int32_t, 4> kTempi = {0, 0, 50, 150};
  const int32_t aspetto = r.tra(0, 1);
  if (principale) {
    return {posizione, {2, 4, aspetto, 0, 0, 2, 2, aspetto, 0, r.uno_di(kTempi)}};
  }
  return {posizione, {1, 4, aspetto, 0, 0, 1, 1 + 2 * aspetto, aspetto, 0, 0}};
}

}  // namespace

PercorsoGenerato genera_percorso_lungo() {
  Sorgente r(0x7A3B'2F11'9C04'D5E6ULL);
  Occupazione occ;
  ConteggiPercorso n;
  std::vector<Segnale> segnali;

  // Stations first: every 5 to 10 km from the start of the route until the
  // table's slots for them are used up. Each claims its own extent and a
  // margin around it, since the station mark takes its segment unchecked.
  std::vector<Stazione> stazioni;
  {
    static constexpr std::array<int32_t, 11> kTipi = {2, 12, 25, 2, 26, 12, 2, 27, 2, 28, 12};
    int32_t posizione = 0;
    int32_t orario = 7 * 3600 + 7 * 60;
    int32_t fine_precedente = 0;
    for (int s = 1; s <= kStazioni; ++s) {
      Stazione st{};
      st.posizione = posizione;
      int32_t inizio = 0, fine = 0;
      if (s == 1) {
        st.tipo = 8;
        st.lunghezza = 500;
        st.tps = 1;
        inizio = posizione - st.lunghezza;
        fine = posizione + st.lunghezza;
      } else if (s == kStazioni) {
        st.tipo = 6;
        st.lunghezza = 400;
        inizio = posizione - st.lunghezza;
        fine = posizione + 150;
      } else {
        st.tipo = kTipi[static_cast<size_t>(s) % kTipi.size()];
        st.lunghezza = 100 * r.tra(4, 9);
        st.tab = static_cast<int32_t>(r.tra(0, 1));
        st.mar = static_cast<int32_t>(r.tra(0, 1));
        inizio = posizione - st.lunghezza / 2;
        fine = posizione + st.lunghezza / 2 + (st.mar != 0 ? 50 : 0);
      }
      if (s > 1 && inizio - 350 < fine_precedente)
        throw std::logic_error("stations too close together");
      fine_precedente = fine;
      const bool ferma = st.tipo < 25;
      st.colonne = ferma ? std::array<int32_t, 7>{1, 1, 0, 4, 1, 1, s == 1 ? 1 : 0}
                         : std::array<int32_t, 7>{};
      if (ferma) {
        st.ore = orario / 3600;
        st.minuti = orario / 60 % 60;
        st.secondi = orario % 60;
      }
      st.nome = nome_luogo(r, s);
      occ.prendi(inizio / 50 - 2, fine / 50 + 10);
      stazioni.push_back(st);

      const int32_t passo = r.metri50(100, 200);
      // About 110 km/h between stations, one minute standing at each.
      orario += passo * 36 / 1100 + (ferma ? 60 : 0);
      posizione += passo;
    }
    n.stazioni = static_cast<int>(stazioni.size());
  }

  // Slowdowns, about every 18 km. Each owns the segments from 24 before its
  // warning to 13 after its end: nothing else is placed there but a signal
  // 8 segments before the warning and one 6 segments after the end, so the
  // finishing pass exercises every one of its rules and always finds room.
  struct Rallentamento {
    int32_t x, v, l, f_tt, f_ta, d_v;
  };
  std::vector<Rallentamento> rallentamenti;
  {
    static constexpr std::array<int32_t, 7> kVelocita = {30, 50, 60, 80, 100, 120, 140};
    for (int32_t base = 9000; base < 980000; base += 18000) {
      int32_t x = base + r.metri50(0, 60);
      const int32_t l = r.metri50(16, 60);
      for (;; x += 1000) {
        if (x + l + 1000 > kUltimaPosizione) break;
        const int32_t w = x / 50 - 23;
        const int32_t e = (x + l) / 50 + 1;
        if (!occ.liberi(w - 24, e + 13)) continue;
        occ.prendi(w - 24, e + 13);
        const int k = static_cast<int>(rallentamenti.size());
        rallentamenti.push_back({x, r.uno_di(kVelocita), l, r.tra(0, 1), k % 4 == 3 ? 0 : 1,
                                 k % 3 == 2 ? r.tra(1, 2) : 0});
        segnali.push_back(segnale(r, (w - 9) * 50, true));
        segnali.push_back(segnale(r, (e + 5) * 50, true));
        n.segnali_a_protezione += 2;
        break;
      }
    }
    n.rallentamenti = static_cast<int>(rallentamenti.size());
  }

  // Indication signs: one about every 25 km.
  struct Cartello {
    int32_t posizione;
    std::string testo;
  };
  std::vector<Cartello> cartelli;
  {
    static constexpr std::array<std::string_view, 3> kOpere = {"[GALLERIA]", "[VIADOTTO]",
                                                               "[PONTE]"};
    for (int k = 1; k <= kCartelli; ++k) {
      const int32_t p = occ.prendi_da(25000 * k - 12000 + r.metri50(0, 40), 1);
      if (p < 0) throw std::logic_error("no room for a sign");
      cartelli.push_back({p, std::string(r.uno_di(kOpere)) + " [" + nome_luogo(r, k) + "] [" +
                                 std::to_string(r.metri50(2, 60)) + " m]"});
    }
    n.cartelli = static_cast<int>(cartelli.size());
  }

  // Maximum-speed indicators, about every 5 km.
  struct Indicatore {
    int32_t posizione;
    std::array<int32_t, 8> valori;
  };
  std::vector<Indicatore> indicatori;
  for (int32_t base = 2500; base < 990000; base += 5000) {
    const int32_t p = occ.prendi_da(base + r.metri50(0, 20), 1);
    if (p < 0) break;
    const int32_t v = 5 * r.tra(12, 32);
    const int32_t codice = r.tra(0, 2);
    indicatori.push_back({p, {v, v + 5, v + 10, codice, v, v + 5, v + 10, codice}});
  }
  n.indicatori = static_cast<int>(indicatori.size());

  // Signals every 1 to 2 km, main and distant in turn, on the segments that
  // are left.
  {
    bool principale = false;
    for (int32_t base = 1100; base <= kUltimaPosizione; base += r.metri50(20, 40)) {
      const int32_t p = occ.prendi_da(base, 1);
      if (p < 0) break;
      segnali.push_back(segnale(r, p, principale));
      principale = !principale;
    }
    std::sort(segnali.begin(), segnali.end(),
              [](const Segnale& a, const Segnale& b) { return a.posizione < b.posizione; });
    n.segnali = static_cast<int>(segnali.size());
  }

  // Code abatements stated by the train description, about every 4 km; a
  // value of 0 gives an abatement without a value.
  std::vector<std::array<int32_t, 2>> abbattimenti;
  {
    static constexpr std::array<int32_t, 5> kValori = {270, 0, 200, 0, 300};
    for (int32_t base = 1800; base < 990000; base += 4000) {
      const int32_t p = occ.prendi_da(base + r.metri50(0, 20), 0);
      if (p < 0) break;
      abbattimenti.push_back({p, kValori[abbattimenti.size() % kValori.size()]});
    }
    n.abbattimenti = static_cast<int>(abbattimenti.size());
  }

  // The line description.
  Testo linea;
  linea.riga("Percorso di prova lungo: 1000 km di linea generata");
  linea.riga("Una curva ogni chilometro e una pendenza ogni poche centinaia di metri");
  linea.riga("Progressive: cambio a 250 km e 500 km e 750 km");
  linea.riga("");
  linea.riga("");
  linea.riga("inizio dati");
  linea.riga("     ");
  linea.riga("[generale]");
  linea.record("lunghezza percorso", kLunghezzaPercorsoLungo);
  linea.record("progressiva chilometrica uno", 250000, 180000, 0);
  linea.record("progressiva chilometrica due", 500000, 420000, 1);
  linea.record("progressiva chilometrica tre", 750000, 600000, 0);
  linea.record("sfondo uno", 1);
  linea.record("sfondo due", 500000);
  linea.record("sfondo tre", 0);
  linea.record("ripetizione segnali 9 codici", 6800, 999000);

  linea.riga("[pendenze]");
  linea.riga("-      pos.   per mille");
  linea.record("pendenza", 0, 0);
  ++n.pendenze;
  for (int32_t p = r.metri50(4, 12); p <= kUltimaPosizione; p += r.metri50(4, 12)) {
    linea.record("pendenza", p, r.tra(-35, 35));
    ++n.pendenze;
  }

  linea.riga("[curve]");
  linea.riga("-      inizio   lunghezza");
  for (int32_t km = 0; km < kUltimaPosizione / 1000; ++km) {
    const int32_t inizio = km * 1000 + r.metri50(2, 8);
    const int32_t lunghezza = r.metri50(3, 11);
    const std::string chiave = std::string(r.tra(0, 1) ? "curvad" : "curvas") +
                               static_cast<char>('0' + r.tra(1, 6));
    linea.record(chiave, inizio, lunghezza);
    ++n.curve;
  }

  linea.riga("[montagne]");
  {
    static constexpr std::array<int32_t, 6> kClassi = {1, 2, 3, 11, 12, 13};
    int32_t base = 6000;
    while (n.montagne < kMassimoMontagne && base < 975000) {
      const int32_t inizio = base + r.metri50(0, 40);
      const int32_t fine = inizio + r.metri50(20, 120);
      const int32_t classe = r.uno_di(kClassi);
      linea.record("montagna", inizio, fine, classe);
      ++n.montagne;
      if (classe > 10) ++n.montagne_con_marcatori;
      // Every fifth stretch is followed within 150 m by another one.
      if (n.montagne % 5 == 0 && n.montagne < kMassimoMontagne) {
        const int32_t seguente = fine + r.metri50(1, 3);
        linea.record("montagna", seguente, seguente + r.metri50(10, 40), 12);
        ++n.montagne;
        ++n.montagne_con_marcatori;
        ++n.montagne_accostate;
      }
      base += 16000;
    }
  }

  linea.riga("[indicazioni]");
  for (const Indicatore& i : indicatori) {
    const auto& v = i.valori;
    linea.record("indicatori_vmax", i.posizione, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
  }

  linea.riga("[cartelli]");
  for (const Cartello& c : cartelli)
    linea.riga("cartello_indicatore, " + std::to_string(c.posizione) + ", " + c.testo);

  linea.riga("[fine]");
  linea.riga("                ");

  // The train description.
  Testo treno;
  treno.riga("Percorso di prova lungo: treno sull'intera linea generata");
  treno.riga("");
  treno.riga("inizio dati");
  treno.riga("[generale]");
  treno.record("numero vetture", 12);
  treno.record("percentuale massa frenata", 130);
  treno.record("sabbia", 200);
  treno.riga("orologio,    7   6   30 ");

  treno.riga("[aderenze]");
  treno.record("aderenza", 0, 80);
  ++n.aderenze;
  for (int32_t p = r.metri50(800, 1600); p <= kUltimaPosizione; p += r.metri50(800, 1600)) {
    treno.record("aderenza", p, 5 * r.tra(12, 18));
    ++n.aderenze;
  }

  treno.riga("[vel_limite]");
  treno.record("velocita' limite", 0, 30);
  ++n.velocita;
  for (int32_t p = 1000; p <= kUltimaPosizione; p += r.metri50(100, 300)) {
    treno.record("velocita", p, 5 * r.tra(12, 40));
    ++n.velocita;
  }

  treno.riga("[stazioni]");
  treno.riga("-           pos. tipo lung. t  t  m    d d r   d d d   a   o  o  o   nome");
  treno.riga("-                           p  a  a    2 3 a   1 2 3   c   r  r  r");
  for (const Stazione& s : stazioni) {
    const auto& c = s.colonne;
    std::string r2 = "stazione";
    for (int32_t x : {s.posizione, s.tipo, s.lunghezza, s.tps, s.tab, s.mar, c[0], c[1], c[2],
                      c[3], c[4], c[5], c[6], s.ore, s.minuti, s.secondi})
      r2 += ", " + std::to_string(x);
    treno.riga(r2 + ", " + s.nome);
  }

  treno.riga("[rallentamenti]");
  for (const Rallentamento& s : rallentamenti)
    treno.record("rallentamento", s.x, s.v, s.l, s.f_tt, s.f_ta, s.d_v);

  treno.riga("[segnali]");
  treno.riga("-                1                     destra");
  treno.riga("-                a  d1 d2 d3 ra       d1 d2 d3 ac");
  for (const Segnale& s : segnali) {
    const auto& v = s.valori;
    treno.record("segnale", s.posizione, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8],
                 v[9]);
  }

  treno.riga("[codici]");
  for (const auto& a : abbattimenti) treno.record("abbattimento codice", a[0], a[1]);

  treno.riga("[fine]");
  treno.riga("     ");

  return {linea.prendi(), treno.prendi(), n};
}

}  // namespace tratta::bench
