#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "emitter/document_writer.h"
#include "emitter/documents.h"
#include "testing/document_text.h"

namespace tratta {

namespace {

// Lines are counted from 1.
std::string documento() { return componi_documento(righe_note()); }

const std::vector<std::string>& righe() {
  static const std::vector<std::string> tutte = testing::dividi(documento());
  return tutte;
}

const std::string& riga(int n) { return righe().at(n - 1); }

}  // namespace

TEST(NoteScenario, FortyTwoLinesEndedByCrLf) {
  const std::string b = documento();
  ASSERT_GE(b.size(), 2u);
  EXPECT_EQ(b.substr(b.size() - 2), "\r\n");
  EXPECT_EQ(righe().size(), 42u);
  for (const std::string& r : righe()) EXPECT_EQ(r.find_first_of("\r\n"), std::string::npos);
}

TEST(NoteScenario, AccentedVowelsAreSingleWindows1252Bytes) {
  const std::string b = documento();
  const std::string accentate = "\xE0\xE8\xEC\xF2\xF9";  // a e i o u with grave accent
  int n = 0;
  for (size_t i = 0; i < b.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(b[i]);
    if (c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) continue;
    EXPECT_NE(accentate.find(b[i]), std::string::npos) << "byte " << i << " is " << int{c};
    ++n;
  }
  EXPECT_EQ(n, 44);
  EXPECT_EQ(b.find('"'), std::string::npos);
}

TEST(NoteScenario, EmptyLinesSeparateTheBlocks) {
  std::vector<int> vuote;
  for (int n = 1; n <= static_cast<int>(righe().size()); ++n)
    if (riga(n).empty()) vuote.push_back(n);
  EXPECT_EQ(vuote, (std::vector<int>{2, 8, 11, 13, 15, 17, 19, 22, 25, 33, 35, 37, 39, 41}));
}

TEST(NoteScenario, SectionsOpenWithTheirHeadingsInOrder) {
  const struct {
    int riga;
    std::string intestazione;
  } attese[] = {
      {9, "PLANIMETRIA"},
      {12, "ALTIMETRIA"},
      {14, "GALLERIE"},
      {16, "CARTELLI INDICATORI DI VELOCITA'"},
      {18, "CARTELLI INDICAZIONI VARIE"},
      {20, "STAZIONI"},
      {23, "SEGNALI"},
      {34, "IL TRENO"},
      {36, "CONSIDERAZIONE FINALE"},
  };
  std::vector<int> aperture;
  for (int n = 1; n <= static_cast<int>(righe().size()); ++n)
    if (riga(n).starts_with(">")) aperture.push_back(n);
  std::vector<int> righe_attese;
  for (const auto& a : attese) {
    righe_attese.push_back(a.riga);
    const std::string testata = "> " + a.intestazione + ": ";
    // The section's text goes on in the heading's own line.
    EXPECT_TRUE(riga(a.riga).starts_with(testata)) << riga(a.riga).substr(0, 40);
    EXPECT_GT(riga(a.riga).size(), testata.size() + 1) << a.intestazione;
  }
  EXPECT_EQ(aperture, righe_attese);
}

TEST(NoteScenario, FixedLinesAroundTheProse) {
  EXPECT_EQ(riga(1), "NOTE SULLA LINEA E SUL TRENO");
  EXPECT_EQ(riga(38), "BUONA GUIDA.");
  EXPECT_FALSE(riga(40).empty());
  EXPECT_EQ(riga(40).find('@'), std::string::npos);
  // The contact line is a mail address.
  const std::string& indirizzo = riga(42);
  const size_t chiocciola = indirizzo.find('@');
  ASSERT_NE(chiocciola, std::string::npos);
  EXPECT_GT(chiocciola, 0u);
  EXPECT_EQ(indirizzo.find('@', chiocciola + 1), std::string::npos);
  EXPECT_NE(indirizzo.find('.', chiocciola), std::string::npos);
  EXPECT_EQ(indirizzo.find(' '), std::string::npos);
}

TEST(NoteScenario, EachParagraphIsOneWholeLine) {
  // A paragraph broken over lines would leave a line that ends mid-sentence
  // or one that starts with a blank or in lower case.
  for (int n = 3; n <= 36; ++n) {
    const std::string& r = riga(n);
    if (r.empty()) continue;
    EXPECT_TRUE(r.starts_with("> ") || (r[0] >= 'A' && r[0] <= 'Z')) << "line " << n;
    EXPECT_TRUE(r.ends_with(".") || r.ends_with(":")) << "line " << n;
  }
  // The introduction closes by announcing the criteria that follow.
  EXPECT_TRUE(riga(7).ends_with(":"));
  // The stations' second paragraph is the longest line, printed unbroken.
  const auto piu_lunga = std::max_element(
      righe().begin(), righe().end(),
      [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
  EXPECT_EQ(piu_lunga - righe().begin() + 1, 21);
  EXPECT_EQ(piu_lunga->size(), 797u);
}

}  // namespace tratta
