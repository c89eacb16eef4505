// The line half of the reader: general values, gradients, the ground plan,
// montagna stretches, speed indicators and indication signs.

#include <cctype>

#include "reader/checked.h"
#include "reader/mileage_ordering.h"
#include "reader/placement.h"
#include "reader/reading.h"

namespace tratta {

namespace {

constexpr int32_t kMassimaLunghezza = 1000000;
constexpr int32_t kLimitePiano = 1000000;
constexpr int32_t kMargineRecord = 100;

/// A section field closes the header: "[" and "]", not a comment line
/// (leading blanks, which are spaces only, aside).
bool campo_sezione(std::string_view campo) {
  size_t i = 0;
  while (i < campo.size() && campo[i] == ' ') ++i;
  return contiene(campo, "[") && contiene(campo, "]") && !(i < campo.size() && campo[i] == '-');
}

/// Curvature per metre of the curve keyword's class: the first of the
/// digits 1 to 6 that it holds; 0 when it holds none.
double curvatura(std::string_view campo) {
  static constexpr double kKappa[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  for (int classe = 1; classe <= 6; ++classe) {
    if (contiene(campo, std::string(1, static_cast<char>('0' + classe))))
      return kKappa[classe - 1];
  }
  return 0.0;
}

}  // namespace

bool Lettura::leggi_linea() {
  m.voci[kVoceGeneraliLinea].nome = m.nomi.nome_scenario;
  m.voci[kVoceGeneraliTreno].nome = m.nomi.numero_treno;
  if (!apri(descrizioni.linea)) {
    registra(101);
    return false;
  }

  // Preamble: everything up to the "[generale]" field.
  do {
    if (!leggi_riga()) {
      chiudi_e_cancella();
      registra(102);
      return false;
    }
  } while (!contiene_ci(riga, "[generale]"));

  if (!leggi_intestazione()) return false;

  progressive_ordina(m);
  m.numero_montagne = 0;
  indice_cartelli = kPrimaVoceCartelli;
  p_pend = 0;
  int32_t k = 2;
  if (m.con_planimetria != 0) {
    if (!m.planimetria.dimensionata() || m.planimetria.metri_totali() < 1)
      throw ErroreLettura("no route length before the plan");
    m.planimetria.semina();
  }

  while (prossimo_record()) {
    if (contiene_ci(riga, "pendenza")) {
      const int32_t p = numero();
      if (oltre_percorso(p, kMargineRecord)) break;
      const int32_t g = numero();
      const int32_t n = arrotonda32(p / 50.0);
      if (n > 0) {
        do {
          segmento(m, p_pend).pendenza_seg = basso8(somma32(pend_prec, 100));
          ++p_pend;
        } while (p_pend < n);
      }
      pend_prec = g;
    }
    if (m.con_planimetria != 0 && contiene_ci(riga, "curva")) {
      int esito = record_curva(k);
      if (esito < 0) break;
      if (esito == 0) return false;
    }
    if (contiene_ci(riga, "montagna")) {
      const int32_t inizio = numero();
      if (oltre_percorso(inizio, kMargineRecord)) break;
      const int32_t fine = numero();
      const int32_t tipo = numero();
      memo_montagna(m, inizio, fine, tipo);
    }
    if (contiene_ci(riga, "indicatori_v")) {
      const int32_t p = numero();
      if (oltre_percorso(p, kMargineRecord)) break;
      int32_t v[8];
      for (int32_t& x : v) x = numero();
      memo_indicatori_v_max(m, p, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
      if (m.codice_errore > 0) {
        chiudi_e_cancella();
        registra(m.codice_errore, p);
        return false;
      }
    }
    if (contiene_ci(riga, "cartello") && contiene_ci(riga, "indicat")) {
      const int32_t p = numero();
      if (oltre_percorso(p, kMargineRecord)) break;
      riga = testo();
      if (indice_cartelli < 1) throw ErroreLettura("more than 80 indication signs");
      Segmento& seg = segmento(m, arrotonda32(p / 50.0 + 1.0));
      if (!seg.libero()) {
        chiudi_e_cancella();
        registra(6, p);
        return false;
      }
      // The segment is marked before the text goes into its slot, where a
      // text too long for the slot stops the reading.
      seg.tipo = kCartello;
      seg.valore1 = static_cast<int16_t>(indice_cartelli);
      metti_nome(m.voci[indice_cartelli], riga);
      --indice_cartelli;
    }
  }

  fine_linea(k);
  return true;
}

bool Lettura::leggi_intestazione() {
  for (;;) {
    if (in->fine()) return true;
    if (!leggi_riga()) return true;
    for (int i = 0; i < 10; ++i) {
      if (contiene(riga, "-")) leggi_riga();
    }

    if (contiene_ci(riga, "lunghezza") && contiene_ci(riga, "percorso")) {
      const int32_t lunghezza = numero();
      m.voci[kVoceGeneraliPercorso].fine = lunghezza;
      if (lunghezza > kMassimaLunghezza) {
        chiudi_e_cancella();
        registra(1);
        return false;
      }
      if (!m.dimensiona(lunghezza))
        throw ErroreLettura("route length gives no segment row or plan");
    }
    struct Progressiva {
      const char* nome;
      int slot;
    };
    for (Progressiva pr : {Progressiva{"tre", kVoceProgressivaTre},
                           Progressiva{"due", kVoceProgressivaDue},
                           Progressiva{"uno", kVoceProgressivaUno}}) {
      if (contiene(riga, "progressiva") && contiene(riga, pr.nome)) {
        Voce& v = m.voci[pr.slot];
        v.inizio = numero();
        v.fine = numero();
        v.posizione = numero();
      }
    }
    Voce& linea = m.voci[kVoceGeneraliLinea];
    if (contiene(riga, "sfondo") && contiene(riga, "uno")) linea.inizio = numero();
    if (contiene(riga, "sfondo") && contiene(riga, "due")) linea.posizione = numero();
    if (contiene(riga, "sfondo") && contiene(riga, "tre")) linea.fine = numero();
    if (contiene(riga, "segnali") && contiene(riga, "ripetizione")) {
      Voce& treno = m.voci[kVoceGeneraliTreno];
      treno.inizio = numero();
      treno.fine = numero();
      int32_t codice = 0;
      if (treno.inizio % 50 != 0) codice = 3;
      else if (treno.fine % 50 != 0) codice = 4;
      else if (contiene(riga, "4")) treno.posizione = 4;
      else if (contiene(riga, "9")) treno.posizione = 9;
      else codice = 5;
      if (codice != 0) {
        chiudi_e_cancella();
        registra(codice);
        return false;
      }
      if (treno.fine == 0) treno.posizione = 0;
    }

    if (campo_sezione(riga)) return true;
  }
}

void Lettura::estendi_piano(int32_t& k, int32_t fino, double kappa, int32_t limite) {
  const int32_t ultimo_metro = m.planimetria.metri_totali();
  int32_t fin_dove = fino;
  if (fin_dove > limite) fin_dove = limite;
  if (fin_dove > ultimo_metro) fin_dove = ultimo_metro;
  if (k <= fin_dove) {
    m.planimetria.estendi(fin_dove, kappa);
    k = fin_dove + 1;
  }
  if (k <= fino && k <= limite) throw ErroreLettura("plan runs past the route length");
}

int Lettura::record_curva(int32_t& k) {
  const int32_t s = numero();
  if (oltre_percorso(s, kMargineRecord)) return -1;
  const int32_t l = numero();
  double kappa = curvatura(riga);
  if (kappa == 0.0) {
    chiudi_e_cancella();
    registra(103);
    return 0;
  }
  if (contiene_ci(riga, "s")) kappa = -kappa;
  // A straight up to the curve's start, then the curve to its end; the end
  // s + l is computed only once the straight stands in the plan, so an end
  // that overflows stops the reading after it.
  auto fase = [&](int32_t fino, double kappa_fase) {
    estendi_piano(k, fino, kappa_fase, kLimitePiano);
    return k <= kLimitePiano;
  };
  if (fase(s, 0.0) && fase(somma32(s, l), kappa)) return 1;
  chiudi_e_cancella();
  registra(103);
  return 0;
}

void Lettura::fine_linea(int32_t k) {
  chiudi_e_cancella();
  do {
    segmento(m, p_pend).pendenza_seg = basso8(somma32(pend_prec, 100));
    ++p_pend;
  } while (p_pend < m.ultimo_segmento - 2);
  if (m.con_planimetria != 0) {
    estendi_piano(k, m.metri_totali - 2, 0.0, INT32_MAX);
  }
}

}  // namespace tratta
