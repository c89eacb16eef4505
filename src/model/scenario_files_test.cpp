#include "model/scenario_files.h"

#include <gtest/gtest.h>

#include "testing/scratch_dir.h"

namespace tratta {

TEST(ScenarioFiles, WrittenWholeAndOnlyTheLineFileDependsOnThePlan) {
  testing::ScratchDir dir;
  RouteModel m;
  m.nomi = {"Prova", "7"};
  ASSERT_TRUE(m.dimensiona(1000, 0));
  testing::write_bytes(dir / "Prova_linea.dat", "old plan");
  testing::write_bytes(dir / "Prova_7.dat", std::string(100000, 'x'));
  auto scritti = scrivi_file_scenario(m, 0, dir.lock());
  ASSERT_TRUE(scritti.ok());
  EXPECT_EQ(scritti.value(), (std::vector<std::string>{"Prova_7.sim", "Prova_7.dat"}));
  EXPECT_EQ(testing::read_bytes(dir / "Prova_linea.dat"), "old plan");
  EXPECT_EQ(testing::read_bytes(dir / "Prova_7.dat").size(), 15u * (160 + 1));
  EXPECT_EQ(testing::read_bytes(dir / "Prova_7.sim").size(), 87u * 34);
  EXPECT_EQ(testing::names_in(dir.path()).size(), 3u);
}

// What compile says it will write (the checks before writing go by these
// names) is what it writes.
TEST(ScenarioFiles, WrittenUnderTheScenarioFileNames) {
  for (const bool piano : {true, false}) {
    SCOPED_TRACE(piano);
    testing::ScratchDir dir;
    RouteModel m;
    m.nomi = {"Prova", "7"};
    ASSERT_TRUE(m.dimensiona(1000, piano ? 1 : 0));
    const auto scrittura = scrivi_file_scenario(m, piano ? 1 : 0, dir.lock());
    ASSERT_TRUE(scrittura.ok());
    const std::vector<std::string>& scritti = scrittura.value();
    EXPECT_EQ(scritti, nomi_file_scenario(m.nomi, piano));
    for (const std::string& nome : scritti)
      EXPECT_TRUE(std::filesystem::is_regular_file(dir / nome)) << nome;
    EXPECT_EQ(static_cast<std::ptrdiff_t>(testing::names_in(dir.path()).size()),
              static_cast<std::ptrdiff_t>(scritti.size()));
  }
}

}  // namespace tratta
