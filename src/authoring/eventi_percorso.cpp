#include "authoring/eventi_percorso.h"

#include <cstdio>
#include <set>

#include "model/valori_segnale.h"
#include "model/windows1252.h"

namespace tratta {

namespace {

std::string numero(int64_t v) { return std::to_string(v); }

/// The text of slot `slot` in quotes, or why there is none.
std::string testo_voce(const std::array<Voce, kNumeroVoci>& voci, int slot) {
  if (slot < 0 || slot >= kNumeroVoci) return "(slot " + numero(slot) + " lies outside the table)";
  return "\"" + decode_windows1252(voci[static_cast<size_t>(slot)].nome) + "\"";
}

/// A signal's columns as the train description gives them; values that do
/// not split into columns are shown as they stand.
std::string testo_segnale(const Segmento& s) {
  std::string t = "signal: ";
  if (const std::optional<ColonneSegnale> c = decodifica_segnale(s)) {
    t += "aspects " + numero(c->sinistra[0]) + " " + numero(c->sinistra[1]) + " " +
         numero(c->sinistra[2]) + " left, " + numero(c->destra[0]) + " " + numero(c->destra[1]) +
         " " + numero(c->destra[2]) + " right; sx " + numero(c->sx) + ", dx " + numero(c->dx) +
         ", rapp " + numero(c->rapp);
  } else {
    t += "values " + numero(s.valore1) + " " + numero(s.valore2) + " " + numero(s.valore3) + " " +
         numero(s.valore4);
  }
  if (s.tempo_segnale != 0) t += ", time " + numero(s.tempo_segnale);
  return t;
}

/// A speed indicator's three left|right speeds and its stripes; values that
/// do not split are shown as they stand.
std::string testo_indicatore(const Segmento& s) {
  std::string t = "speed indicator:";
  for (int16_t v : {s.valore1, s.valore2, s.valore3}) {
    if (const std::optional<Coppia> c = decodifica_velocita(v))
      t += " " + numero(c->sinistra) + "|" + numero(c->destra);
    else
      t += " (" + numero(v) + ")";
  }
  t += " km/h left|right";
  if (const std::optional<Coppia> c = decodifica_strisce(s.valore4))
    t += ", stripes " + numero(c->sinistra) + "|" + numero(c->destra);
  else
    t += ", stripes value " + numero(s.valore4);
  return t;
}

std::string testo_rallentamento(std::string_view che, const Segmento& s, bool con_f_tt) {
  std::string t = std::string(che) + ": speed value " + numero(s.valore1);
  if (s.valore2 != 0) t += ", d_v " + numero(s.valore2);
  if (con_f_tt) t += ", f_tt " + numero(s.valore3);
  return t;
}

std::string testo_stazione(const std::array<Voce, kNumeroVoci>& voci, int16_t slot) {
  std::string t = "station " + numero(slot) + " ";
  if (slot < 1 || slot > kPrimaVoceCartelli) return t + "(slot outside the station slots 1 to 80)";
  const Voce& v = voci[static_cast<size_t>(slot)];
  return t + testo_voce(voci, slot) + " (kind " + numero(v.tipo) + "): from " + numero(v.inizio) +
         " m to " + numero(v.fine) + " m, position " + numero(v.posizione) + " m, time " +
         ora_del_giorno(v.orario);
}

}  // namespace

std::string_view nome_marca(TipoMarca tipo) {
  switch (tipo) {
    case TipoMarca::kPlan:
      return "plan";
    case TipoMarca::kHeight:
      return "height";
    case TipoMarca::kSpeed:
      return "speed";
    case TipoMarca::kSignal:
      return "signal";
    case TipoMarca::kStation:
      return "station";
    case TipoMarca::kSign:
      return "sign";
    case TipoMarca::kIndicator:
      return "indicator";
    case TipoMarca::kSlowdown:
      return "slowdown";
    case TipoMarca::kAbatement:
      return "abatement";
    case TipoMarca::kMontagna:
      return "montagna";
  }
  return "";
}

std::vector<VoceInUso> voci_in_uso(const std::vector<Segmento>& segmenti,
                                   const std::array<Voce, kNumeroVoci>& voci) {
  std::set<int> cartelli;
  for (const Segmento& s : segmenti)
    if (s.tipo == kCartello) cartelli.insert(s.valore1);
  std::vector<VoceInUso> out;
  for (int slot = 1; slot <= kPrimaVoceCartelli; ++slot) {
    const Voce& v = voci[static_cast<size_t>(slot)];
    if (v != Voce()) out.push_back({slot, cartelli.count(slot) > 0});
  }
  return out;
}

std::string ora_del_giorno(int64_t secondi) {
  const bool negativo = secondi < 0;
  const uint64_t s = negativo ? 0 - static_cast<uint64_t>(secondi) : static_cast<uint64_t>(secondi);
  char b[48];
  std::snprintf(b, sizeof b, "%s%02llu:%02llu:%02llu", negativo ? "-" : "",
                static_cast<unsigned long long>(s / 3600),
                static_cast<unsigned long long>(s / 60 % 60),
                static_cast<unsigned long long>(s % 60));
  return b;
}

std::vector<EventoPercorso> eventi_percorso(const std::vector<Segmento>& segmenti,
                                            const std::array<Voce, kNumeroVoci>& voci) {
  std::vector<EventoPercorso> eventi;
  for (size_t i = 0; i < segmenti.size(); ++i) {
    const Segmento& s = segmenti[i];
    if (s.tipo == kNessuno || s.tipo == kMarcaMontagna) continue;
    EventoPercorso e;
    e.segmento = i;
    e.metro = static_cast<int64_t>(i) * 50;
    e.tipo = s.tipo;
    e.da = e.metro;
    e.a = e.metro + 50;
    switch (s.tipo) {
      case kSegnale:
        e.scritto = e.metro - 50;
        e.marca = TipoMarca::kSignal;
        e.testo = testo_segnale(s);
        break;
      case kFineRallentamento:
        e.testo = testo_rallentamento("slowdown end", s, true);
        break;
      case kInizioRallentamento: {
        e.scritto = e.metro - 50;
        e.marca = TipoMarca::kSlowdown;
        e.testo = testo_rallentamento("slowdown start", s, true);
        // The slowdown runs to its end mark; a start that replaced its own
        // end (a slowdown shorter than a segment) covers its segment.
        size_t k = i + 1;
        while (k < segmenti.size() && segmenti[k].tipo != kFineRallentamento &&
               segmenti[k].tipo != kInizioRallentamento)
          ++k;
        if (k < segmenti.size() && segmenti[k].tipo == kFineRallentamento) {
          e.a = static_cast<int64_t>(k) * 50 + 50;
          e.testo += ", to " + numero(static_cast<int64_t>(k) * 50) + " m";
        } else {
          e.testo += ", no end mark";
        }
        break;
      }
      case kAvvisoRallentamento:
        e.testo = testo_rallentamento("slowdown warning", s, false);
        break;
      case kPreavviso:
        e.testo = "slowdown pre-warning " + numero(s.valore1) + " of 4";
        break;
      case kIndicatoreVmax:
        e.scritto = e.metro - 50;
        e.marca = TipoMarca::kIndicator;
        e.testo = testo_indicatore(s);
        break;
      case kStazione: {
        e.marca = TipoMarca::kStation;
        e.testo = testo_stazione(voci, s.valore1);
        if (s.valore1 >= 1 && s.valore1 <= kPrimaVoceCartelli) {
          const Voce& v = voci[static_cast<size_t>(s.valore1)];
          if (v.inizio < v.fine) {
            e.da = v.inizio;
            e.a = v.fine;
          }
        }
        break;
      }
      case kAbbattimento:
        e.marca = TipoMarca::kAbatement;
        e.testo = "code abatement " + numero(s.valore1);
        break;
      case kAbbattimentoSenzaValore:
        e.marca = TipoMarca::kAbatement;
        e.testo = "code abatement without a value";
        break;
      case kCartello:
        e.scritto = e.metro - 50;
        e.marca = TipoMarca::kSign;
        e.testo = "sign " + testo_voce(voci, s.valore1);
        break;
      default:
        e.testo = "unknown event " + numero(s.tipo) + ": values " + numero(s.valore1) + " " +
                  numero(s.valore2) + " " + numero(s.valore3) + " " + numero(s.valore4);
        break;
    }
    eventi.push_back(std::move(e));
  }
  return eventi;
}

}  // namespace tratta
