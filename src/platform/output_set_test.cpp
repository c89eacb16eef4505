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
      EXPECT_EQ(testing::names_in(d.path()), (std::set<std::string>{"a.dat", "b.sim"})) << caso;
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
  EXPECT_EQ(testing::names_in(d.path()), (std::set<std::string>{"a.dat", "c.dat"}));
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
  EXPECT_EQ(testing::names_in(d.path()), (std::set<std::string>{"a.dat"}));
  EXPECT_EQ(testing::read_bytes(d / "a.dat"), "older a");

  const platform::FolderLock blocco = d.lock();
  OutputSet set(blocco);
  EXPECT_TRUE(set.add("a.dat", a_pezzi).ok());
  EXPECT_TRUE(set.commit().ok());
  EXPECT_EQ(testing::names_in(d.path()), (std::set<std::string>{"a.dat"}));
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
  EXPECT_EQ(testing::names_in(d.path()), attesi);
  platform::remove_held(vivo.value());
  EXPECT_FALSE(fs::exists(d / "a.dat.tratta-fedcba9876543210.tmp"));
}

// What a run killed while renaming left is finished by the next set made
// in the folder: once backups exist every temporary was written, and goes
// into place; a backup whose output is gone is the older file, and goes
// back; temporaries of a run that died writing go.
TEST(OutputSet, ASetKilledWhileRenamingIsFinishedByTheNext) {
  struct Case {
    const char* caso;
    std::vector<std::pair<std::string, std::string>> prima;  // name, bytes
    std::set<std::string> dopo;
    std::vector<std::pair<std::string, std::string>> letti;
  } cases[] = {
      {"killed after renaming the first of three",
       {{"a.sim", "new a"},
        {"a.sim.tratta-00000000000000aa.old", "older a"},
        {"b.dat", "older b"},
        {"b.dat.tratta-00000000000000aa.old", "older b"},
        {"b.dat.tratta-00000000000000aa.tmp", "new b"},
        {"c.dat.tratta-00000000000000aa.old", ""},
        {"c.dat.tratta-00000000000000aa.tmp", "new c"}},
       {"a.sim", "b.dat", "c.dat", "z.txt"},
       {{"a.sim", "new a"}, {"b.dat", "new b"}, {"c.dat", "new c"}}},
      {"killed with an older file moved aside",
       {{"a.sim.tratta-00000000000000aa.old", "older a"}},
       {"a.sim", "z.txt"},
       {{"a.sim", "older a"}}},
      {"killed while writing",
       {{"a.sim", "older a"}, {"a.sim.tratta-00000000000000bb.tmp", "half"}},
       {"a.sim", "z.txt"},
       {{"a.sim", "older a"}}},
  };
  for (const Case& c : cases) {
    testing::ScratchDir d;
    for (const auto& [nome, byte] : c.prima) testing::write_bytes(d / nome, byte);
    EXPECT_TRUE(replace_file(d.lock(), "z.txt", "z").ok()) << c.caso;
    EXPECT_EQ(testing::names_in(d.path()), c.dopo) << c.caso;
    for (const auto& [nome, byte] : c.letti) EXPECT_EQ(testing::read_bytes(d / nome), byte) << c.caso;
  }
  // A reader mends too, before it reads.
  testing::ScratchDir d;
  testing::write_bytes(d / "a.sim.tratta-00000000000000aa.old", "older a");
  testing::write_bytes(d / "a.sim.tratta-00000000000000aa.tmp", "new a");
  auto lettura = lock_for_reading(d.path(), {});
  ASSERT_TRUE(lettura.ok());
  EXPECT_EQ(testing::names_in(d.path()), std::set<std::string>{"a.sim"});
  EXPECT_EQ(testing::read_bytes(d / "a.sim"), "new a");
}

// Nothing is renamed unless every older file is kept: a folder in an
// output's place fails the set before its first rename.
TEST(OutputSet, NoRenameUnlessEveryOlderFileIsKept) {
  testing::ScratchDir d;
  testing::write_bytes(d / "a.dat", "older a");
  fs::create_directory(d / "b.sim");
  const platform::FolderLock blocco = d.lock();
  OutputSet set(blocco);
  EXPECT_TRUE(set.add("a.dat", "new a").ok());
  EXPECT_TRUE(set.add("b.sim", "new b").ok());
  const platform::FileStatus s = set.commit();
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.error().text.find("b.sim': a folder has its name"), std::string::npos)
      << s.error().text;
  EXPECT_EQ(testing::names_in(d.path()), (std::set<std::string>{"a.dat", "b.sim"}));
  EXPECT_EQ(testing::read_bytes(d / "a.dat"), "older a");
}

// Where the file system gives no second names the older files move aside;
// a failed rename puts them back, the renamed ones and the others alike.
TEST(OutputSet, OlderFilesMovedAsideComeBackAfterAFailure) {
  class SenzaLink : public FaultyDisk {
   public:
    using FaultyDisk::FaultyDisk;
    platform::FileResult<bool> hold_backup(const fs::path& existing, const fs::path& backup,
                                           platform::HeldFile& out) override {
      fs::rename(existing, backup);
      out = platform::HeldFile{backup, existing, -1, -1};
      return true;
    }
  };
  for (int n = 1; n <= 3; ++n) {
    testing::ScratchDir d;
    for (const char* nome : {"a.dat", "b.sim", "c.dat"})
      testing::write_bytes(d / nome, std::string("older ") + nome);
    SenzaLink disco([n, k = 0](DiskStep p) mutable -> std::optional<platform::FileError> {
      if (p == DiskStep::kRename && ++k == n) return platform::FileError{"cannot replace"};
      return std::nullopt;
    });
    {
      const platform::FolderLock blocco = d.lock();
      OutputSet set(blocco, disco);
      for (const char* nome : {"a.dat", "b.sim", "c.dat"})
        EXPECT_TRUE(set.add(nome, std::string("new ") + nome).ok());
      EXPECT_FALSE(set.commit().ok()) << n;
    }
    EXPECT_EQ(testing::names_in(d.path()), (std::set<std::string>{"a.dat", "b.sim", "c.dat"})) << n;
    for (const char* nome : {"a.dat", "b.sim", "c.dat"})
      EXPECT_EQ(testing::read_bytes(d / nome), std::string("older ") + nome) << n;
  }
}

}  // namespace tratta
