#include "platform/output_set.h"

#include <gtest/gtest.h>

#include <set>

#include "testing/faulty_disk.h"
#include "testing/scratch_dir.h"

namespace tratta {

namespace {

namespace fs = std::filesystem;
using testing::DiskStep;
using testing::FaultyDisk;

std::set<std::string> nomi(const fs::path& cartella) {
  std::set<std::string> out;
  for (const auto& e : fs::directory_iterator(cartella))
    out.insert(platform::path_to_utf8(e.path().filename()));
  return out;
}

}  // namespace

TEST(OutputSet, AFailedWriteOrRenameLeavesTheOlderSetWhole) {
  for (DiskStep tipo : {DiskStep::kWrite, DiskStep::kRename}) {
    for (int n = 1; n <= 3; ++n) {
      const std::string caso =
          std::string(tipo == DiskStep::kWrite ? "write " : "rename ") + std::to_string(n);
      testing::ScratchDir d;
      // Two outputs have older files, the third is new.
      testing::write_bytes(d / "a.dat", "older a");
      testing::write_bytes(d / "b.sim", std::string(5000, 'b'));
      {
        FaultyDisk disco = FaultyDisk::failing(tipo, n, "cannot write 'x': simulated failure");
        const platform::FolderLock blocco = d.lock();
        OutputSet set(blocco, disco);
        (void)set.add("a.dat", "new a");
        (void)set.add("b.sim", "new b");
        (void)set.add("c.dat", "new c");
        const platform::FileStatus s = set.commit();
        ASSERT_FALSE(s.ok()) << caso;
        EXPECT_EQ(s.error().text, "cannot write 'x': simulated failure") << caso;
      }
      EXPECT_EQ(nomi(d.path()), (std::set<std::string>{"a.dat", "b.sim"})) << caso;
      EXPECT_EQ(testing::read_bytes(d / "a.dat"), "older a") << caso;
      EXPECT_EQ(testing::read_bytes(d / "b.sim"), std::string(5000, 'b')) << caso;
    }
  }
  // Without a failure the whole new set is there, and nothing else.
  testing::ScratchDir d;
  testing::write_bytes(d / "a.dat", std::string(100000, 'x'));
  const platform::FolderLock blocco = d.lock();
  OutputSet set(blocco);
  EXPECT_TRUE(set.add("a.dat", "new a").ok());
  EXPECT_TRUE(set.add("c.dat", "new c").ok());
  EXPECT_TRUE(set.commit().ok());
  EXPECT_EQ(nomi(d.path()), (std::set<std::string>{"a.dat", "c.dat"}));
  EXPECT_EQ(testing::read_bytes(d / "a.dat"), "new a");
  EXPECT_EQ(testing::read_bytes(d / "c.dat"), "new c");
}

// A file written in pieces, each at its offset and in any order, appears
// whole; a failure between the pieces leaves the older file and no
// temporary.
TEST(OutputSet, FileWrittenInPiecesAtTheirOffsets) {
  testing::ScratchDir d;
  testing::write_bytes(d / "a.dat", "older a");
  auto a_pezzi = [](const OutputSet::WriteAt& scrivi) {
    scrivi(6, "wor");
    scrivi(0, "hello ");
    scrivi(9, "ld");
  };
  {
    // The second piece fails: the third is passed over, and the set gives
    // the failure back when its file is added and again at the commit.
    int pezzi = 0;
    FaultyDisk disco = FaultyDisk::failing(DiskStep::kPiece, 2, "cannot write 'a.dat': full");
    const platform::FolderLock blocco = d.lock();
    OutputSet set(blocco, disco);
    const platform::FileStatus s = set.add("a.dat", [&](const OutputSet::WriteAt& scrivi) {
      a_pezzi([&](std::uint64_t offset, std::string_view byte) {
        ++pezzi;
        scrivi(offset, byte);
      });
    });
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().text, "cannot write 'a.dat': full");
    EXPECT_EQ(pezzi, 3);
    EXPECT_FALSE(set.add("b.dat", "b").ok());
    EXPECT_FALSE(set.commit().ok());
  }
  EXPECT_EQ(nomi(d.path()), (std::set<std::string>{"a.dat"}));
  EXPECT_EQ(testing::read_bytes(d / "a.dat"), "older a");

  const platform::FolderLock blocco = d.lock();
  OutputSet set(blocco);
  EXPECT_TRUE(set.add("a.dat", a_pezzi).ok());
  EXPECT_TRUE(set.commit().ok());
  EXPECT_EQ(nomi(d.path()), (std::set<std::string>{"a.dat"}));
  EXPECT_EQ(testing::read_bytes(d / "a.dat"), "hello world");
}

TEST(OutputSet, TemporaryNamesAreRecognisedExactly) {
  struct Case {
    const char* nome;
    bool suo;
  } cases[] = {
      {"X_30.dat.tratta-0123456789abcdef.tmp", true},
      {"X_30.dat.tratta-0123456789abcdef.old", true},
      {"X_30.dat.tratta-0123456789ABCDEF.tmp", false},
      {"X_30.dat.tratta-0123456789abcde.tmp", false},
      {"X_30.dat.tratta-0123456789abcdef.tmp~", false},
      {"X_30.dat.tratta-0123456789abcdef.bak", false},
      {"Y_30.dat.tratta-0123456789abcdef.tmp", false},
      {"X_30.dat", false},
      {"X_30.dat.tmp-1234-0", false},
  };
  for (const Case& c : cases) EXPECT_EQ(is_held_name_of(c.nome, "X_30.dat"), c.suo) << c.nome;
  EXPECT_EQ(std::string_view(".tratta-0123456789abcdef.tmp").size(), kHeldNameSuffix);
}

// Under the folder's lock every temporary of this program's names is what a
// killed run left, whatever output it stands beside.
TEST(OutputSet, LeftoversOfKilledRunsGoOtherFilesStay) {
  testing::ScratchDir d;
  const std::set<std::string> altrui = {
      "a.dat.tratta-0123456789ABCDEF.tmp",  // not a name this program makes
      "a.dat.tmp",
      "a.dat.tratta-0123456789abcdef.tmpx",
  };
  for (const std::string& n : altrui) testing::write_bytes(d / n, "someone's");
  for (const char* n : {"a.dat.tratta-0123456789abcdef.tmp", "b.dat.tratta-0123456789abcdef.tmp",
                        "xa.dat.tratta-0123456789abcdee.tmp"})
    testing::write_bytes(d / n, "left by a killed run");
  // A run still at work holds its temporary: it must stay.
  auto vivo = platform::create_held(d / "a.dat.tratta-fedcba9876543210.tmp", d / "a.dat");
  ASSERT_TRUE(vivo.ok());

  EXPECT_TRUE(replace_file(d.lock(), "a.dat", "new").ok());

  std::set<std::string> attesi = altrui;
  attesi.insert({"a.dat", "a.dat.tratta-fedcba9876543210.tmp"});
  EXPECT_EQ(nomi(d.path()), attesi);
  platform::remove_held(vivo.value());
  EXPECT_FALSE(fs::exists(d / "a.dat.tratta-fedcba9876543210.tmp"));
}

}  // namespace tratta
