#include "authoring/cartella_uscita.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "testing/descriptions.h"
#include "testing/scratch_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <sstream>

#include "authoring/commands.h"
#include "testing/faulty_disk.h"

extern char** environ;
#endif

namespace tratta {

namespace {

namespace fs = std::filesystem;

}  // namespace

// A folder made for a run that then writes nothing goes again, with the
// folders made for it; one that was there, or was written into, stays.
TEST(CartellaUscita, FoldersMadeForNothingAreTakenBack) {
  testing::ScratchDir d;
  fs::create_directory(d / "c'era");
  {
    CartellaUscita u(d / "nuova" / "sotto");
    ASSERT_TRUE(u.prepara({}).ok());
    EXPECT_TRUE(fs::is_directory(d / "nuova" / "sotto"));
  }
  {
    CartellaUscita u(d / "c'era");
    ASSERT_TRUE(u.prepara({}).ok());
  }
  {
    CartellaUscita u(d / "scritta");
    ASSERT_TRUE(u.prepara({}).ok());
    u.scritta();
  }
  EXPECT_EQ(testing::names_in(d.path()), (std::set<std::string>{"c'era", "scritta"}));
}

#ifndef _WIN32

namespace {

/// A run of the program in a process of its own, its output kept in files.
class Figlio {
 public:
  Figlio(const std::vector<std::string>& argomenti, const fs::path& log) : log_(log) {
    std::vector<std::string> a = {TRATTA_EXE};
    a.insert(a.end(), argomenti.begin(), argomenti.end());
    std::vector<char*> argv;
    for (std::string& s : a) argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    const std::string out = log.string() + ".out", err = log.string() + ".err";
    posix_spawn_file_actions_addopen(&azioni, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&azioni, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, TRATTA_EXE, &azioni, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&azioni);
  }
  /// The exit status; -1 when the run did not end by itself.
  int attendi() {
    int stato = 0;
    if (pid_ < 0 || ::waitpid(pid_, &stato, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  }
  std::string out() const { return testing::read_bytes(log_.string() + ".out"); }
  std::string err() const { return testing::read_bytes(log_.string() + ".err"); }

 private:
  fs::path log_;
  pid_t pid_ = -1;
};

/// Four scenarios of different route lengths, their descriptions written
/// in `d`, and the bytes of the three files each compiles to.
struct Scenari {
  static constexpr int kQuanti = 4;
  std::vector<std::vector<std::string>> attesi;  // per scenario: line, train, route file

  explicit Scenari(const testing::ScratchDir& d) {
    for (int i = 0; i < kQuanti; ++i) {
      const std::string n = std::to_string(i);
      testing::write_bytes(d / ("l" + n + ".txt"), testing::linea("", 10000 + 2000 * i));
      testing::write_bytes(d / ("t" + n + ".txt"),
                           testing::treno("velocita, 0, " + std::to_string(60 + 5 * i) + "\r\n"));
      Figlio f(argomenti(d, i, d / ("solo" + n)), d / ("solo" + n + ".log"));
      EXPECT_EQ(f.attendi(), 0) << f.err();
      attesi.push_back(leggi(d / ("solo" + n)));
    }
  }
  static std::vector<std::string> argomenti(const testing::ScratchDir& d, int i,
                                            const fs::path& uscita) {
    const std::string n = std::to_string(i);
    return {"compile", (d / ("l" + n + ".txt")).string(), (d / ("t" + n + ".txt")).string(),
            "--out", uscita.string()};
  }
  static std::vector<std::string> leggi(const fs::path& cartella) {
    std::vector<std::string> out;
    for (const char* nome : {"Tratta_Valle3_linea.dat", "Tratta_Valle3_30.sim", "Tratta_Valle3_30.dat"})
      out.push_back(testing::read_bytes(cartella / nome));
    return out;
  }
  /// Which scenario's whole set `cartella` holds; -1 for a mixed set.
  int quale(const fs::path& cartella) const {
    const std::vector<std::string> trovati = leggi(cartella);
    for (int i = 0; i < kQuanti; ++i)
      if (trovati == attesi[static_cast<size_t>(i)]) return i;
    return -1;
  }
};

}  // namespace

// Runs of different descriptions into one folder at the same time: every
// run ends well, and the folder holds one run's whole set, never files of
// two runs side by side, nor anything left over.
TEST(CartellaUscita, RunsAtOnceIntoOneFolderLeaveOneWholeSet) {
  testing::ScratchDir d;
  const Scenari scenari(d);
  const fs::path comune = d / "comune";
  for (int giro = 0; giro < 30; ++giro) {
    std::vector<Figlio> figli;
    for (int i = 0; i < Scenari::kQuanti; ++i)
      figli.emplace_back(Scenari::argomenti(d, i, comune), d / ("giro" + std::to_string(i)));
    for (Figlio& f : figli) ASSERT_EQ(f.attendi(), 0) << "round " << giro << ": " << f.err();
    ASSERT_NE(scenari.quale(comune), -1) << "round " << giro << ": a mixed set";
    ASSERT_EQ(testing::names_in(comune).size(), 3u) << "round " << giro;
  }
}

// inspect while runs replace the set: it reads one whole set, or fails; it
// never ends well on files of two runs.
TEST(CartellaUscita, AReaderAmongWritersNeverReadsAMixedSet) {
  testing::ScratchDir d;
  const Scenari scenari(d);
  // What inspect prints of each whole set, as if it stood in the folder
  // the runs share (the listing names its files).
  const fs::path comune = d / "comune";
  std::vector<std::string> elenchi;
  for (int i = 0; i < Scenari::kQuanti; ++i) {
    const std::string solo = (d / ("solo" + std::to_string(i))).string();
    Figlio f({"inspect", solo, "--json"}, d / ("elenco" + std::to_string(i)));
    ASSERT_EQ(f.attendi(), 0) << f.err();
    std::string e = f.out();
    for (size_t k = e.find(solo); k != std::string::npos; k = e.find(solo, k))
      e.replace(k, solo.size(), comune.string());
    elenchi.push_back(e);
  }
  Figlio primo(Scenari::argomenti(d, 0, comune), d / "primo");
  ASSERT_EQ(primo.attendi(), 0);

  int letture = 0;
  for (int giro = 0; giro < 12; ++giro) {
    std::vector<Figlio> scrittori;
    for (int i = 0; i < Scenari::kQuanti; ++i)
      scrittori.emplace_back(Scenari::argomenti(d, i, comune), d / ("w" + std::to_string(i)));
    for (int k = 0; k < 3; ++k) {
      Figlio lettore({"inspect", comune.string(), "--json"}, d / "lettore");
      if (lettore.attendi() != 0) continue;
      ++letture;
      const std::string out = lettore.out();
      bool intero = false;
      for (const std::string& e : elenchi) intero |= out == e;
      ASSERT_TRUE(intero) << "round " << giro << ": inspect read a mixed set";
    }
    for (Figlio& f : scrittori) ASSERT_EQ(f.attendi(), 0) << f.err();
  }
  EXPECT_GT(letture, 0);
}

// A run holds its temporaries from the moment they exist: another run on
// the folder waits (and says so after a second) instead of sweeping them
// away, or with --no-wait fails at once; the first run ends well.
TEST(CartellaUscita, ASecondRunWaitsForTheFirstAndNeverTakesItsTemporaries) {
  testing::ScratchDir d;
  const Scenari scenari(d);
  const fs::path comune = d / "comune";
  int pronto[2], via[2];
  ASSERT_EQ(::pipe(pronto), 0);
  ASSERT_EQ(::pipe(via), 0);
  const pid_t primo = ::fork();
  ASSERT_GE(primo, 0);
  if (primo == 0) {
    // The first run stops once its first temporary is made, until the
    // second has said that it waits (20 s at the most).
    ::close(pronto[0]);
    ::close(via[1]);
    testing::FaultyDisk disco([&, fatto = false](testing::DiskStep p) mutable
                              -> std::optional<platform::FileError> {
      if (p == testing::DiskStep::kPiece && !fatto) {
        fatto = true;
        (void)::write(pronto[1], "x", 1);
        pollfd attesa{via[0], POLLIN, 0};
        (void)::poll(&attesa, 1, 20000);
      }
      return std::nullopt;
    });
    std::ostringstream out, err;
    ::_exit(esegui_comando(Scenari::argomenti(d, 0, comune), out, err, disco));
  }
  ::close(pronto[1]);
  ::close(via[0]);
  char c;
  ASSERT_EQ(::read(pronto[0], &c, 1), 1);
  ::close(pronto[0]);

  std::vector<std::string> senza_attesa = Scenari::argomenti(d, 1, comune);
  senza_attesa.push_back("--no-wait");
  const auto t0 = std::chrono::steady_clock::now();
  Figlio rifiutato(senza_attesa, d / "rifiutato");
  EXPECT_EQ(rifiutato.attendi(), kUscitaErroreSistema);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
  EXPECT_NE(rifiutato.err().find("another run is at work in the folder"), std::string::npos)
      << rifiutato.err();

  Figlio secondo(Scenari::argomenti(d, 2, comune), d / "secondo");
  const std::string attesa = "waiting for another run in '" + comune.string() + "'";
  for (int i = 0; i < 2000 && secondo.err().find(attesa) == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  (void)::write(via[1], "x", 1);
  ::close(via[1]);
  EXPECT_EQ(secondo.attendi(), 0) << secondo.err();
  EXPECT_NE(secondo.err().find(attesa), std::string::npos) << secondo.err();
  int stato = 0;
  ASSERT_EQ(::waitpid(primo, &stato, 0), primo);
  EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) == 0);
  // The second run waited for the first: its set is the one left.
  EXPECT_EQ(scenari.quale(comune), 2);
  EXPECT_EQ(testing::names_in(comune).size(), 3u);
}

#endif  // _WIN32

}  // namespace tratta
