// The one-shot run as a user meets it: the program started with no
// arguments in a folder of its own.

#include <gtest/gtest.h>

#ifndef _WIN32

#include <unistd.h>

#include <cstdlib>
#include <set>

#include "model/codice_gara.h"
#include "model/scenario_files.h"
#include "testing/program_copy.h"
#include "testing/scratch_dir.h"

namespace tratta {

namespace {

namespace fs = std::filesystem;
using testing::CartellaProgramma;

const std::set<std::string> kDopoLaCorsa = {
    "tratta_valle3",         "out.log",
    "err.log",               "Tratta_Valle3_30_note.txt",
    "Tratta_Valle3_30_rallentamenti.txt", "Tratta_Valle3_30_scheda_treno.txt",
    "Tratta_Valle3_linea.dat", "Tratta_Valle3_30.sim",
    "Tratta_Valle3_30.dat"};

}  // namespace

TEST(OneShotRun, WritesBesideItselfAndAgainTheSameBytes) {
  CartellaProgramma p;
  // Before the run the folder holds the program alone; it is run from
  // another folder (esegui starts it from /).
  ASSERT_EQ(p.file(), std::set<std::string>{"tratta_valle3"});
  testing::write_bytes(p.dir / "Tratta_Valle3_30.dat", std::string(200000, 'x'));
  ASSERT_EQ(p.esegui(), 0) << p.leggi("err.log");
  EXPECT_EQ(p.leggi("out.log"), "Attendere\n");
  EXPECT_EQ(p.file(), kDopoLaCorsa);
  const std::string sim = p.leggi("Tratta_Valle3_30.sim");
  const std::string dat = p.leggi("Tratta_Valle3_30.dat");
  const std::string lin = p.leggi("Tratta_Valle3_linea.dat");
  // The older, longer route file is gone: 5341 records of 15 bytes.
  EXPECT_EQ(dat.size(), 80115u);
  EXPECT_EQ(lin.size(), 20u * 267000 - 36);
  EXPECT_GE(sim.size(), 87u * 34);
  // The stamps and route codes: slot 85 carries the mark 610 and the
  // weighted code, segment 1 the mark 5121 and the plain code. Both files
  // decode whole: 87 slots and nothing after them, 15-byte records.
  const auto voci = decodifica_file_treno(sim, "Tratta_Valle3_30.sim");
  const auto segmenti = decodifica_file_percorso(dat, "Tratta_Valle3_30.dat");
  ASSERT_TRUE(voci.ok()) << voci.errore->testo();
  ASSERT_TRUE(segmenti.ok()) << segmenti.errore->testo();
  const Voce& linea = voci.valore[85];
  EXPECT_EQ(linea.nome, "Tratta_Valle3");
  EXPECT_EQ(linea.d2_a, 610);
  EXPECT_EQ(linea.orario, codice_gara_st("30", "Tratta_Valle3"));
  ASSERT_GT(segmenti.valore.size(), 1u);
  EXPECT_EQ(segmenti.valore[1].valore1, 5121);
  EXPECT_EQ(segmenti.valore[1].valore2, codice_gara_og("30", "Tratta_Valle3"));

  ASSERT_EQ(p.esegui(), 0);
  EXPECT_EQ(p.leggi("Tratta_Valle3_30.sim"), sim);
  EXPECT_EQ(p.leggi("Tratta_Valle3_30.dat"), dat);
  EXPECT_EQ(p.leggi("Tratta_Valle3_linea.dat"), lin);
}

TEST(OneShotRun, ReadOnlyFolderFailsClearlyAndKeepsOlderFiles) {
  CartellaProgramma p;
  const std::string vecchio(100000, 'v');
  testing::write_bytes(p.dir / "Tratta_Valle3_30.dat", vecchio);
  std::string prefisso;
  if (::geteuid() == 0) {
    // Root writes anywhere: run the program as an ordinary user instead.
    prefisso = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    if (std::system("command -v setpriv > /dev/null") != 0) GTEST_SKIP() << "no setpriv";
    fs::permissions(p.dir / "Tratta_Valle3_30.dat", fs::perms::all);
  } else {
    fs::permissions(p.dir.path(), fs::perms::owner_write, fs::perm_options::remove);
  }
  EXPECT_NE(p.esegui(prefisso), 0);
  const std::string err = p.leggi("err.log");
  EXPECT_NE(err.find("Tratta_Valle3_linea.txt"), std::string::npos) << err;
  EXPECT_NE(err.find("denied"), std::string::npos) << err;
  EXPECT_NE(err.find(" in '" + p.dir.path().string() + "', and could not be written there"),
            std::string::npos)
      << err;
  EXPECT_EQ(p.leggi("Tratta_Valle3_30.dat"), vecchio);
}

// A folder that root cannot write either: a read-only mount of it (where
// this system lets a test make one), or a folder standing where the first
// document goes. The message says where the run tried and how to build the
// scenario in a folder of one's own, and nothing of the folder changes.
TEST(OneShotRun, AFolderItCannotWriteSaysWhereAndHowToBuildElsewhere) {
  struct Caso {
    const char* nome;
    bool sola_lettura;  // a read-only mount, else a folder in the way
  } casi[] = {{"a folder in the way", false}, {"read-only mount", true}};  // the skip last
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProgramma p;
    testing::ScratchDir registri;
    const std::string programma = (p.dir / "tratta_valle3").string();
    const std::string cartella = p.dir.path().string();
    std::string comando = "cd / && '" + programma + "'";
    if (c.sola_lettura) {
      if (std::system("unshare -m true > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "no mount namespace for a read-only mount";
      comando = "cd / && unshare -m sh -c \"mount --bind '" + cartella + "' '" + cartella +
                "' && mount -o remount,ro,bind '" + cartella + "' && exec '" + programma + "'\"";
    } else {
      fs::create_directory(p.dir / "Tratta_Valle3_linea.txt");
    }
    const std::set<std::string> prima = p.file();
    const int stato = std::system((comando + " > '" + (registri / "out.log").string() + "' 2> '" +
                                   (registri / "err.log").string() + "'")
                                      .c_str());
    EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) != 0) << stato;
    const std::string err = testing::read_bytes(registri / "err.log");
    EXPECT_NE(err.find("Tratta_Valle3_linea.txt"), std::string::npos) << err;
    EXPECT_NE(err.find("\nThe scenario is built beside the program, in '" + cartella +
                       "', and could not be written there. To build it in a folder of your "
                       "own:\n  tratta_valle3 emit DIR\n  tratta_valle3 compile "
                       "DIR/Tratta_Valle3_linea.txt DIR/Tratta_Valle3_30-.txt --out DIR\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(p.file(), prima);
  }
}

}  // namespace tratta

#endif  // _WIN32
