#include "percorso_lungo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "model/file_names.h"
#include "compile/memorizza_percorso.h"
#include "testing/scratch_dir.h"

namespace tratta::bench {
namespace {

TEST(PercorsoLungo, SameTextEveryTime) {
  const PercorsoGenerato a = genera_percorso_lungo();
  const PercorsoGenerato b = genera_percorso_lungo();
  EXPECT_EQ(a.linea, b.linea);
  EXPECT_EQ(a.treno, b.treno);
}

// The generated route must compile without any diagnostic, the finishing
// pass included, with every record where the generator meant it to be.
TEST(PercorsoLungo, CompilesCleanWithEveryRecordPlaced) {
  const PercorsoGenerato g = genera_percorso_lungo();
  testing::ScratchDir dir;
  MemoryDescriptions descrizioni("gen_line.txt", g.linea, "gen_train.txt", g.treno);
  RouteModel m;
  m.nomi = nomi_predefiniti();
  EsitoCompilazione esito;
  ASSERT_TRUE(memorizza_percorso(m, 1, descrizioni, dir.lock(), esito).ok());
  const Diagnosi& d = esito.diagnosi;
  ASSERT_EQ(d.codice_errore, 0) << "at " << d.posizione_errore.value_or(0) << " m, " << d.file
                                << ":" << d.riga;
  ASSERT_EQ(esito.file_scritti.size(), 3u);
  EXPECT_EQ(std::filesystem::file_size(dir / nome_file_linea(m.nomi)),
            20u * (kLunghezzaPercorsoLungo + 7000) - 36);
  EXPECT_EQ(std::filesystem::file_size(dir / nome_file_percorso(m.nomi)),
            15u * ((kLunghezzaPercorsoLungo + 7000) / 50 + 1));

  std::map<int, int> per_tipo;
  int inseriti = 0;
  for (const Segmento& s : m.segmenti) {
    ++per_tipo[s.tipo];
    if (s.tipo == kAbbattimento && s.valore1 == 180) ++inseriti;
  }
  const ConteggiPercorso& n = g.conteggi;
  EXPECT_EQ(per_tipo[kSegnale], n.segnali);
  EXPECT_EQ(per_tipo[kIndicatoreVmax], n.indicatori);
  EXPECT_EQ(per_tipo[kCartello], n.cartelli);
  EXPECT_EQ(per_tipo[kInizioRallentamento], n.rallentamenti);
  EXPECT_EQ(per_tipo[kFineRallentamento], n.rallentamenti);
  EXPECT_EQ(per_tipo[kAvvisoRallentamento], n.rallentamenti);
  EXPECT_GT(per_tipo[kPreavviso], 0);
  EXPECT_GT(per_tipo[kMarcaMontagna], 0);
  EXPECT_GT(per_tipo[kAbbattimentoSenzaValore], 0);
  // At least the three before each start and the one for the guarding
  // signal before each warning.
  EXPECT_GE(inseriti, 4 * n.rallentamenti);
  // Every station slot and every sign slot taken, nothing in between.
  EXPECT_EQ(n.stazioni + n.cartelli, 78);
  for (int s = 1; s <= n.stazioni; ++s) EXPECT_FALSE(m.voci[s].nome.empty()) << s;
  for (int s = n.stazioni + 1; s <= 80 - n.cartelli; ++s) EXPECT_TRUE(m.voci[s].nome.empty()) << s;
  for (int s = 80 - n.cartelli + 1; s <= 80; ++s) EXPECT_FALSE(m.voci[s].nome.empty()) << s;
}

}  // namespace
}  // namespace tratta::bench
