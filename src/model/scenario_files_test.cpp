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
  auto scritti = scrivi_file_scenario(m, 0, dir.path());
  EXPECT_EQ(scritti, (std::vector<std::string>{"Prova_7.sim", "Prova_7.dat"}));
  EXPECT_EQ(testing::read_bytes(dir / "Prova_linea.dat"), "old plan");
  EXPECT_EQ(testing::read_bytes(dir / "Prova_7.dat").size(), 15u * (160 + 1));
  EXPECT_EQ(testing::read_bytes(dir / "Prova_7.sim").size(), 87u * 34);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            3);
}

}  // namespace tratta
