// The train half of the reader: general values, speeds, adhesion, signals,
// slowdowns, code abatements and stations.

#include "reader/checked.h"
#include "reader/placement.h"
#include "reader/reading.h"

namespace tratta {

namespace {

constexpr int32_t kMargineRecord = 100;
constexpr int32_t kMargineStazione = 800;
constexpr int32_t kDistanzaStazioni = 350;

uint8_t velocita_segmento(int32_t km_h) {
  const int32_t v = arrotonda32(km_h / 5.0);
  if (v < 0 || v > 255) throw ErroreLettura("speed does not fit a segment");
  return static_cast<uint8_t>(v);
}

}  // namespace

void Lettura::leggi_treno() {
  if (!apri(descrizioni.treno)) throw ErroreLettura("train description missing");

  do {
    leggi_riga();
  } while (!contiene_ci(riga, "[generale]") && !in->fine());

  while (prossimo_record()) {
    Voce& generali = m.voci[kVoceGeneraliPercorso];
    Voce& treno = m.voci[kVoceGeneraliTreno];
    if (contiene_ci(riga, "frenata") && contiene_ci(riga, "massa")) generali.inizio = numero();
    if (contiene_ci(riga, "vetture")) generali.posizione = numero();
    if (contiene_ci(riga, "velocit")) {
      const int32_t p = numero();
      if (oltre_percorso(p, kMargineRecord)) break;
      const int32_t v = numero();
      const int32_t n = arrotonda32(p / 50.0);
      if (n > 0) {
        do {
          if (p_vel >= m.ultimo_segmento) break;
          segmento(m, p_vel).vel_limite = velocita_segmento(vel_prec);
          ++p_vel;
        } while (p_vel < n);
      }
      vel_prec = v;
    }
    if (contiene_ci(riga, "aderenza")) {
      const int32_t p = numero();
      if (oltre_percorso(p, kMargineRecord)) break;
      const int32_t a = numero();
      const int32_t n = arrotonda32(p / 50.0);
      if (n > 0) {
        do {
          segmento(m, p_ader).aderenza_seg = basso8(ader_prec);
          ++p_ader;
        } while (p_ader < n);
      }
      ader_prec = a;
    }
    if (contiene_ci(riga, "orologio")) {
      treno.d1_b = campo16(numero());
      treno.d2_b = campo16(numero());
      treno.d3_b = campo16(numero());
    }
    if (contiene_ci(riga, "sabbia")) treno.d2_a = campo16(numero());
    if (contiene_ci(riga, "segnale")) {
      const int32_t p = numero();
      if (oltre_percorso(p, kMargineRecord)) break;
      int32_t v[10];
      for (int32_t& x : v) x = numero();
      memo_segnale(m, p, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
      if (m.codice_errore > 0) {
        chiudi_e_cancella();
        registra(m.codice_errore, p);
        return;
      }
    }
    if (contiene_ci(riga, "rallentamento")) {
      const int32_t p = numero();
      if (oltre_percorso(p, kMargineRecord)) break;
      int32_t v[5];
      for (int32_t& x : v) x = numero();
      memo_rallentamento(m, p, v[0], v[1], v[2], v[3], v[4]);
      if (m.codice_errore > 0) {
        chiudi_e_cancella();
        registra(m.codice_errore, p);
        return;
      }
    }
    if (contiene_ci(riga, "abbattimento")) {
      const int32_t p = numero();
      if (oltre_percorso(p, kMargineRecord)) break;
      const int32_t c = numero();
      Segmento& seg = segmento(m, arrotonda32(p / 50.0));
      if (!seg.libero()) {
        chiudi_e_cancella();
        registra(7, p);
        return;
      }
      if (c > 0) {
        seg.tipo = kAbbattimento;
        seg.valore1 = basso16(c);
      } else {
        seg.tipo = kAbbattimentoSenzaValore;
      }
    }
    if (contiene_ci(riga, "stazione")) {
      int esito = record_stazione();
      if (esito < 0) break;
      if (esito == 0) return;
    }
  }

  fine_treno();
}

int Lettura::record_stazione() {
  const int32_t s = indice_stazioni;
  Voce& st = m.voci.at(static_cast<size_t>(s));
  const int32_t posizione = numero();
  st.posizione = posizione;
  if (oltre_percorso(posizione, kMargineStazione)) return -1;
  if (posizione % 50 != 0) {
    chiudi_e_cancella();
    registra(8, posizione);
    return 0;
  }
  const uint8_t tipo = campo8(numero());
  st.tipo = tipo;
  const int32_t lunghezza = numero();
  if (lunghezza % 100 != 0) {
    chiudi_e_cancella();
    registra(9, posizione);
    return 0;
  }
  st.tps = campo8(numero());
  st.tab = campo8(numero());
  st.mar = campo8(numero());
  st.d2_a = campo16(numero());
  st.d3_a = campo16(numero());
  st.rap = campo8(numero());
  st.d1_b = campo16(numero());
  st.d2_b = campo16(numero());
  st.d3_b = campo16(numero());
  st.ac = campo8(numero());
  const int32_t ore = numero();
  const int32_t minuti = numero();
  const int32_t secondi = numero();
  // The whole row is read, name included, before the time is computed: a
  // time that overflows leaves the name in the slot.
  metti_nome(st, testo());
  st.orario = somma32(prodotto32(somma32(prodotto32(ore, 60), minuti), 60), secondi);

  if (tipo == 5 || tipo == 6) {
    st.fine = somma32(posizione, 150);
    st.inizio = differenza32(posizione, lunghezza);
    st.mar = 0;
  } else if (tipo == 7 || tipo == 8) {
    st.inizio = differenza32(posizione, lunghezza);
    st.fine = somma32(posizione, lunghezza);
    st.mar = 0;
  } else {
    st.inizio = arrotonda32(posizione - lunghezza / 2.0);
    st.fine = arrotonda32(posizione + lunghezza / 2.0);
    if (st.mar != 0) st.fine = somma32(st.fine, 50);
  }
  if (lunghezza < 600) st.tab = 0;
  if (s == 1) {
    st.mar = 0;
    st.tab = 0;
  }

  if (tipo < 25 && tipo != 5 && tipo != 6) {
    for (int32_t j = 1; j <= 4; ++j) {
      const double x = st.fine / 50.0 - j - 1;
      if (x > 1) segmento(m, arrotonda32(x)).avviso = static_cast<uint8_t>(80 + j);
    }
  }
  if (tipo < 25) {
    const double x = st.fine / 50.0 - 1;
    if (x <= 1) {
      chiudi_e_cancella();
      registra(24);
      return 0;
    }
    // The station mark replaces whatever event the segment held.
    Segmento& marca = segmento(m, arrotonda32(x));
    marca.tipo = kStazione;
    marca.valore1 = static_cast<int16_t>(s);
  }
  if (s > 1 && differenza32(st.inizio, kDistanzaStazioni) < m.voci[s - 1].fine) {
    chiudi_e_cancella();
    registra(22, posizione);
    return 0;
  }
  indice_stazioni = s + 1;
  if (s + 1 >= indice_cartelli) {
    chiudi_e_cancella();
    registra(10);
    return 0;
  }
  return 1;
}

void Lettura::fine_treno() {
  chiudi_e_cancella();
  do {
    segmento(m, p_vel).vel_limite = velocita_segmento(vel_prec);
    ++p_vel;
  } while (p_vel < m.ultimo_segmento - 2);
  do {
    segmento(m, p_ader).aderenza_seg = basso8(ader_prec);
    ++p_ader;
  } while (p_ader < m.ultimo_segmento - 2);
  for (int slot = kVoceProgressivaTre; slot <= kVoceProgressivaUno; ++slot) {
    const Voce& v = m.voci[slot];
    if (v.inizio % 50 != 0 || v.fine % 50 != 0) {
      registra(2);
      luogo = {descrizioni.linea, 0, {}};  // the change points come from the line header
    }
  }
}

}  // namespace tratta
