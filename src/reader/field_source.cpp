#include "reader/field_source.h"

#include <algorithm>

#include "model/catalogo_codici.h"
#include "model/rounding.h"
#include "model/windows1252.h"
#include "reader/checked.h"
#include "reader/chiavi.h"
#include "reader/fuori_intervallo.h"
#include "reader/tabella_record.h"

namespace tratta {

namespace {

char minuscola(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

/// Warnings given about one description; after them one more says how many
/// were left out, so that a file of noise gives a short report.
constexpr int kMassimoAvvertenze = 100;

/// The first characters of a field, quoted, blanks at its ends left out.
std::string citazione(std::string_view campo) {
  constexpr size_t kCitati = 40;
  while (!campo.empty() && (campo.front() == ' ' || campo.front() == '\t')) campo.remove_prefix(1);
  while (!campo.empty() && (campo.back() == ' ' || campo.back() == '\t')) campo.remove_suffix(1);
  if (campo.size() > kCitati) return "'" + std::string(campo.substr(0, kCitati)) + "...'";
  return "'" + std::string(campo) + "'";
}

/// The first control byte of `testo` (a tab and line ends aside), or -1.
int byte_controllo(std::string_view testo) {
  for (char ch : testo) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) return c;
  }
  return -1;
}

std::string esadecimale(int c) {
  static const char kHex[] = "0123456789abcdef";
  return std::string("0x") + kHex[(c >> 4) & 0xF] + kHex[c & 0xF];
}

/// The piece of a line around the byte at `i`: the field that holds it,
/// blanks at its ends left out, or when that field is long, some
/// characters either side, never cutting a UTF-8 character.
struct Estratto {
  std::string_view byte;
  bool prima = false, dopo = false;  // cut short before, after

  std::string citato(std::string_view testo) const {
    return "'" + std::string(prima ? "..." : "") + std::string(testo) + (dopo ? "..." : "") + "'";
  }
};

Estratto estratto(std::string_view riga, size_t i) {
  constexpr size_t kIntorno = 20;
  size_t da = riga.rfind(',', i);
  da = da == std::string_view::npos ? 0 : da + 1;
  size_t a = riga.find(',', i);
  if (a == std::string_view::npos) a = riga.size();
  while (da < i && (riga[da] == ' ' || riga[da] == '\t')) ++da;
  while (a > i + 1 && (riga[a - 1] == ' ' || riga[a - 1] == '\t')) --a;
  Estratto e;
  if (i - da > kIntorno) {
    da = i - kIntorno;
    e.prima = true;
  }
  if (a - i > kIntorno) {
    a = i + kIntorno;
    e.dopo = true;
  }
  // Whole characters: a cut never falls on a UTF-8 continuation byte.
  auto seguito = [&](size_t k) { return k < riga.size() && (static_cast<unsigned char>(riga[k]) & 0xC0) == 0x80; };
  while (da > 0 && seguito(da)) --da;
  while (seguito(a)) ++a;
  e.byte = riga.substr(da, a - da);
  return e;
}

bool vuoto(std::string_view campo) {
  return campo.find_first_not_of(" \t") == std::string_view::npos;
}

/// A field that the reader skips by its kind: a comment or a section.
bool commento_o_sezione(std::string_view campo) {
  return contiene(campo, "-") || (contiene(campo, "[") && contiene(campo, "]"));
}

}  // namespace

bool contiene(std::string_view campo, std::string_view chiave) {
  return campo.find(chiave) != std::string_view::npos;
}

bool contiene_ci(std::string_view campo, std::string_view chiave) {
  auto it = std::search(campo.begin(), campo.end(), chiave.begin(), chiave.end(),
                        [](char a, char b) { return minuscola(a) == minuscola(b); });
  return it != campo.end() || chiave.empty();
}

std::optional<Arresto> oltre_percorso(const RouteModel& modello, int32_t p, int32_t margine) {
  if (modello.ultimo_segmento < somma32(p, margine) / 50.0)
    return Arresto::fine_corpo({kCodiceOltrePercorso, p});
  return std::nullopt;
}

bool FieldSource::apri() {
  riga_record_ = 0;
  if (avverte()) primo_indice_ = avvertenze_->size();
  const TestoDescrizione t = sorgente_.apri(quale_);
  if (!t.presente) return false;
  if (!t.guasto.empty()) {
    riga_record_ = t.riga_guasto;
    throw ErroreLettura(t.guasto);
  }
  in_.emplace(t.testo);
  if (avverte() && utf8_beyond_ascii(t.testo)) avverti_utf8(t.testo);
  return true;
}

void FieldSource::avverti_utf8(std::string_view testo) {
  // The first line that holds a character beyond ASCII, and around that
  // character, as the author wrote it and as the simulator's files will
  // hold it.
  size_t i = 0;
  while (i < testo.size() && static_cast<unsigned char>(testo[i]) < 0x80) ++i;
  const size_t a_capo = testo.rfind('\n', i);
  const size_t inizio = a_capo == std::string_view::npos ? 0 : a_capo + 1;
  size_t fine = testo.find('\n', i);
  if (fine == std::string_view::npos) fine = testo.size();
  std::string_view riga = testo.substr(inizio, fine - inizio);
  if (!riga.empty() && riga.back() == '\r') riga.remove_suffix(1);
  const Estratto e = estratto(riga, i - inizio);
  const int n = 1 + static_cast<int>(std::count(testo.begin(), testo.begin() + static_cast<std::ptrdiff_t>(inizio), '\n'));
  avverti("this description reads as UTF-8 text, but descriptions are Windows-1252: " +
              e.citato(e.byte) + " is stored as " + e.citato(decode_windows1252(e.byte)) +
              " (save it as Windows-1252, or give compile --encoding utf-8)",
          n);
}

bool FieldSource::leggi_campo() {
  campo_ = in_->leggi_testo();
  riga_record_ = in_->riga_ultimo_campo();
  return !in_->fine();
}

bool FieldSource::leggi_preambolo() {
  for (;;) {
    const bool altro = leggi_campo();
    if (contiene_ci(campo_, "[generale]")) {
      riga_generale_ = riga_record_;
      return altro;
    }
    if (avverte() && riga_generale_vicina_ == 0 && campi_preambolo_++ < 100 &&
        (contiene(campo_, "[") || contiene_ci(campo_, "genera")) &&
        distanza_in("[generale]", std::string_view(campo_).substr(0, 48)) <= 2) {
      riga_generale_vicina_ = riga_record_;
      generale_vicina_ = citazione(campo_);
    }
    if (!altro) return false;
  }
}

std::string FieldSource::testo() {
  ++campi_record_;
  std::string t = in_->leggi_testo();
  if (record_) valori_.push_back(0);
  if (avverte()) {
    if (const int c = byte_controllo(t); c >= 0)
      avverti("control byte " + esadecimale(c) + " in the text " + citazione(t) +
              ", which goes into the train file as it is");
  }
  return t;
}

void FieldSource::inizia_record(const DefinizioneRecord& r) {
  valori_.clear();
  causa_record_.clear();
  record_ = avverte() ? &r : nullptr;
  if (!record_) return;
  causa_record_ = senza_virgola(r);
  if (!causa_record_.empty()) avverti(causa_record_);
}

void FieldSource::fine_record() {
  if (record_) {
    for (size_t i = 0; i < record_->campi.size(); ++i)
      if (auto a = avvertenza_intervallo(*record_, i, valori_)) avverti(std::move(*a));
  }
  record_ = nullptr;
  valori_.clear();
  causa_record_.clear();
}

std::string FieldSource::senza_virgola(const DefinizioneRecord& r) const {
  // The digits of a curve's class and of the repetition's codes belong in
  // their keyword.
  if (r.tipo == TipoRecord::kCurva || r.tipo == TipoRecord::kRipetizioneSegnali) return {};
  const std::string_view campo = campo_;
  size_t fine_chiave = 0;
  for (std::string_view parola : r.parole) {
    if (parola.empty()) continue;
    const auto uguali = [&r](char a, char b) { return r.esatta ? a == b : minuscola(a) == minuscola(b); };
    const auto it = std::search(campo.begin(), campo.end(), parola.begin(), parola.end(), uguali);
    if (it == campo.end()) return {};
    fine_chiave = std::max(fine_chiave, static_cast<size_t>(it - campo.begin()) + parola.size());
  }
  const size_t cifra = campo.find_first_of("0123456789", fine_chiave);
  if (cifra == std::string_view::npos) return {};
  size_t numeri = cifra;
  if (numeri > fine_chiave && (campo[numeri - 1] == '-' || campo[numeri - 1] == '+')) --numeri;
  const size_t dopo = campo.find_first_not_of(' ', fine_chiave);
  std::string m = "the keyword \"" + std::string(r.nome) + "\" is followed by ";
  if (dopo < numeri) {
    m += "'" + std::string(1, campo[dopo]) + "' and not by a comma";
  } else if (dopo > fine_chiave) {
    m += "a blank and not by a comma";
  } else {
    m += "no comma";
  }
  return m + ": " + citazione(campo.substr(numeri)) +
         " is read as part of the keyword, and the record's fields one place off";
}

void FieldSource::avverti(std::string messaggio, int riga) {
  if (!avverte()) return;
  // Once the description is read, its warnings as a whole are always given.
  if (date_ >= kMassimoAvvertenze && !concluso_) {
    ++soppresse_;
    return;
  }
  ++date_;
  avvertenze_->push_back({percorso_, riga > 0 ? riga : riga_record_, std::move(messaggio)});
}

void FieldSource::dopo_record(uint64_t campi_prima, std::span<const DefinizioneRecord> proprie,
                              std::span<const DefinizioneRecord> altre, std::string_view altra) {
  if (campi_record_ != campi_prima) {
    if (avverte()) {
      if (const int c = byte_controllo(campo_); c >= 0)
        avverti("control byte " + esadecimale(c) + " in the record's keyword " +
                citazione(campo_) + ": the record is read");
      // A field with "-" is tested only after the comment fields that the
      // reader skips in a row.
      if (contiene(campo_, "-"))
        avverti("comment line " + citazione(campo_) +
                " read as a record: it follows too many comment lines in a row, so the reader "
                "tests it for keywords");
    }
    return;
  }
  if (!avverte() || !in_->primo_della_riga() || vuoto(campo_) || commento_o_sezione(campo_))
    return;
  if (date_ >= kMassimoAvvertenze) {
    ++soppresse_;
    return;
  }
  std::string m = "line skipped: " + citazione(campo_);
  if (const int c = byte_controllo(campo_); c >= 0)
    m += " holds a control byte (" + esadecimale(c) + ") and";
  if (const DefinizioneRecord* c = chiave_contenuta(campo_, altre)) {
    m += " is a record of " + std::string(altra) + ", which this description does not take";
    if (riga_altra_ == 0) {
      riga_altra_ = riga_record_;
      chiave_altra_ = c->nome;
      altra_ = altra;
    }
  } else if (const DefinizioneRecord* c = chiave_contenuta(campo_, proprie)) {
    // Its words are there, but not in the letter case the reader looks for.
    m += " is no record the reader takes: \"" + std::string(c->nome) +
         "\" is read in lower case only";
  } else if (const DefinizioneRecord* c = chiave_vicina(campo_, proprie)) {
    m += " is no record the reader takes (did you mean \"" + std::string(c->nome) + "\"?)";
  } else if (const DefinizioneRecord* c = chiave_vicina(campo_, altre)) {
    m += " is no record the reader takes (\"" + std::string(c->nome) + "\" is a record of " +
         std::string(altra) + ")";
  } else {
    m += " is no record the reader takes";
  }
  avverti(std::move(m));
}

void FieldSource::avverti_posizione(std::string_view cosa, int64_t p) {
  if (!avverte() || p % 50 == 0) return;
  const int64_t segmento =
      static_cast<int64_t>(round_half_even(static_cast<double>(p) / 50.0 + 1.0));
  avverti(std::string(cosa) + " at " + std::to_string(p) +
          " m is not a multiple of 50: the reader places it as at " +
          std::to_string((segmento - 1) * 50) + " m");
}

void FieldSource::avverti_resto_ignorato() {
  if (!in_) return;
  const int fine_corpo = riga_record_;
  std::string_view resto = in_->resto();
  int riga = in_->riga();
  // The rest of the record's own line, if any, is not a line of its own.
  bool stessa_riga = !in_->a_inizio_riga();
  int prima = 0, righe = 0;
  while (!resto.empty()) {
    size_t fine = resto.find_first_of("\r\n");
    std::string_view r = resto.substr(0, fine);
    if (!stessa_riga) {
      const std::string_view campo = r.substr(0, r.find(','));
      if (!vuoto(campo) && !commento_o_sezione(campo)) {
        if (prima == 0) prima = riga;
        ++righe;
      }
    }
    if (fine == std::string_view::npos) break;
    if (resto[fine] == '\r' && fine + 1 < resto.size() && resto[fine + 1] == '\n') ++fine;
    resto.remove_prefix(fine + 1);
    ++riga;
    stessa_riga = false;
  }
  if (righe == 0) return;
  avverti("record not read: the body ended at line " + std::to_string(fine_corpo) +
              " (code " + std::to_string(kCodiceOltrePercorso) +
              ", a record beyond the end of the route), and the " +
              std::to_string(righe) + " line(s) of records from here on are ignored",
          prima);
}

void FieldSource::concludi() {
  if (concluso_ || !avverte()) return;
  concluso_ = true;
  if (in_ && in_->virgolette_lunghe()) {
    const FieldReader::Virgolette v = *in_->virgolette_lunghe();
    if (v.chiusura == 0) {
      avverti("quoted text opened here is never closed: the rest of the file is read as its text",
              v.apertura);
    } else {
      avverti("quoted text opened here closes only on line " + std::to_string(v.chiusura) +
                  ": the lines between are read as its text",
              v.apertura);
    }
  }
  if (riga_generale_ > 0 && campi_record_ == 0) {
    std::string m = "no record read after the \"[generale]\" heading";
    if (riga_altra_ > 0)
      m += "; line " + std::to_string(riga_altra_) + " holds a record of " + altra_ + " (\"" +
           chiave_altra_ + "\"): the two descriptions given the other way round?";
    avverti(std::move(m), riga_generale_);
  }
  // The warnings of the description as a whole join the others in line
  // order; the count of those left out comes last.
  std::stable_sort(avvertenze_->begin() + static_cast<std::ptrdiff_t>(primo_indice_),
                   avvertenze_->end(),
                   [](const Avvertenza& a, const Avvertenza& b) { return a.riga < b.riga; });
  if (soppresse_ > 0) {
    avvertenze_->push_back({percorso_, riga_record_,
                            std::to_string(soppresse_) +
                                " more warning(s) about this description not shown"});
  }
}

bool FieldSource::prossimo_record() {
  if (in_->fine()) return false;
  if (!leggi_campo()) return false;
  for (int commenti = 0; commenti < 2 && contiene(campo_, "-"); ++commenti) {
    if (!leggi_campo()) return false;
  }
  return true;
}

void FieldSource::chiudi() {
  concludi();
  in_.reset();
  if (std::string guasto = sorgente_.letta(quale_); !guasto.empty()) throw ErroreLettura(guasto);
}

std::string FieldSource::dettaglio_fallimento(std::string_view dettaglio) const {
  if (!in_) return std::string(dettaglio);
  const std::string descrizione =
      quale_ == Descrizione::kLinea ? "the line description" : "the train description";
  const std::string_view testo = in_->testo();
  if (testo.empty()) return descrizione + " is empty";
  const size_t fine_riga = testo.find_first_of("\r\n", in_->posizione());
  if (const size_t nul = testo.substr(0, fine_riga).find('\0'); nul != std::string_view::npos)
    return descrizione + " holds bytes that are not text: a NUL at byte " +
           std::to_string(nul + 1) + " (" + std::string(dettaglio) + ")";
  return std::string(dettaglio);
}

void FieldSource::registra(Diagnosi d) {
  d.file = percorso_;
  d.riga = riga_record_;
  if (d.causa.empty()) d.causa = causa_record_;
  tratta::registra(diagnosi_, std::move(d));
}

bool FieldSource::ferma(Diagnosi d) {
  chiudi();
  registra(std::move(d));
  return false;
}

}  // namespace tratta
