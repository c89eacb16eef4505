#include "platform/output_set.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "authoring/commands.h"
#include "model/file_names.h"
#include "testing/descriptions.h"
#include "testing/scratch_dir.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#endif

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
  Guasto(PassoScrittura tipo, int n) {
    imposta_sonda_scrittura([tipo, n, k = 0](PassoScrittura p) mutable {
      if (p == tipo && ++k == n) throw platform::FileError("cannot write 'x': simulated failure");
    });
  }
  ~Guasto() { imposta_sonda_scrittura({}); }
  Guasto(const Guasto&) = delete;
  Guasto& operator=(const Guasto&) = delete;
};

}  // namespace

TEST(OutputSet, AFailedWriteOrRenameLeavesTheOlderSetWhole) {
  for (PassoScrittura tipo : {PassoScrittura::kScrittura, PassoScrittura::kRinomina}) {
    for (int n = 1; n <= 3; ++n) {
      const std::string caso =
          std::string(tipo == PassoScrittura::kScrittura ? "write " : "rename ") + std::to_string(n);
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
  for (const Case& c : cases) EXPECT_EQ(temporaneo_di(c.nome, "X_30.dat"), c.suo) << c.nome;
  EXPECT_EQ(std::string_view(".tratta-0123456789abcdef.tmp").size(), kSuffissoTemporaneo);
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

#ifndef _WIN32

TEST(OutputSet, AKilledRunLeavesNoTemporaryAfterTheNextRun) {
  struct Case {
    int segnale;
    PassoScrittura passo;
    int n;
    bool set_nuovo;  // the new set is whole after the signal
  } cases[] = {
      // Caught: the run removes its temporaries and ends; older set whole.
      {SIGTERM, PassoScrittura::kScrittura, 2, false},
      {SIGINT, PassoScrittura::kScrittura, 3, false},
      {SIGHUP, PassoScrittura::kScrittura, 1, false},
      // During the renames the signal waits for them: new set whole.
      {SIGTERM, PassoScrittura::kRinomina, 2, true},
      // Not caught: whatever was left goes with the next run.
      {SIGKILL, PassoScrittura::kScrittura, 3, false},
      {SIGKILL, PassoScrittura::kRinomina, 2, false},
  };
  const NomiScenario nomi_std = nomi_predefiniti();
  const std::string uscite[] = {nome_file_linea(nomi_std), nome_file_treno(nomi_std),
                                nome_file_percorso(nomi_std)};
  for (const Case& c : cases) {
    const std::string caso = std::string(strsignal(c.segnale)) + " at step " + std::to_string(c.n);
    testing::ScratchDir d;
    testing::write_bytes(d / "l.txt", testing::linea(""));
    testing::write_bytes(d / "t.txt", testing::treno(""));
    for (const std::string& u : uscite) testing::write_bytes(d / u, "older " + u);
    const std::vector<std::string> comando = {"compile", (d / "l.txt").string(),
                                              (d / "t.txt").string(), "--out", d.path().string()};

    const pid_t figlio = ::fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0) {
      platform::install_interrupt_cleanup();
      imposta_sonda_scrittura([&c, k = 0](PassoScrittura p) mutable {
        if (p == c.passo && ++k == c.n) ::raise(c.segnale);
      });
      std::ostringstream out, err;
      ::_exit(esegui_comando(comando, out, err) == kUscitaOk ? 0 : 1);
    }
    int stato = 0;
    ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
    ASSERT_TRUE(WIFSIGNALED(stato)) << caso;
    EXPECT_EQ(WTERMSIG(stato), c.segnale) << caso;

    bool avanzi = false;
    for (const std::string& n : nomi(d.path())) avanzi |= n.find(".tratta-") != std::string::npos;
    EXPECT_EQ(avanzi, c.segnale == SIGKILL) << caso;
    if (c.segnale != SIGKILL) {
      EXPECT_EQ(nomi(d.path()).size(), 5u) << caso;
      for (const std::string& u : uscite)
        EXPECT_EQ(testing::read_bytes(d / u) == "older " + u, !c.set_nuovo) << caso << " " << u;
    }

    // The next run: its own files, nothing left by the killed one.
    std::ostringstream out, err;
    EXPECT_EQ(esegui_comando(comando, out, err), kUscitaOk) << caso << err.str();
    EXPECT_EQ(nomi(d.path()), (std::set<std::string>{"l.txt", "t.txt", uscite[0], uscite[1],
                                                      uscite[2]}))
        << caso;
  }
}

#endif  // _WIN32

}  // namespace tratta
