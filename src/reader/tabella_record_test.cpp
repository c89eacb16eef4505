#include "reader/tabella_record.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "model/file_percorso.h"
#include "model/file_treno.h"
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

/// Both descriptions with `riga` where a record of `parte` stands, read as
/// memorizza_dati reads them, with the warnings and once more without.
struct LettiDue {
  testing::Lettura con, senza;
  std::vector<Avvertenza> avvertenze;

  LettiDue(Parte parte, const std::string& riga) {
    std::string l = linea("", kPercorso), t = treno(riga + kSabbia);
    if (parte == Parte::kIntestazioneLinea) l = linea("", kPercorso, riga);
    if (parte == Parte::kCorpoLinea) l = linea(riga, kPercorso);
    if (parte != Parte::kTreno) t = treno(kSabbia);
    senza.leggi(l, t);
    con.leggi(l, t, 1, &avvertenze);
  }
};

// One value outside its field's range for each way the reader keeps a
// value: a warning at the record's line that names the record, the field,
// the value, the range and what is stored, which the stored bytes bear
// out; the files the same bytes as a reading that gives no warning.
TEST(TabellaRecord, AValueOutsideItsRangeDrawsAWarningAndChangesNoByte) {
  struct Caso {
    Conserva conserva;
    Parte parte;
    std::string riga;
    std::string avvertenza;
    std::function<void(testing::Lettura&)> conservato;
  } casi[] = {
      {Conserva::kComeScritto, Parte::kTreno, "orologio, 25, 0, 0\r\n",
       "the \"orologio\" field 'ore' is 25, outside 0 to 23: taken as written",
       [](testing::Lettura& l) { EXPECT_EQ(l.m.voci[kVoceGeneraliTreno].d1_b, 25); }},
      {Conserva::kSoloUno, Parte::kIntestazioneLinea, "progressiva chilometrica uno, 1000, 500, 3\r\n",
       "the \"progressiva chilometrica uno\" field 'bandiera' is 3, outside 0 to 1: stored as "
       "written, which does what 0 does (only 1 counts)",
       [](testing::Lettura& l) {
         EXPECT_EQ(l.m.voci[kVoceProgressivaTre].posizione, 3);
         EXPECT_EQ(l.m.voci[kVoceProgressivaTre].fine, 500);
       }},
      {Conserva::kBasso8, Parte::kTreno, "aderenza, 0, 300\r\n",
       "the \"aderenza\" field 'aderenza' is 300, outside 0 to 255: stored as its low 8 bits, 44",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(0).aderenza_seg, 44); }},
      {Conserva::kBasso16, Parte::kTreno, "rallentamento, 6000, 99999, 500, 0, 0, 0\r\n",
       "the \"rallentamento\" field 'v' is 99999, outside 0 to 32767: stored as its low 16 "
       "bits, -31073",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(121).valore1, -31073); }},
      {Conserva::kAcceso, Parte::kTreno, "rallentamento, 6000, 60, 500, 0, 3, 0\r\n",
       "the \"rallentamento\" field 'f_ta' is 3, outside 0 to 1: read as on, as any value but 0",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(96).tipo, kPreavviso); }},
      {Conserva::kAcceso, Parte::kTreno, "rallentamento, 1500, 60, 500, 0, 3, 0\r\n",
       "the \"rallentamento\" field 'f_ta' is 3, outside 0 to 1: not used: a slowdown up to "
       "1500 m has no warning",
       [](testing::Lettura& l) {
         for (const Segmento& s : l.m.segmenti) EXPECT_NE(s.tipo, kPreavviso);
       }},
      {Conserva::kPendenza, Parte::kCorpoLinea, "pendenza, 0, 200\r\n",
       "the \"pendenza\" field 'pendenza' is 200, outside -100 to 155: stored as the byte 44, a "
       "gradient of -56 per mille",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(0).pendenza_seg, 44); }},
      {Conserva::kVelocita, Parte::kTreno, "velocita, 0, 1276\r\n",
       "the \"velocita\" field 'velocita' is 1276, outside 0 to 1275: stored as 1275 km/h",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(0).vel_limite, 255); }},
      {Conserva::kClasse, Parte::kCorpoLinea, "montagna, 1000, 2000, 300\r\n",
       "the \"montagna\" field 'classe' is 300, outside 0 to 255: stored as class 34, with "
       "markers",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(20).classe_montagna, 34); }},
      {Conserva::kLatoSegnale, Parte::kTreno, "segnale, 5000, 5,4,0,0,0, 1,1,0,0,0\r\n",
       "the \"segnale\" field 'sx' is 5, outside 0 to 2: stored in the side value 10 x rapp + 3 "
       "x sx + dx as 16, which reads back as sx 2, dx 0, rapp 1",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(101).valore4, 16); }},
      {Conserva::kAspetto, Parte::kTreno, "segnale, 5000, 2,4,0,0,0, 2,12,0,0,0\r\n",
       "the \"segnale\" field 'd1' is 12, outside 0 to 9: stored in the aspect value 10 x s1 + "
       "d1 as 52, which reads back as s1 5, d1 2",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(101).valore1, 52); }},
      {Conserva::kTempoSegnale, Parte::kTreno, "segnale, 5000, 2,4,0,0,0, 2,1,0,0,300\r\n",
       "the \"segnale\" field 'tempo' is 300, outside 0 to 255: stored as its low 8 bits, 44",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(101).tempo_segnale, 44); }},
      {Conserva::kVelocitaIndicatore, Parte::kCorpoLinea,
       "indicatori_vmax, 2000, 100,105,110,0, 500,105,110,0\r\n",
       "the \"indicatori_vmax\" field 'vad' is 500, outside 0 to 495: stored in the value 20 x "
       "vas + vad / 5 as 2100, which reads back as vas 105 km/h, vad 0 km/h",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(41).valore1, 2100); }},
      {Conserva::kStrisce, Parte::kCorpoLinea,
       "indicatori_vmax, 2000, 100,105,110,0, 100,105,110,12\r\n",
       "the \"indicatori_vmax\" field 'strisced' is 12, outside 0 to 9: stored in the value 10 x "
       "strisces + strisced as 12, which reads back as strisces 1, strisced 2",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(41).valore4, 12); }},
      {Conserva::kCodiceAbbattimento, Parte::kTreno, "abbattimento codice, 7000, -4\r\n",
       "the \"abbattimento codice\" field 'codice' is -4, outside 0 to 32767: stored as an "
       "abatement without a code value",
       [](testing::Lettura& l) { EXPECT_EQ(l.seg(140).tipo, kAbbattimentoSenzaValore); }},
      {Conserva::kOrario, Parte::kTreno,
       "stazione, 4500, 2, 600, 0,1,0, 1,1,0, 4,1,1, 0, 25,56,0, NOME\r\n",
       "the \"stazione\" field 'ore' is 25, outside 0 to 23: the time is stored as 25:56:00",
       [](testing::Lettura& l) { EXPECT_EQ(l.m.voci[1].orario, (25 * 60 + 56) * 60); }},
  };
  std::set<Conserva> provate;
  for (Caso& c : casi) {
    SCOPED_TRACE(c.avvertenza);
    provate.insert(c.conserva);
    LettiDue l(c.parte, c.riga);
    EXPECT_EQ(l.con.codice(), 0);
    ASSERT_EQ(l.avvertenze.size(), 1u) << l.avvertenze.back().messaggio;
    EXPECT_EQ(l.avvertenze[0].messaggio, c.avvertenza);
    // At the record's line: the train's first, the line's header or body.
    EXPECT_EQ(l.avvertenze[0].riga, c.parte == Parte::kTreno ? 3
                                    : c.parte == Parte::kIntestazioneLinea ? 7
                                                                           : 8);
    c.conservato(l.con);
    EXPECT_EQ(codifica_file_percorso(l.con.m), codifica_file_percorso(l.senza.m));
    EXPECT_EQ(codifica_file_treno(l.con.m), codifica_file_treno(l.senza.m));
  }
  // Every way of keeping a value that a field's range can be left in.
  for (const DefinizioneRecord& r : kTabellaRecord)
    for (const CampoRecord& c : r.campi)
      if (!c.testo && (c.minimo != INT32_MIN || c.massimo != INT32_MAX)) {
        EXPECT_TRUE(provate.count(c.conserva)) << r.nome << " " << c.nome;
      }
}

TEST(TabellaRecord, EveryValueOutsideItsRangeIsToldOrStopsTheReading) {
  // Each number of an example just outside its field's range: a warning
  // that names the field, or a reading that stops on it.
  for (const DefinizioneRecord& r : kTabellaRecord) {
    const std::vector<std::string> p = parti(r.esempio);
    for (size_t i = 0; i < r.campi.size(); ++i) {
      const CampoRecord& c = r.campi[i];
      if (c.testo || (c.minimo == INT32_MIN && c.massimo == INT32_MAX)) continue;
      std::vector<std::string> campi(p.begin() + 1, p.end());
      campi[i] = std::to_string(c.massimo != INT32_MAX ? int64_t{c.massimo} + 1
                                                       : int64_t{c.minimo} - 1);
      const std::string riga_fuori = riga(p[0], campi);
      SCOPED_TRACE(riga_fuori);
      const LettiDue l(r.parte, riga_fuori);
      const std::string detto = "field '" + std::string(c.nome) + "' is " + campi[i] + ", outside ";
      bool trovata = false;
      for (const Avvertenza& a : l.avvertenze)
        trovata = trovata || a.messaggio.find(detto) != std::string::npos;
      EXPECT_TRUE(trovata || l.con.codice() != 0) << c.nome;
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
