#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emitter/document_writer.h"
#include "emitter/documents.h"
#include "testing/document_text.h"

namespace tratta {

namespace {

// Lines and columns are counted from 1, as on the printed form.
constexpr int kPrimaRigaRiquadro = 9;
constexpr int kUltimaRigaRiquadro = 39;
const std::vector<int> kColonneRiquadro = {2, 6, 35, 48, 59, 69, 82};

std::string documento() { return componi_documento(righe_rallentamenti()); }

using testing::colonne;
using testing::dividi;
using testing::senza_blank;

const std::string& riga(int n) {
  static const std::vector<std::string> tutte = dividi(documento());
  return tutte.at(n - 1);
}

// The six cells of a line of the box, between its bars.
std::vector<std::string> celle(const std::string& s) { return testing::celle(s, kColonneRiquadro); }

}  // namespace

TEST(OrdineRallentamento, FortySixAsciiLinesEndedByCrLfWithoutTrailingBlanks) {
  const std::string b = documento();
  ASSERT_GE(b.size(), 2u);
  EXPECT_EQ(b.substr(b.size() - 2), "\r\n");
  const std::vector<std::string> tutte = dividi(b);
  EXPECT_EQ(tutte.size(), 46u);
  std::vector<int> vuote;
  for (size_t i = 0; i < tutte.size(); ++i) {
    const std::string& r = tutte[i];
    for (char c : r) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "line " << i + 1;
    EXPECT_EQ(r.find('"'), std::string::npos) << "line " << i + 1;
    if (r.empty()) {
      vuote.push_back(static_cast<int>(i) + 1);
    } else {
      EXPECT_NE(r.back(), ' ') << "line " << i + 1;
    }
  }
  EXPECT_EQ(vuote, (std::vector<int>{1, 6, 40}));
}

TEST(OrdineRallentamento, PrintedTextOfTheForm) {
  const struct {
    int riga;
    std::string testo;
  } casi[] = {
      {2, std::string(31, ' ') + "Modulo M. 3"},
      {3, std::string(27, ' ') + "ORDINE DI RALLENTAMENTO"},
      {4, " " + std::string(80, '_')},
      {7, "  Si ordina al macchinista del treno 30 di effettuare i seguenti rallentamenti"},
      {8, "  " + std::string(79, '_')},
      // The headings of the slowdown table, read down each column.
      {9, " |   |                            |Inizio dopo |          |         |            |"},
      {10, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
      {11, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
      {41, std::string(14, ' ') + "Prescrizioni specifiche"},
      // The legend, letters in the form's own order; the dots are filled in by hand.
      {42, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
      {43, " B - Interessa anche la stazione di......."},
      {44, " D - Rallentamneto N. ... e N. ...  sono contigui"},
      {45, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
      {46, "     i giorni esclusi i seguenti:........."},
  };
  for (const auto& c : casi) EXPECT_EQ(riga(c.riga), c.testo) << "line " << c.riga;
}

TEST(OrdineRallentamento, LineNamedByTheEndStationsOfTheTrainSheet) {
  // The train sheet's title names the origin after "da: " and the
  // destination after "a: ", both from column 43 up to column 68.
  const std::vector<std::string> scheda = dividi(componi_documento(righe_scheda()));
  ASSERT_GE(scheda.size(), 6u);
  const std::string origine = senza_blank(scheda[4].substr(42, 26));
  const std::string destinazione = senza_blank(scheda[5].substr(42, 26));
  ASSERT_FALSE(origine.empty());
  ASSERT_FALSE(destinazione.empty());
  EXPECT_EQ(riga(5), "  Linea  " + origine + " - " + destinazione);
  EXPECT_EQ(riga(5).size(), 38u);
}

TEST(OrdineRallentamento, BoxLinesShareTheSevenBarColumns) {
  for (int n = kPrimaRigaRiquadro; n <= kUltimaRigaRiquadro; ++n) {
    EXPECT_EQ(riga(n).size(), 82u) << "line " << n;
    EXPECT_EQ(colonne(riga(n), '|'), kColonneRiquadro) << "line " << n;
  }
}

TEST(OrdineRallentamento, NoSlowdownIsPrescribed) {
  const int sotto_le_intestazioni = kPrimaRigaRiquadro + 3;
  for (int n = sotto_le_intestazioni; n <= kUltimaRigaRiquadro; ++n) {
    const std::vector<std::string> c = celle(riga(n));
    const bool filetto = n == sotto_le_intestazioni || n == kUltimaRigaRiquadro;
    for (size_t k = 0; k < c.size(); ++k) {
      std::string attesa(c[k].size(), filetto ? '_' : ' ');
      if (n == sotto_le_intestazioni + 2 && k == 1) attesa = "   NESSUNA PRESCRIZIONE     ";
      EXPECT_EQ(c[k], attesa) << "cell " << k + 1 << " of line " << n;
    }
  }
}

}  // namespace tratta
