#include "authoring/watch_command.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <spawn.h>
#include <sys/wait.h>
#endif

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "emitter/documents.h"
#include "testing/faulty_disk.h"
#include "testing/json_check.h"
#include "testing/scratch_dir.h"
#include "testing/subcommand.h"

namespace tratta {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

/// A watch of the built-in descriptions run in process on a thread of its
/// own; the test saves them as editors do and counts the compiles through
/// the hook.
class Osserva : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir / "descrizioni");
    linea = dir / "descrizioni/Tratta_Valle3_linea.txt";
    treno = dir / "descrizioni/Tratta_Valle3_30-.txt";
    testo_linea = componi_documento(righe_linea());
    testo_treno = componi_documento(righe_treno());
    testing::write_bytes(linea, testo_linea);
    testing::write_bytes(treno, testo_treno);
  }

  void TearDown() override {
    if (ciclo.joinable()) ferma();
  }

  /// Starts the watch with compile's options `altre` and waits for its
  /// first compile.
  void avvia(TempiOsserva tempi = {}, std::vector<std::string> altre = {},
             platform::Disk& disco = platform::system_disk()) {
    std::vector<std::string> argomenti = {"watch", linea.string(), treno.string(), "--out",
                                          (dir / "uscita").string()};
    argomenti.insert(argomenti.end(), altre.begin(), altre.end());
    opzioni = leggi_opzioni(argomenti);
    auto aperto = platform::FolderWatch::open({linea, treno});
    ASSERT_TRUE(aperto.ok()) << aperto.error().text;
    osservatore.emplace(std::move(aperto.value()));
    ciclo = std::thread([this, tempi, &disco] {
      stato = osserva(
          opzioni, *osservatore, tempi,
          [this](const EsitoComando& e, const fs::path& cartella) {
            std::lock_guard<std::mutex> l(m);
            esiti.push_back(e.stato);
            EXPECT_EQ(cartella, dir / "uscita");
            cv.notify_all();
          },
          out, err, disco);
    });
    ASSERT_TRUE(aspetta_compilazioni(1));
  }

  /// Waits until `n` compiles have been made (a few seconds at most).
  bool aspetta_compilazioni(std::size_t n) {
    std::unique_lock<std::mutex> l(m);
    return cv.wait_for(l, 5s, [&] { return esiti.size() >= n; });
  }

  /// The compiles made once the watch has had time to make any more: twice
  /// its quiet, since the notices of a save come within milliseconds.
  std::size_t compilazioni_dopo_quiete() {
    std::this_thread::sleep_for(2 * TempiOsserva{}.quiete);
    std::lock_guard<std::mutex> l(m);
    return esiti.size();
  }

  void ferma() {
    osservatore->request_stop();
    ciclo.join();
  }

  /// The lines the watch printed on `out`, once it has ended.
  std::vector<std::string> righe_stampate() const {
    std::istringstream righe(out.str());
    std::vector<std::string> lette;
    for (std::string riga; std::getline(righe, riga);) lette.push_back(riga);
    return lette;
  }

  testing::ScratchDir dir;
  fs::path linea, treno;
  std::string testo_linea, testo_treno;
  OpzioniCompile opzioni;
  std::optional<platform::FolderWatch> osservatore;
  std::thread ciclo;
  int stato = -1;
  std::ostringstream out, err;  // read once the loop has ended
  std::mutex m;
  std::condition_variable cv;
  std::vector<int> esiti;
};

/// How an editor saves `file` with `bytes`.
struct Salvataggio {
  const char* come;
  std::function<void(const fs::path& file, const std::string& bytes)> salva;
};

void scrivi(const fs::path& p, const std::string& b) { testing::write_bytes(p, b); }

fs::path accanto(const fs::path& p, const std::string& coda) {
  return p.parent_path() / (p.filename().string() + coda);
}

const Salvataggio kSalvataggi[] = {
    {"in place", scrivi},
    {"write then rename",
     [](const fs::path& p, const std::string& b) {
       scrivi(accanto(p, ".tmp1234"), b);
       fs::rename(accanto(p, ".tmp1234"), p);
     }},
    {"delete then create",
     [](const fs::path& p, const std::string& b) {
       fs::remove(p);
       scrivi(p, b);
     }},
    {"backup by rename (vim)",
     [](const fs::path& p, const std::string& b) {
       scrivi(p.parent_path() / "4913", "");  // vim's test of the folder
       fs::remove(p.parent_path() / "4913");
       fs::rename(p, accanto(p, "~"));
       scrivi(p, b);
       fs::remove(accanto(p, "~"));
     }},
    {"backup by copy (vim)",
     [](const fs::path& p, const std::string& b) {
       fs::copy_file(p, accanto(p, "~"));
       scrivi(p, b);
       fs::remove(accanto(p, "~"));
     }},
};

TEST_F(Osserva, EachWayOfSavingMakesOneCompile) {
  avvia();
  std::size_t attese = 1;
  for (const Salvataggio& s : kSalvataggi) {
    SCOPED_TRACE(s.come);
    s.salva(linea, testo_linea + "\r\n");
    ++attese;
    ASSERT_TRUE(aspetta_compilazioni(attese));
    EXPECT_EQ(compilazioni_dopo_quiete(), attese);
  }
  // Both descriptions saved at nearly the same time: one compile.
  scrivi(linea, testo_linea);
  scrivi(treno, testo_treno);
  ++attese;
  ASSERT_TRUE(aspetta_compilazioni(attese));
  EXPECT_EQ(compilazioni_dopo_quiete(), attese);
  // Another file of the folder is no description: no compile.
  scrivi(dir / "descrizioni/Tratta_Valle3_30_note.txt", "note");
  EXPECT_EQ(compilazioni_dopo_quiete(), attese);
  ferma();
  EXPECT_EQ(stato, 0);
  for (int e : esiti) EXPECT_EQ(e, 0);
  // One line for each compile, each done with the files it wrote.
  std::istringstream righe(out.str());
  std::size_t n = 0;
  for (std::string riga; std::getline(righe, riga); ++n)
    EXPECT_NE(riga.find(" done: Tratta_Valle3_linea.dat Tratta_Valle3_30.sim "
                        "Tratta_Valle3_30.dat written; 0 warnings"),
              std::string::npos)
        << riga;
  EXPECT_EQ(n, attese);
}

TEST_F(Osserva, ADescriptionAwayForAMomentIsWaitedFor) {
  avvia();
  fs::remove(linea);
  std::this_thread::sleep_for(300ms);
  scrivi(linea, testo_linea);
  ASSERT_TRUE(aspetta_compilazioni(2));
  EXPECT_EQ(compilazioni_dopo_quiete(), 2u);
  ferma();
  EXPECT_EQ(out.str().find("missing"), std::string::npos) << out.str();
  EXPECT_EQ(err.str(), "");
}

// Each absence is given its whole wait, even when saves of the other
// description keep coming between two of them with no quiet for a compile.
TEST_F(Osserva, EachAbsenceIsGivenItsWholeWait) {
  avvia();
  const auto via_un_momento = [&] {
    fs::remove(linea);
    std::this_thread::sleep_for(250ms);
    scrivi(linea, testo_linea);
  };
  const auto t0 = std::chrono::steady_clock::now();
  via_un_momento();
  while (std::chrono::steady_clock::now() - t0 < 1900ms) {
    scrivi(treno, testo_treno);
    std::this_thread::sleep_for(50ms);
  }
  via_un_momento();
  ASSERT_TRUE(aspetta_compilazioni(2));
  EXPECT_EQ(compilazioni_dopo_quiete(), 2u);
  ferma();
  EXPECT_EQ(out.str().find("missing"), std::string::npos) << out.str();
}

// The descriptions' folder removed and put back, as a checkout can do: the
// watch says the folder is gone, once, after a second, and compiles again
// when it is back.
TEST_F(Osserva, AFolderGoneAndBackIsWaitedFor) {
  avvia();
  const fs::path cartella = linea.parent_path();
  fs::remove_all(cartella);
  std::this_thread::sleep_for(1500ms);
  fs::create_directories(cartella);
  scrivi(treno, testo_treno);
  scrivi(linea, testo_linea);
  ASSERT_TRUE(aspetta_compilazioni(2)) << out.str();
  // And it still watches the folder come back.
  scrivi(linea, testo_linea + "\r\n");
  ASSERT_TRUE(aspetta_compilazioni(3)) << out.str();
  ferma();
  EXPECT_EQ(stato, 0);
  EXPECT_EQ(esiti, (std::vector<int>{0, 0, 0}));
#ifndef _WIN32
  // (On Windows a folder removed while the watch holds it open keeps its
  // name until it is let go: the description is said to be missing.)
  const std::string testo = out.str();
  const std::string detto = "the folder '" + cartella.string() + "' is gone; waiting for it\n";
  ASSERT_NE(testo.find(detto), std::string::npos) << testo;
  EXPECT_EQ(testo.find(detto, testo.find(detto) + 1), std::string::npos) << testo;
#endif
}

#ifndef _WIN32
// A description that becomes a FIFO is no description to read again: said
// at once as bad use, never waited for, and the watch stops when asked.
TEST_F(Osserva, ADescriptionThatBecomesAFifoIsRefusedAndTheWatchStops) {
  avvia();
  fs::remove(treno);
  ASSERT_EQ(::mkfifo(treno.c_str(), 0600), 0);
  ASSERT_TRUE(aspetta_compilazioni(2)) << out.str();
  ferma();  // no FIFO to wait for: it ends
  EXPECT_EQ(stato, 0);
  EXPECT_EQ(esiti, (std::vector<int>{0, 2}));
  EXPECT_NE(out.str().find("the train description '" + treno.string() + "' is not a regular file"),
            std::string::npos)
      << out.str();
}
#endif

TEST_F(Osserva, ADescriptionMissingForGoodIsSaidOnceAndWaitedFor) {
  TempiOsserva tempi;
  tempi.attesa_mancante = 150ms;
  avvia(tempi);
  fs::remove(treno);
  std::this_thread::sleep_for(400ms);
  // A save of the other one meanwhile compiles nothing and says nothing more.
  scrivi(linea, testo_linea);
  EXPECT_EQ(compilazioni_dopo_quiete(), 1u);
  scrivi(treno, testo_treno);
  ASSERT_TRUE(aspetta_compilazioni(2));
  ferma();
  EXPECT_EQ(stato, 0);
  const std::string testo = out.str();
  const std::string riga =
      "the train description '" + treno.string() + "' is missing; waiting for it to come back\n";
  const std::size_t detto = testo.find(riga);
  ASSERT_NE(detto, std::string::npos) << testo;
  EXPECT_EQ(testo.find("missing", detto + riga.size()), std::string::npos) << testo;
  EXPECT_NE(testo.find("done:", detto), std::string::npos) << testo;
}

// A save with a diagnostic leaves the author's working set as it was, for
// the simulator to load meanwhile, and says so.
TEST_F(Osserva, ADiagnosticIsOneLineKeepsTheLastGoodSetAndTheNextGoodSaveIsDone) {
  avvia();
  std::map<std::string, std::string> buoni;
  for (const std::string& f : testing::names_in(dir / "uscita"))
    buoni[f] = testing::read_bytes(dir / "uscita" / f);
  ASSERT_EQ(buoni.size(), 3u);
  std::string rotto = testo_treno;
  rotto.replace(rotto.find("abbattimento codice, 7250,270"), 29, "abbattimento codice, 7300,270");
  scrivi(treno, rotto);
  ASSERT_TRUE(aspetta_compilazioni(2));
  for (const auto& [f, byte] : buoni) EXPECT_EQ(testing::read_bytes(dir / "uscita" / f), byte) << f;
  scrivi(treno, testo_treno);
  ASSERT_TRUE(aspetta_compilazioni(3));
  ferma();
  const std::vector<std::string> lette = righe_stampate();
  ASSERT_EQ(lette.size(), 3u) << out.str();
  EXPECT_NE(lette[1].find(treno.string() + ":"), std::string::npos) << lette[1];
  EXPECT_NE(lette[1].find(": code 7: "), std::string::npos) << lette[1];
  EXPECT_NE(lette[1].find(" is taken by the signal written at line "), std::string::npos) << lette[1];
  EXPECT_TRUE(lette[1].ends_with(
      "; kept from before: 'Tratta_Valle3_linea.dat', 'Tratta_Valle3_30.sim', 'Tratta_Valle3_30.dat' "
      "(the compile stopped at a diagnostic; --partial writes the files as far as the descriptions "
      "were read); 0 warnings"))
      << lette[1];
  EXPECT_NE(lette[2].find(" done: "), std::string::npos) << lette[2];
  EXPECT_EQ(esiti, (std::vector<int>{0, 3, 0}));
}

// Each warning's line follows the line of its compile, as compile tells it.
TEST_F(Osserva, EachWarningsLineFollowsItsOutcome) {
  avvia();
  std::string avvertito = testo_treno;
  avvertito.insert(avvertito.find("[fine]"), "segnal, 1000, 1\r\naderenza, 259000, 300\r\n");
  scrivi(treno, avvertito);
  ASSERT_TRUE(aspetta_compilazioni(2));
  ferma();
  const std::vector<std::string> lette = righe_stampate();
  ASSERT_EQ(lette.size(), 4u) << out.str();
  EXPECT_TRUE(lette[1].ends_with(" written; 2 warnings")) << lette[1];
  const std::string file = treno.string() + ":";
  EXPECT_EQ(lette[2].rfind(file, 0), 0u) << lette[2];
  EXPECT_NE(lette[2].find(": warning: line skipped: 'segnal'"), std::string::npos) << lette[2];
  EXPECT_EQ(lette[3].rfind(file, 0), 0u) << lette[3];
  EXPECT_NE(lette[3].find(": warning: the \"aderenza\" field 'aderenza' is 300"), std::string::npos)
      << lette[3];
  EXPECT_EQ(err.str(), "");
}

TEST_F(Osserva, AStopInTheMiddleOfACompileLetsItFinishItsFiles) {
  // The stop comes while the second compile writes its temporaries.
  int pezzi = 0;
  std::atomic<bool> seconda{false};
  testing::FaultyDisk disco([&](testing::DiskStep s) -> std::optional<platform::FileError> {
    if (seconda && s == testing::DiskStep::kPiece && ++pezzi == 1) osservatore->request_stop();
    return std::nullopt;
  });
  avvia({}, {}, disco);
  seconda = true;
  scrivi(linea, testo_linea + "\r\n");
  ciclo.join();
  EXPECT_EQ(stato, 0);
  EXPECT_EQ(esiti, (std::vector<int>{0, 0}));
  EXPECT_EQ(testing::names_in(dir / "uscita"),
            (std::set<std::string>{"Tratta_Valle3_30.dat", "Tratta_Valle3_30.sim",
                                   "Tratta_Valle3_linea.dat"}));
}

TEST_F(Osserva, WithJsonEachCompileIsCompilesObjectWithTheTime) {
  avvia({}, {"--json", "--strict"});
  std::string con_avvertenza = testo_treno;
  con_avvertenza.insert(con_avvertenza.find("[fine]"), "segnal, 1000, 1\r\n");
  scrivi(treno, con_avvertenza);
  ASSERT_TRUE(aspetta_compilazioni(2));
  ferma();
  std::istringstream righe(out.str());
  std::vector<nlohmann::json> oggetti;
  for (std::string riga; std::getline(righe, riga);) {
    ASSERT_TRUE(testing::JsonCheck::un_oggetto(riga)) << riga;
    oggetti.push_back(nlohmann::json::parse(riga));
  }
  ASSERT_EQ(oggetti.size(), 2u);
  for (const nlohmann::json& j : oggetti) {
    const std::string ora = j.at("time");
    ASSERT_EQ(ora.size(), 8u);
    EXPECT_EQ(ora.find_first_not_of("0123456789:"), std::string::npos) << ora;
    EXPECT_EQ(j.at("files").size(), 3u);
  }
  EXPECT_EQ(oggetti[0].at("exit_status"), 0);
  EXPECT_EQ(oggetti[1].at("exit_status"), 5);
  EXPECT_EQ(oggetti[1].at("warnings").size(), 1u);
  // The warning's line on stderr, as compile --json prints it.
  const std::string riga = err.str();
  EXPECT_EQ(riga.rfind(treno.string() + ":", 0), 0u) << riga;
  EXPECT_NE(riga.find(": warning: line skipped: 'segnal'"), std::string::npos) << riga;
  EXPECT_EQ(std::count(riga.begin(), riga.end(), '\n'), 1) << riga;
}

// What the watch cannot read again at each save is refused at the start,
// as compile refuses bad use, --json included; nothing is written.
TEST(Watch, BadUseEndsItAtTheStart) {
  testing::ScratchDir dir;
  const std::string linea = (dir / "linea.txt").string(), treno = (dir / "treno.txt").string();
  testing::write_bytes(linea, componi_documento(righe_linea()));
  testing::write_bytes(treno, componi_documento(righe_treno()));
  const std::string out = (dir / "uscita").string();
  const struct {
    std::vector<std::string> argomenti;
    const char* messaggio;
  } casi[] = {
      {{"watch", linea, "--out", out}, "watch needs a line description and a train description"},
      {{"watch", "-", treno, "--out", out}, "name files, not '-'"},
      {{"watch", linea, dir.path().string(), "--out", out}, "it is a folder"},
      {{"watch", linea, treno, "--out", linea}, "is not a folder"},
      // An output named like a description: every compile would refuse it.
      {{"watch", linea, (dir / "Tratta_Valle3_30.sim").string(), "--out", dir.path().string()},
       "is the file"},
      // The page is served to this computer only.
      {{"watch", linea, treno, "--out", out, "--serve", "0.0.0.0:8080"}, "this computer only"},
      {{"watch", linea, treno, "--out", out, "--open"}, "give --serve"},
      {{"watch", linea, treno, "--out", out, "--stop-after", "0"}, "--stop-after takes a number"},
      {{"watch", linea, treno, "--out", out, "--stop-after", "x1"}, "--stop-after takes a number"},
  };
  testing::write_bytes(dir / "Tratta_Valle3_30.sim", "");
  for (const auto& c : casi) {
    const testing::Esecuzione e = testing::esegui(c.argomenti);
    EXPECT_EQ(e.stato, kUscitaUsoErrato) << c.messaggio;
    EXPECT_NE(e.err.find(c.messaggio), std::string::npos) << e.err;
    std::vector<std::string> json = c.argomenti;
    json.push_back("--json");
    const testing::Esecuzione j = testing::esegui(json);
    EXPECT_EQ(j.stato, kUscitaUsoErrato);
    EXPECT_TRUE(testing::JsonCheck::un_oggetto(j.out)) << j.out;
  }
  EXPECT_FALSE(fs::exists(dir / "uscita"));
}

#ifndef _WIN32
// With --serve the address comes first, before any compile's line, so that
// whoever started the watch can open the page at once; --open hands it to
// the desktop's opener.
TEST(Watch, ServeSaysItsAddressFirstAndOpenHandsItToTheBrowser) {
  testing::ScratchDir dir;
  const std::string linea = (dir / "linea.txt").string(), treno = (dir / "treno.txt").string();
  testing::write_bytes(linea, componi_documento(righe_linea()));
  testing::write_bytes(treno, componi_documento(righe_treno()));
  // A stand-in for xdg-open that notes the address it was given.
  const fs::path aperto = dir / "aperto.txt";
  testing::write_bytes(dir / "xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" >'" + aperto.string() + "'\n");
  fs::permissions(dir / "xdg-open", fs::perms::owner_all);
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", (dir.path().string() + ":" + path).c_str(), 1);
  const testing::Esecuzione e = testing::esegui({"watch", linea, treno, "--out", (dir / "uscita").string(),
                                                 "--serve", "0", "--open", "--stop-after", "1"});
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  const std::string prima = "the route page is served on http://127.0.0.1:";
  ASSERT_EQ(e.out.rfind(prima, 0), 0u) << e.out;
  const size_t da = e.out.find("http://");
  const std::string indirizzo = e.out.substr(da, e.out.find('\n') - da);
  EXPECT_NE(e.out.find(" done: "), std::string::npos) << e.out;
  for (int i = 0; i < 200 && !fs::exists(aperto); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(testing::read_bytes(aperto), indirizzo);
}

/// The program's own watch of the built-in descriptions, in a folder of
/// its own, with `altre` options after them; its lines go to a file. The
/// signal `predefinito` (when not 0) takes its default action in it, as a
/// shell leaves it.
struct WatchAvviato {
  testing::ScratchDir dir;
  fs::path linea = dir / "linea.txt", treno = dir / "treno.txt";
  std::string uscita = (dir / "uscita").string(), righe = (dir / "righe.txt").string();
  pid_t pid = -1;

  explicit WatchAvviato(std::vector<std::string> altre, int predefinito = 0) {
    testing::write_bytes(linea, componi_documento(righe_linea()));
    testing::write_bytes(treno, componi_documento(righe_treno()));
    std::vector<std::string> argomenti = {TRATTA_EXE, "watch", linea.string(), treno.string(),
                                          "--out", uscita};
    argomenti.insert(argomenti.end(), altre.begin(), altre.end());
    std::vector<char*> argv;
    for (std::string& a : argomenti) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_addopen(&azioni, 1, righe.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributi;
    posix_spawnattr_init(&attributi);
    sigset_t predefiniti;
    sigemptyset(&predefiniti);
    if (predefinito != 0) sigaddset(&predefiniti, predefinito);
    posix_spawnattr_setsigdefault(&attributi, &predefiniti);
    posix_spawnattr_setflags(&attributi, POSIX_SPAWN_SETSIGDEF);
    EXPECT_EQ(posix_spawn(&pid, argv[0], &azioni, &attributi, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&azioni);
    posix_spawnattr_destroy(&attributi);
  }
  /// Its lines once the first compile is done (ten seconds at most).
  std::string dopo_la_prima() const {
    for (int i = 0; i < 1000 && testing::read_bytes(righe).find("done") == std::string::npos; ++i)
      std::this_thread::sleep_for(10ms);
    return testing::read_bytes(righe);
  }
  /// A save of the line description.
  void salva() const { testing::write_bytes(linea, componi_documento(righe_linea()) + "\r\n"); }
  /// The one whole set, and nothing else, in the output folder.
  void un_set_intero() const {
    EXPECT_EQ(testing::names_in(uscita),
              (std::set<std::string>{"Tratta_Valle3_30.dat", "Tratta_Valle3_30.sim",
                                     "Tratta_Valle3_linea.dat"}));
  }
};

// The program itself: SIGINT and SIGTERM end the watch with status 0 and
// leave the output folder as one whole set.
TEST(Watch, AnInterruptEndsTheProgramWithStatusZero) {
  for (int segnale : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(segnale);
    WatchAvviato w({}, segnale);
    // Its first compile done, then a save, and the interrupt meanwhile.
    w.dopo_la_prima();
    w.salva();
    std::this_thread::sleep_for(TempiOsserva{}.quiete + 5ms);
    ::kill(w.pid, segnale);
    int stato = 0;
    ASSERT_EQ(::waitpid(w.pid, &stato, 0), w.pid);
    EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) == 0) << stato;
    w.un_set_intero();
  }
}

// Under --serve, with a page following the watch and a client that never
// finishes its request holding the server's threads: one interrupt ends
// the watch with status 0 at once (within a second here; the bound below
// leaves room for the sanitizers' builds, where it once waited for the
// client to go); two in a row, whenever they come (here around a compile,
// at every few milliseconds), end it with the output folder one whole set
// and no temporary left, since only the main thread takes them and it
// holds them through the renames.
TEST(Watch, InterruptsUnderServeEndItWholeWhateverTheClients) {
  for (int volta = 0; volta < 8; ++volta) {
    SCOPED_TRACE(volta);
    const bool due = volta > 0;
    WatchAvviato w({"--serve", "0"});
    const std::string testo = w.dopo_la_prima();
    const std::size_t da = testo.find("127.0.0.1:");
    ASSERT_NE(da, std::string::npos) << testo;
    const int porta = std::stoi(testo.substr(da + 10));

    // A page that follows the watch, and a client that never finishes.
    auto collega = [&] {
      const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_port = htons(static_cast<uint16_t>(porta));
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      EXPECT_EQ(::connect(sock, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
      return sock;
    };
    const int pagina = collega(), lento = collega();
    const std::string eventi = "GET /events HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(porta) + "\r\n\r\n";
    ASSERT_EQ(::send(pagina, eventi.data(), eventi.size(), MSG_NOSIGNAL), static_cast<ssize_t>(eventi.size()));
    ASSERT_EQ(::send(lento, "GET / HT", 8, MSG_NOSIGNAL), 8);

    // A save, and the interrupts around its compile.
    w.salva();
    std::this_thread::sleep_for(TempiOsserva{}.quiete + std::chrono::milliseconds(volta * 3));
    const auto t0 = std::chrono::steady_clock::now();
    ::kill(w.pid, SIGINT);
    if (due) {
      std::this_thread::sleep_for(std::chrono::milliseconds(volta % 4));
      ::kill(w.pid, SIGINT);
    }
    int stato = 0;
    pid_t finito = 0;
    while ((finito = ::waitpid(w.pid, &stato, WNOHANG)) == 0 && std::chrono::steady_clock::now() - t0 < 15s)
      std::this_thread::sleep_for(5ms);
    if (finito == 0) {
      ::kill(w.pid, SIGKILL);
      ::waitpid(w.pid, &stato, 0);
      ADD_FAILURE() << "the watch did not end";
    }
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 8s);
    if (!due) {
      EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) == 0) << stato;
    }
    ::close(pagina);
    ::close(lento);
    w.un_set_intero();
  }
}
#endif

}  // namespace
}  // namespace tratta
