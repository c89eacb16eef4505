#include "reader/tabella_record.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "reader/line_reader.h"
#include "reader/progressive_ordina.h"
#include "reader/train_reader.h"
#include "testing/descriptions.h"

namespace tratta {

using testing::linea;
using testing::treno;

namespace {

/// Both descriptions read as memorizza_dati reads them, with the warnings,
/// and how many fields after their keywords each half read.
struct Letti {
  Diagnosi diagnosi;
  std::vector<Avvertenza> avvertenze;
  uint64_t campi_linea = 0, campi_treno = 0;

  Letti(const std::string& testo_linea, const std::string& testo_treno) {
    testing::SorgenteProva sorgente;
    sorgente.linea = testo_linea;
    sorgente.treno = testo_treno;
    RouteModel m;
    m.nomi = {"P", "1"};
    LineReader linea(m, 1, FieldSource(sorgente, Descrizione::kLinea, diagnosi, &avvertenze));
    if (linea.leggi()) {
      TrainReader treno(m, FieldSource(sorgente, Descrizione::kTreno, diagnosi, &avvertenze),
                        linea.indice_cartelli(), diagnosi.codice_errore);
      // The mileage changes are checked once both are read.
      if (treno.leggi()) {
        if (auto d = verifica_progressive(m)) registra(diagnosi, *d);
      }
      campi_treno = treno.fonte().campi_record();
    }
    campi_linea = linea.fonte().campi_record();
  }

  std::string elenco() const {
    std::string out = "code " + std::to_string(diagnosi.codice_errore) + "\n";
    for (const Avvertenza& a : avvertenze) out += a.messaggio + "\n";
    return out;
  }
};

/// A record row with the keyword `chiave` and the fields `campi`.
std::string riga(std::string_view chiave, const std::vector<std::string>& campi) {
  return testing::riga_record(std::string(chiave), campi);
}

/// The keyword and the fields of an example, blanks at their ends left out.
std::vector<std::string> parti(std::string_view esempio) {
  std::vector<std::string> out;
  for (;;) {
    const size_t virgola = esempio.find(',');
    std::string_view p = esempio.substr(0, virgola);
    while (!p.empty() && p.front() == ' ') p.remove_prefix(1);
    while (!p.empty() && p.back() == ' ') p.remove_suffix(1);
    out.emplace_back(p);
    if (virgola == std::string_view::npos) return out;
    esempio.remove_prefix(virgola + 1);
  }
}

constexpr int kPercorso = 300000;

/// The record that each description holds besides: its fields are read
/// too, and neither description is without a record.
const std::string kSabbia = "sabbia, 10\r\n";

/// The two descriptions with `riga` where record `r` stands.
Letti leggi_record(const DefinizioneRecord& r, const std::string& riga) {
  switch (r.parte) {
    case Parte::kIntestazioneLinea: return Letti(linea("", kPercorso, riga), treno(kSabbia));
    case Parte::kCorpoLinea: return Letti(linea(riga, kPercorso), treno(kSabbia));
    default: return Letti(linea("", kPercorso), treno(riga + kSabbia));
  }
}

/// The fields read for record `r`: without those of the length record or
/// of the sand record.
uint64_t campi_letti(const DefinizioneRecord& r, const Letti& l) {
  return (r.parte == Parte::kTreno ? l.campi_treno : l.campi_linea) - 1;
}

}  // namespace

TEST(TabellaRecord, EachExampleIsReadWithItsFieldsAndDrawsNothing) {
  for (const DefinizioneRecord& r : kTabellaRecord) {
    SCOPED_TRACE(r.esempio);
    const std::vector<std::string> p = parti(r.esempio);
    ASSERT_EQ(p.size(), r.campi.size() + 1);
    EXPECT_TRUE(campo_nomina(r, p[0]));
    const Letti l = leggi_record(r, riga(p[0], {p.begin() + 1, p.end()}));
    EXPECT_EQ(l.diagnosi.codice_errore, 0) << l.elenco();
    EXPECT_TRUE(l.avvertenze.empty()) << l.elenco();
    EXPECT_EQ(campi_letti(r, l), r.campi.size());

    // In upper case the keyword names the record only when letter case is
    // no matter; otherwise the line is skipped, and the warning says why.
    std::string maiuscola = p[0];
    for (char& c : maiuscola) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    const Letti m = leggi_record(r, riga(maiuscola, {p.begin() + 1, p.end()}));
    EXPECT_EQ(campi_letti(r, m), r.esatta ? 0 : r.campi.size());
    EXPECT_EQ(m.avvertenze.size(), r.esatta ? 1u : 0u) << m.elenco();
    if (r.esatta && !m.avvertenze.empty()) {
      EXPECT_NE(m.avvertenze[0].messaggio.find("\"" + std::string(r.nome) +
                                                "\" is read in lower case only"),
                std::string::npos)
          << m.elenco();
    }
  }
}

TEST(TabellaRecord, AValueOffItsGridDrawsACodeOrAWarning) {
  // Each number of an example moved half a step off its grid: a code or a
  // warning when the field has a grid, nothing for a distance in metres
  // that has none.
  for (const DefinizioneRecord& r : kTabellaRecord) {
    const std::vector<std::string> p = parti(r.esempio);
    for (size_t i = 0; i < r.campi.size(); ++i) {
      const CampoRecord& c = r.campi[i];
      if (c.testo || (c.passo == 0 && c.unita != "m")) continue;
      std::vector<std::string> campi(p.begin() + 1, p.end());
      campi[i] = std::to_string(std::stoi(campi[i]) + (c.passo > 0 ? c.passo / 2 : 25));
      const std::string riga_spostata = riga(p[0], campi);
      SCOPED_TRACE(riga_spostata);
      const Letti l = leggi_record(r, riga_spostata);
      EXPECT_EQ(l.diagnosi.codice_errore != 0 || !l.avvertenze.empty(), c.passo > 0)
          << c.nome << "\n" << l.elenco();
    }
  }
}

TEST(TabellaRecord, AFieldThatNamesSeveralRecordsIsReadAsEachInTurn) {
  struct Caso {
    const char* nome;
    std::string linea, treno;
    std::function<void(const RouteModel&)> verifica;
  } casi[] = {
      // Mileage changes are tested tre, due, uno: due takes the first three
      // numbers. All at position 0, the later ones by mileage come first.
      {"progressiva uno due", linea("", 10000, "progressiva uno due, 0, 100, 0, 0, 200, 0\r\n"),
       treno(""),
       [](const RouteModel& m) {
         EXPECT_EQ(m.voci[kVoceProgressivaTre].fine, 200);
         EXPECT_EQ(m.voci[kVoceProgressivaDue].fine, 100);
         EXPECT_EQ(m.voci[kVoceProgressivaUno].fine, 0);
       }},
      {"sfondo tre uno", linea("", 10000, "sfondo tre uno, 7, 8\r\n"), treno(""),
       [](const RouteModel& m) {
         EXPECT_EQ(m.voci[kVoceGeneraliLinea].inizio, 7);
         EXPECT_EQ(m.voci[kVoceGeneraliLinea].fine, 8);
       }},
      {"montagna pendenza", linea("montagna pendenza, 500, 3, 1000, 2000, 2\r\n"), treno(""),
       [](const RouteModel& m) {
         EXPECT_EQ(m.segmenti[10].pendenza_seg, 103);
         EXPECT_EQ(m.segmenti[20].classe_montagna, 2);
       }},
      {"sabbia vetture", linea(""), treno("sabbia vetture, 5, 12\r\n"),
       [](const RouteModel& m) {
         EXPECT_EQ(m.voci[kVoceGeneraliPercorso].posizione, 5);
         EXPECT_EQ(m.voci[kVoceGeneraliTreno].d2_a, 12);
       }},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    testing::Lettura t;
    t.leggi(c.linea, c.treno);
    EXPECT_EQ(t.codice(), 0);
    c.verifica(t.m);
  }
}

}  // namespace tratta
