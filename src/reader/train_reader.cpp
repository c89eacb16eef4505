#include "reader/train_reader.h"

#include <algorithm>

#include "model/catalogo_codici.h"
#include "reader/checked.h"
#include "reader/placement.h"
#include "reader/segmento_occupato.h"
#include "reader/tabella_record.h"

namespace tratta {

namespace {

constexpr int32_t kMargineStazione = 800;
constexpr int32_t kDistanzaStazioni = 350;

}  // namespace

uint8_t velocita_segmento(int32_t km_h) {
  const int32_t v = arrotonda32(km_h / 5.0);
  if (v < 0 || v > 255) throw ErroreLettura("speed does not fit a segment");
  return static_cast<uint8_t>(v);
}

bool TrainReader::leggi() {
  if (!fonte_.apri()) throw ErroreLettura("train description missing");

  if (!fonte_.leggi_preambolo() && fonte_.riga_generale() == 0) {
    std::string m = "no \"[generale]\" heading: nothing of the train is read";
    if (fonte_.riga_generale_vicina() > 0)
      m += " (" + fonte_.generale_vicina() + " is not it)";
    fonte_.avverti(std::move(m), std::max(1, fonte_.riga_generale_vicina()));
  }

  if (!fonte_.leggi_corpo([this] { return record(); }, record_di(Parte::kTreno), record_linea(),
                          "a line description"))
    return false;
  fine();
  return true;
}

std::optional<Arresto> TrainReader::record() {
  const std::string& campo = fonte_.campo();
  for (const DefinizioneRecord* r : kTurni<Parte::kTreno>) {
    if (!campo_nomina(*r, campo)) continue;
    fonte_.inizia_record(*r);
    if (auto a = record(*r)) return a;
    fonte_.fine_record();
  }
  return std::nullopt;
}

std::optional<Arresto> TrainReader::record(const DefinizioneRecord& r) {
  Voce& generali = m.voci[kVoceGeneraliPercorso];
  Voce& treno = m.voci[kVoceGeneraliTreno];
  switch (r.tipo) {
    case TipoRecord::kMassaFrenata: generali.inizio = fonte_.numero(); return std::nullopt;
    case TipoRecord::kNumeroVetture: generali.posizione = fonte_.numero(); return std::nullopt;
    case TipoRecord::kVelocita:
      // Unlike the other fills, the speed's stops short of the last segment.
      return velocita.record(fonte_, m, m.ultimo_segmento);
    case TipoRecord::kAderenza: return aderenza.record(fonte_, m);
    case TipoRecord::kOrologio:
      treno.d1_b = campo16(fonte_.numero());
      treno.d2_b = campo16(fonte_.numero());
      treno.d3_b = campo16(fonte_.numero());
      return std::nullopt;
    case TipoRecord::kSabbia: treno.d2_a = campo16(fonte_.numero()); return std::nullopt;
    case TipoRecord::kSegnale: return record_segnale();
    case TipoRecord::kRallentamento: return record_rallentamento();
    case TipoRecord::kAbbattimento: return record_abbattimento();
    case TipoRecord::kStazione: return record_stazione();
    default:
      // The line description's records are not read here.
      return std::nullopt;
  }
}

std::optional<Arresto> TrainReader::dopo_la_posa(std::optional<Diagnosi> d, int32_t p) const {
  if (d) return *d;
  if (codice_linea > 0) return Diagnosi{codice_linea, p};
  return std::nullopt;
}

std::optional<Arresto> TrainReader::record_segnale() {
  const int32_t p = fonte_.numero();
  if (auto a = oltre_percorso(m, p)) return a;
  m.in_posa = fonte_.origine(p);
  int32_t v[10];
  for (int32_t& x : v) x = fonte_.numero();
  fonte_.avverti_posizione("signal", p);
  return dopo_la_posa(
      memo_segnale(m, p, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]), p);
}

std::optional<Arresto> TrainReader::record_rallentamento() {
  const int32_t p = fonte_.numero();
  if (auto a = oltre_percorso(m, p)) return a;
  m.in_posa = fonte_.origine(p);
  int32_t v[5];
  for (int32_t& x : v) x = fonte_.numero();
  fonte_.avverti_posizione("slowdown", p);
  fonte_.avverti_posizione("slowdown end", int64_t{p} + v[1]);
  return dopo_la_posa(memo_rallentamento(m, p, v[0], v[1], v[2], v[3], v[4]), p);
}

std::optional<Arresto> TrainReader::record_abbattimento() {
  const int32_t p = fonte_.numero();
  if (auto a = oltre_percorso(m, p)) return a;
  const int32_t c = fonte_.numero();
  m.in_posa = fonte_.origine(p);
  const int32_t i = arrotonda32(p / 50.0);
  Segmento& seg = segmento(m, i);
  if (!seg.libero()) return segmento_occupato(m, kCodiceAbbattimentoOccupato, p, i);
  m.annota_origine(i);
  if (c > 0) {
    seg.tipo = kAbbattimento;
    seg.valore1 = basso16(c);
  } else {
    seg.tipo = kAbbattimentoSenzaValore;
  }
  return std::nullopt;
}

std::optional<Arresto> TrainReader::record_stazione() {
  const int32_t s = indice_stazioni;
  Voce& st = m.voci.at(static_cast<size_t>(s));
  const int32_t posizione = fonte_.numero();
  st.posizione = posizione;
  if (auto a = oltre_percorso(m, posizione, kMargineStazione)) return a;
  if (posizione % 50 != 0) return Diagnosi{kCodiceStazioneNonMultipla, posizione};
  const uint8_t tipo = campo8(fonte_.numero());
  st.tipo = tipo;
  const int32_t lunghezza = fonte_.numero();
  if (lunghezza % 100 != 0) return Diagnosi{kCodiceLunghezzaStazioneNonMultipla, posizione};
  st.tps = campo8(fonte_.numero());
  st.tab = campo8(fonte_.numero());
  st.mar = campo8(fonte_.numero());
  st.d2_a = campo16(fonte_.numero());
  st.d3_a = campo16(fonte_.numero());
  st.rap = campo8(fonte_.numero());
  st.d1_b = campo16(fonte_.numero());
  st.d2_b = campo16(fonte_.numero());
  st.d3_b = campo16(fonte_.numero());
  st.ac = campo8(fonte_.numero());
  const int32_t ore = fonte_.numero();
  const int32_t minuti = fonte_.numero();
  const int32_t secondi = fonte_.numero();
  // The whole row is read, name included, before the time is computed: a
  // time that overflows leaves the name in the slot.
  metti_nome(st, fonte_.testo());
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
    if (x <= 1) return Diagnosi{.codice_errore = kCodiceStazioneAllInizio};
    // The station mark replaces whatever event the segment held.
    const int32_t i = arrotonda32(x);
    Segmento& marca = segmento(m, i);
    m.in_posa = fonte_.origine(posizione);
    marca.tipo = kStazione;
    m.annota_origine(i);
    marca.valore1 = static_cast<int16_t>(s);
  }
  if (s > 1 && differenza32(st.inizio, kDistanzaStazioni) < m.voci[s - 1].fine)
    return Diagnosi{kCodiceStazioniVicine, posizione};
  indice_stazioni = s + 1;
  if (s + 1 >= indice_cartelli) return Diagnosi{.codice_errore = kCodiceTroppeStazioni};
  return std::nullopt;
}

void TrainReader::fine() {
  fonte_.chiudi();
  velocita.finisci(m, m.ultimo_segmento - 2);
  aderenza.finisci(m, m.ultimo_segmento - 2);
}

}  // namespace tratta
