// The reader and the finishing pass on thousands of damaged copies of the
// built-in descriptions: every one must end with some status, never with a
// crash or a write outside the model.

#include <gtest/gtest.h>

#include <random>

#include "emitter/documents.h"
#include "model/finishing_pass.h"
#include "testing/descriptions.h"

namespace tratta {

namespace {

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> out;
  size_t inizio = 0;
  while (inizio < testo.size()) {
    size_t fine = testo.find('\n', inizio);
    if (fine == std::string::npos) fine = testo.size() - 1;
    out.push_back(testo.substr(inizio, fine + 1 - inizio));
    inizio = fine + 1;
  }
  return out;
}

/// One damaged copy of `testo`: a few bytes flipped, lines dropped or
/// repeated, numbers made huge or negative.
std::string danneggia(const std::string& testo, std::mt19937& rng) {
  std::vector<std::string> r = righe(testo);
  auto caso = [&](size_t n) { return n == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  const int modifiche = 1 + static_cast<int>(caso(4));
  for (int i = 0; i < modifiche && !r.empty(); ++i) {
    std::string& riga = r[caso(r.size())];
    switch (caso(6)) {
      case 0:
        if (!riga.empty()) riga[caso(riga.size())] = static_cast<char>(caso(256));
        break;
      case 1:
        r.erase(r.begin() + static_cast<long>(caso(r.size())));
        break;
      case 2: {
        size_t k = caso(r.size());
        r.insert(r.begin() + static_cast<long>(k), r[k]);
        break;
      }
      case 3:
      case 4: {
        size_t cifra = riga.find_first_of("0123456789");
        if (cifra == std::string::npos) break;
        static const char* kNumeri[] = {"99999999999", "-999999", "2147483647", "-2147483648",
                                        "65536", "-1", "1000001", "32768"};
        riga.insert(cifra, kNumeri[caso(8)]);
        break;
      }
      default:
        riga = riga.substr(0, caso(riga.size() + 1));
        break;
    }
  }
  std::string out;
  for (const std::string& riga : r) out += riga;
  return out;
}

}  // namespace

TEST(ReaderMutations, DamagedBuiltInDescriptionsEndWithAStatus) {
  const std::string linea = componi_documento(righe_linea());
  const std::string treno = componi_documento(righe_treno());
  std::mt19937 rng(20261210);
  testing::Lettura t;
  int con_codice = 0;
  const int kCopie = 3000;
  for (int i = 0; i < kCopie; ++i) {
    const bool danneggia_linea = i % 2 == 0;
    t.leggi(danneggia_linea ? danneggia(linea, rng) : linea,
            danneggia_linea ? treno : danneggia(treno, rng), i % 8 == 0 ? 1 : 0);
    const std::optional<Diagnosi> del_passo = completa_percorso(t.m);
    if (t.codice() != 0 || del_passo) ++con_codice;
    ASSERT_LE(t.m.numero_montagne, 80);
  }
  // Most damage is noticed; what matters is that none of it crashed.
  EXPECT_GT(con_codice, 0);
}

}  // namespace tratta
