#include "reader/line_reader.h"

#include <climits>
#include <string>

#include "model/catalogo_codici.h"
#include "reader/checked.h"
#include "reader/placement.h"
#include "reader/progressive_ordina.h"
#include "reader/segmento_occupato.h"
#include "reader/tabella_record.h"

namespace tratta {

namespace {

constexpr int32_t kMassimaLunghezza = 1000000;
constexpr int32_t kLimitePiano = 1000000;

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

bool LineReader::leggi() {
  m.voci[kVoceGeneraliLinea].nome = m.nomi.nome_scenario;
  m.voci[kVoceGeneraliTreno].nome = m.nomi.numero_treno;
  if (!fonte_.apri()) {
    // Nothing to close or delete: the description is not there.
    fonte_.registra({.codice_errore = kCodiceLineaMancante});
    return false;
  }

  // Preamble: everything up to the "[generale]" field.
  if (!fonte_.leggi_preambolo()) {
    if (fonte_.riga_generale_vicina() > 0)
      fonte_.avverti(fonte_.generale_vicina() + " is not the \"[generale]\" heading",
                     fonte_.riga_generale_vicina());
    return fonte_.ferma({.codice_errore = kCodiceSenzaGenerale});
  }

  if (!leggi_intestazione()) return false;

  progressive_ordina(m);
  m.numero_montagne = 0;
  indice_cartelli_ = kPrimaVoceCartelli;
  pendenza.cursore = 0;
  k = 2;
  if (con_planimetria != 0) {
    if (!m.planimetria.dimensionata() || m.planimetria.metri_totali() < 1)
      throw ErroreLettura("no route length before the plan");
    m.planimetria.semina();
  }

  if (!fonte_.leggi_corpo([this] { return record(); }, record_di(Parte::kCorpoLinea),
                          record_di(Parte::kTreno), "a train description"))
    return false;
  fine();
  return true;
}

bool LineReader::leggi_intestazione() {
  for (;;) {
    if (fonte_.fine()) return true;
    if (!fonte_.leggi_campo()) return true;
    for (int i = 0; i < 10; ++i) {
      if (contiene(fonte_.campo(), "-")) fonte_.leggi_campo();
    }
    const std::string& campo = fonte_.campo();
    const uint64_t campi_prima = fonte_.campi_record();
    for (const DefinizioneRecord* r : kTurni<Parte::kIntestazioneLinea>) {
      if (!campo_nomina(*r, campo)) continue;
      fonte_.inizia_record(*r);
      if (!record_intestazione(*r)) return false;
      fonte_.fine_record();
    }
    fonte_.dopo_record(campi_prima, record_di(Parte::kIntestazioneLinea), record_di(Parte::kTreno),
                       "a train description");
    if (campo_sezione(campo)) return true;
  }
}

bool LineReader::record_intestazione(const DefinizioneRecord& r) {
  Voce& linea = m.voci[kVoceGeneraliLinea];
  switch (r.tipo) {
    case TipoRecord::kLunghezzaPercorso: {
      const int32_t lunghezza = fonte_.numero();
      m.voci[kVoceGeneraliPercorso].fine = lunghezza;
      if (lunghezza > kMassimaLunghezza)
        return fonte_.ferma({.codice_errore = kCodicePercorsoTroppoLungo});
      if (!m.dimensiona(lunghezza, con_planimetria))
        throw ErroreLettura("route length gives no segment row or plan");
      return true;
    }
    case TipoRecord::kProgressivaUno:
    case TipoRecord::kProgressivaDue:
    case TipoRecord::kProgressivaTre: {
      Voce& v = m.voci[r.voce];
      v.inizio = fonte_.numero();
      v.fine = fonte_.numero();
      v.posizione = fonte_.numero();
      return true;
    }
    case TipoRecord::kSfondoUno: linea.inizio = fonte_.numero(); return true;
    case TipoRecord::kSfondoDue: linea.posizione = fonte_.numero(); return true;
    case TipoRecord::kSfondoTre: linea.fine = fonte_.numero(); return true;
    case TipoRecord::kRipetizioneSegnali: {
      Voce& treno = m.voci[kVoceGeneraliTreno];
      treno.inizio = fonte_.numero();
      treno.fine = fonte_.numero();
      if (treno.inizio % 50 != 0)
        return fonte_.ferma({.codice_errore = kCodiceInizioRipetizioneNonMultiplo});
      if (treno.fine % 50 != 0)
        return fonte_.ferma({.codice_errore = kCodiceFineRipetizioneNonMultipla});
      if (contiene(fonte_.campo(), "4")) {
        treno.posizione = 4;
      } else if (contiene(fonte_.campo(), "9")) {
        treno.posizione = 9;
      } else {
        return fonte_.ferma({.codice_errore = kCodiceRipetizioneSenzaCodici});
      }
      if (treno.fine == 0) treno.posizione = 0;
      return true;
    }
    default:
      // The body's records are not read in the header.
      return true;
  }
}

std::optional<Arresto> LineReader::record() {
  const std::string& campo = fonte_.campo();
  for (const DefinizioneRecord* r : kTurni<Parte::kCorpoLinea>) {
    if (!campo_nomina(*r, campo)) continue;
    fonte_.inizia_record(*r);
    if (auto a = record_corpo(*r)) return a;
    fonte_.fine_record();
  }
  return std::nullopt;
}

std::optional<Arresto> LineReader::record_corpo(const DefinizioneRecord& r) {
  switch (r.tipo) {
    case TipoRecord::kPendenza: return pendenza.record(fonte_, m);
    case TipoRecord::kCurva:
      if (con_planimetria != 0) return record_curva();
      // Without the plan a curve is passed over, its numbers with it.
      fonte_.record_senza_campi();
      return std::nullopt;
    case TipoRecord::kMontagna: return record_montagna();
    case TipoRecord::kIndicatoriVmax: return record_indicatori();
    case TipoRecord::kCartelloIndicatore: return record_cartello();
    default:
      // The header's records are not read in the body.
      return std::nullopt;
  }
}

std::optional<Arresto> LineReader::record_curva() {
  const int32_t s = fonte_.numero();
  if (auto a = oltre_percorso(m, s)) return a;
  const int32_t l = fonte_.numero();
  double kappa = curvatura(fonte_.campo());
  if (kappa == 0.0) return Diagnosi{.codice_errore = kCodiceCurvaNonTracciabile};
  if (contiene_ci(fonte_.campo(), "s")) kappa = -kappa;
  if (fonte_.avverte() && k > 2 && s < k - 1) avverti_curva_indietro(s, l);
  // A straight up to the curve's start, then the curve to its end; the end
  // s + l is computed only once the straight stands in the plan, so an end
  // that overflows stops the reading after it.
  auto fase = [&](int32_t fino, double kappa_fase) {
    estendi_piano(fino, kappa_fase, kLimitePiano);
    return k <= kLimitePiano;
  };
  if (fase(s, 0.0) && fase(somma32(s, l), kappa)) return std::nullopt;
  return Diagnosi{.codice_errore = kCodiceCurvaNonTracciabile};
}

std::optional<Arresto> LineReader::record_montagna() {
  const int32_t inizio = fonte_.numero();
  if (auto a = oltre_percorso(m, inizio)) return a;
  const int32_t fine = fonte_.numero();
  const int32_t tipo = fonte_.numero();
  memo_montagna(m, inizio, fine, tipo);
  return std::nullopt;
}

std::optional<Arresto> LineReader::record_indicatori() {
  const int32_t p = fonte_.numero();
  if (auto a = oltre_percorso(m, p)) return a;
  m.in_posa = fonte_.origine(p);
  int32_t v[8];
  for (int32_t& x : v) x = fonte_.numero();
  fonte_.avverti_posizione("speed indicator", p);
  return memo_indicatori_v_max(m, p, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
}

std::optional<Arresto> LineReader::record_cartello() {
  const int32_t p = fonte_.numero();
  if (auto a = oltre_percorso(m, p)) return a;
  std::string testo = fonte_.testo();
  fonte_.avverti_posizione("indication sign", p);
  if (indice_cartelli_ < 1) throw ErroreLettura("more than 80 indication signs");
  m.in_posa = fonte_.origine(p);
  const int32_t i = arrotonda32(p / 50.0 + 1.0);
  Segmento& seg = segmento(m, i);
  if (!seg.libero()) return segmento_occupato(m, kCodiceCartelloOccupato, p, i);
  // The segment is marked before the text goes into its slot, where a text
  // too long for the slot stops the reading.
  seg.tipo = kCartello;
  m.annota_origine(i);
  seg.valore1 = static_cast<int16_t>(indice_cartelli_);
  metti_nome(m.voci[indice_cartelli_], std::move(testo));
  --indice_cartelli_;
  return std::nullopt;
}

void LineReader::avverti_curva_indietro(int32_t s, int32_t l) {
  const int64_t attuale = k - 1;
  const int64_t fine_curva = int64_t{s} + l;
  std::string m = "curve from " + std::to_string(s) +
                  " m starts before the plan's current point at " + std::to_string(attuale) +
                  " m, where the curve before it ends: ";
  if (fine_curva <= attuale) {
    m += "it ends there too, so the reader leaves it out";
  } else {
    m += "the reader turns it from there, over " + std::to_string(fine_curva - attuale) +
         " m instead of " + std::to_string(l);
  }
  fonte_.avverti(std::move(m));
}

void LineReader::estendi_piano(int32_t fino, double kappa, int32_t limite) {
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

void LineReader::fine() {
  fonte_.chiudi();
  pendenza.finisci(m, m.ultimo_segmento - 2);
  if (con_planimetria != 0) estendi_piano(m.metri_totali - 2, 0.0, INT32_MAX);
}

}  // namespace tratta
