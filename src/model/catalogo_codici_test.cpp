#include "model/catalogo_codici.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tratta {

TEST(CatalogoCodici, TheCodesAndTheirSentences) {
  // The codes are 1 to 25 (but 14 and 23) and 101 to 103, with 0 for none.
  std::set<int32_t> attesi = {0, 101, 102, 103};
  for (int32_t n = 1; n <= 25; ++n)
    if (n != 14 && n != 23) attesi.insert(n);
  std::set<int32_t> numeri;
  std::set<std::string_view> nomi;
  for (const Codice& c : kCatalogoCodici) {
    numeri.insert(c.numero);
    EXPECT_TRUE(nomi.insert(c.nome).second) << c.nome;
    EXPECT_EQ(trova_codice(c.numero), &c) << c.numero;
    // A sentence goes after "code N: " and before ": detail" or " (at N m)".
    ASSERT_FALSE(c.frase.empty()) << c.numero;
    EXPECT_TRUE(c.frase.front() >= 'a' && c.frase.front() <= 'z') << c.frase;
    EXPECT_NE(c.frase.back(), '.') << c.frase;
  }
  EXPECT_EQ(numeri, attesi);
  for (int32_t n : {-1, 14, 23, 26, 100, 104, kErroreMarcaPresa, kErroreCodiceGaraPreso})
    EXPECT_EQ(trova_codice(n), nullptr) << n;
}

}  // namespace tratta
