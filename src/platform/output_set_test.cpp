#include "platform/output_set.h"

#include <gtest/gtest.h>

#include <set>

#include "testing/scratch_dir.h"

namespace tratta {

namespace {

namespace fs = std::filesystem;

std::set<std::string> nomi(const fs::path& cartella) {
  std::set<std::string> out;
  for (const auto& e : fs::directory_iterator(cartella))
    out.insert(platform::path_to_utf8(e.path().filename()));
  return out;
}

/// Makes the `n`-th step of kind `tipo` from now on fail, as a full disk
/// or a refused rename would.
class Guasto {
 public:
  Guasto(WriteStep tipo, int n) {
    set_write_probe([tipo, n, k = 0](WriteStep p) mutable {
      if (p == tipo && ++k == n) throw platform::FileError("cannot write 'x': simulated failure");
    });
  }
  ~Guasto() { set_write_probe({}); }
  Guasto(const Guasto&) = delete;
  Guasto& operator=(const Guasto&) = delete;
};

}  // namespace

TEST(OutputSet, AFailedWriteOrRenameLeavesTheOlderSetWhole) {
  for (WriteStep tipo : {WriteStep::kWrite, WriteStep::kRename}) {
    for (int n = 1; n <= 3; ++n) {
      const std::string caso =
          std::string(tipo == WriteStep::kWrite ? "write " : "rename ") + std::to_string(n);
      testing::ScratchDir d;
      // Two outputs have older files, the third is new.
      testing::write_bytes(d / "a.dat", "older a");
      testing::write_bytes(d / "b.sim", std::string(5000, 'b'));
      {
        Guasto guasto(tipo, n);
        OutputSet set;
        EXPECT_THROW(
            {
              set.add(d / "a.dat", "new a");
              set.add(d / "b.sim", "new b");
              set.add(d / "c.dat", "new c");
              set.commit();
            },
            platform::FileError)
            << caso;
      }
      EXPECT_EQ(nomi(d.path()), (std::set<std::string>{"a.dat", "b.sim"})) << caso;
      EXPECT_EQ(testing::read_bytes(d / "a.dat"), "older a") << caso;
      EXPECT_EQ(testing::read_bytes(d / "b.sim"), std::string(5000, 'b')) << caso;
    }
  }
  // Without a failure the whole new set is there, and nothing else.
  testing::ScratchDir d;
  testing::write_bytes(d / "a.dat", std::string(100000, 'x'));
  OutputSet set;
  set.add(d / "a.dat", "new a");
  set.add(d / "c.dat", "new c");
  set.commit();
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
    OutputSet set;
    EXPECT_THROW(set.add(d / "a.dat",
                         [&](const OutputSet::WriteAt& scrivi) {
                           a_pezzi(scrivi);
                           throw platform::FileError("cannot write 'a.dat': simulated failure");
                         }),
                 platform::FileError);
  }
  EXPECT_EQ(nomi(d.path()), (std::set<std::string>{"a.dat"}));
  EXPECT_EQ(testing::read_bytes(d / "a.dat"), "older a");

  OutputSet set;
  set.add(d / "a.dat", a_pezzi);
  set.commit();
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

TEST(OutputSet, LeftoversOfKilledRunsGoOtherFilesStay) {
  testing::ScratchDir d;
  const std::set<std::string> altrui = {
      "a.dat.tratta-0123456789ABCDEF.tmp",  // not a name this program makes
      "a.dat.tmp",
      "b.dat.tratta-0123456789abcdef.tmp",  // another output's
      "xa.dat.tratta-0123456789abcdef.tmp",
  };
  for (const std::string& n : altrui) testing::write_bytes(d / n, "someone's");
  testing::write_bytes(d / "a.dat.tratta-0123456789abcdef.tmp", "left by a killed run");
  testing::write_bytes(d / "a.dat.tratta-00000000000000aa.old", "left by a killed run");
  // A run still at work holds its temporary: it must stay.
  platform::HeldFile vivo =
      platform::create_held(d / "a.dat.tratta-fedcba9876543210.tmp", d / "a.dat");

  replace_file(d / "a.dat", "new");

  std::set<std::string> attesi = altrui;
  attesi.insert({"a.dat", "a.dat.tratta-fedcba9876543210.tmp"});
  EXPECT_EQ(nomi(d.path()), attesi);
  platform::remove_held(vivo);
  EXPECT_FALSE(fs::exists(d / "a.dat.tratta-fedcba9876543210.tmp"));
}

}  // namespace tratta
