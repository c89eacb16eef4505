#include "reader/field_reader.h"

namespace tratta {

void FieldReader::salta_blank() {
  while (blank(pos_)) ++pos_;
}

void FieldReader::consuma_fine_riga() {
  if (pos_ >= testo_.size()) return;
  if (testo_[pos_] == '\r') {
    ++pos_;
    if (pos_ < testo_.size() && testo_[pos_] == '\n') ++pos_;
    ++riga_;
  } else if (testo_[pos_] == '\n') {
    ++pos_;
    ++riga_;
  }
}

void FieldReader::inizia_campo() {
  if (fine()) throw ErroreLettura("input past end of file");
  primo_della_riga_ = a_inizio_riga();
  salta_blank();
  riga_campo_ = riga_;
}

std::string FieldReader::leggi_testo() {
  inizia_campo();
  std::string campo;
  if (pos_ < testo_.size() && testo_[pos_] == '"') {
    size_t chiusura = testo_.find('"', pos_ + 1);
    size_t fine_testo = chiusura == std::string_view::npos ? testo_.size() : chiusura;
    campo.assign(testo_.substr(pos_ + 1, fine_testo - pos_ - 1));
    const int apertura = riga_;
    for (size_t i = 0; i < campo.size(); ++i)
      if (campo[i] == '\n' || (campo[i] == '\r' && (i + 1 == campo.size() || campo[i + 1] != '\n')))
        ++riga_;
    if (!virgolette_ && (chiusura == std::string_view::npos || riga_ != apertura))
      virgolette_ = Virgolette{apertura, chiusura == std::string_view::npos ? 0 : riga_};
    pos_ = chiusura == std::string_view::npos ? testo_.size() : chiusura + 1;
    // Whatever stands between the closing quote and the separator is dropped.
    while (pos_ < testo_.size() && testo_[pos_] != ',' && !fine_riga(pos_)) ++pos_;
  } else {
    size_t inizio = pos_;
    while (pos_ < testo_.size() && testo_[pos_] != ',' && !fine_riga(pos_)) ++pos_;
    campo.assign(testo_.substr(inizio, pos_ - inizio));
  }
  if (pos_ < testo_.size() && testo_[pos_] == ',') {
    ++pos_;
  } else {
    consuma_fine_riga();
  }
  return campo;
}

void FieldReader::non_intero(size_t inizio) const {
  size_t fine_campo = inizio;
  while (fine_campo < testo_.size() && testo_[fine_campo] != ',' && !fine_riga(fine_campo))
    ++fine_campo;
  const std::string_view campo = testo_.substr(inizio, fine_campo - inizio);
  std::string messaggio = "not a whole number: '" + std::string(campo) + "'";
  if (campo.find('\t') != std::string_view::npos)
    messaggio += " (a tab stands there; only spaces count as blanks)";
  throw ErroreLettura(messaggio);
}

int32_t FieldReader::leggi_numero() {
  inizia_campo();
  size_t inizio = pos_;
  bool negativo = false;
  if (pos_ < testo_.size() && (testo_[pos_] == '-' || testo_[pos_] == '+')) {
    negativo = testo_[pos_] == '-';
    ++pos_;
  }
  int64_t valore = 0;
  size_t cifre = 0;
  while (pos_ < testo_.size() && testo_[pos_] >= '0' && testo_[pos_] <= '9') {
    valore = valore * 10 + (testo_[pos_] - '0');
    if (valore > int64_t{INT32_MAX} + 1) throw ErroreLettura("number too large");
    ++pos_;
    ++cifre;
  }
  if (cifre == 0 || (pos_ < testo_.size() && testo_[pos_] != ',' && !blank(pos_) &&
                     !fine_riga(pos_)))
    non_intero(inizio);
  if (negativo) valore = -valore;
  if (valore > INT32_MAX || valore < INT32_MIN) throw ErroreLettura("number too large");
  salta_blank();
  // A tab after the number's blanks still belongs to this field.
  if (pos_ < testo_.size() && testo_[pos_] == '\t') non_intero(inizio);
  if (pos_ < testo_.size() && testo_[pos_] == ',') {
    ++pos_;
  } else {
    consuma_fine_riga();
  }
  return static_cast<int32_t>(valore);
}

}  // namespace tratta
