#include "authoring/output_checks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "authoring/commands.h"
#include "emitter/documents.h"
#include "testing/descriptions.h"
#include "testing/scratch_dir.h"
#include "testing/subcommand.h"

namespace tratta {

namespace {

namespace fs = std::filesystem;
using testing::linea;
using testing::treno;

using testing::esegui;
using testing::Esecuzione;

/// Every file under `cartella` with its bytes (a folder's lock file aside).
std::map<std::string, std::string> contenuto(const fs::path& cartella) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(cartella))
    if (e.path().filename() != platform::kLockFileName)
      out[e.path().lexically_relative(cartella).string()] =
        e.is_directory() ? "<folder>" : testing::read_bytes(e.path());
  return out;
}

}  // namespace

TEST(OutputChecks, AnInputThatIsAnOutputIsRefusedWithNothingWritten) {
  struct Case {
    const char* nome;
    const char* linea;  // where the line description stands in the folder
    const char* treno;
    const char* collegamento;  // made beside: "hard NAME" or "sym NAME" to the line description
    std::vector<std::string> extra;
    const char* perche;
  } cases[] = {
      {"line description at the line file's name", "Tratta_Valle3_linea.dat", "t.txt", "", {},
       "the line description '"},
      {"train description at the train file's name", "l.txt", "Tratta_Valle3_30.sim", "", {},
       "the train description '"},
      {"other scenario name", "Prova_7.dat", "t.txt", "",
       {"--scenario", "Prova", "--train-number", "7"}, "is the file '"},
      {"the same description twice", "l.txt", "l.txt", "", {}, "is the same file as"},
      {"route file a second name of the line description", "l.txt", "t.txt",
       "hard Tratta_Valle3_30.dat", {}, "is the file '"},
      {"train description a second name of the line description", "l.txt", "t2.txt",
       "hard t2.txt", {}, "is the same file as"},
#ifndef _WIN32
      {"train file a link to the line description", "l.txt", "t.txt",
       "sym Tratta_Valle3_30.sim", {}, "is the file '"},
#endif
      {"a temporary's name", "Tratta_Valle3_30.sim.tratta-0123456789abcdef.tmp", "t.txt", "", {},
       "has the name of a temporary file"},
  };
  for (const Case& c : cases) {
    testing::ScratchDir d;
    testing::write_bytes(d / c.linea, linea(""));
    const std::string collegamento = c.collegamento;
    if (std::string(c.treno) != c.linea && !collegamento.ends_with(c.treno))
      testing::write_bytes(d / c.treno, treno(""));
    if (collegamento.starts_with("hard ")) fs::create_hard_link(d / c.linea, d / collegamento.substr(5));
    if (collegamento.starts_with("sym ")) fs::create_symlink(d / c.linea, d / collegamento.substr(4));
    const auto prima = contenuto(d.path());
    std::vector<std::string> a = {"compile", (d / c.linea).string(), (d / c.treno).string(),
                                  "--out", d.path().string(), "--json"};
    a.insert(a.end(), c.extra.begin(), c.extra.end());
    Esecuzione e = esegui(a);
    EXPECT_EQ(e.stato, kUscitaUsoErrato) << c.nome << "\n" << e.err;
    EXPECT_NE(e.err.find(c.perche), std::string::npos) << c.nome << "\n" << e.err;
    EXPECT_NE(e.out.find("\"exit_status\": 2"), std::string::npos) << c.nome;
    EXPECT_EQ(contenuto(d.path()), prima) << c.nome;
  }
}

TEST(OutputChecks, ALineFileNotWrittenMayBeTheLineDescription) {
  testing::ScratchDir d;
  testing::write_bytes(d / "Tratta_Valle3_linea.dat", linea(""));
  testing::write_bytes(d / "t.txt", treno(""));
  Esecuzione e = esegui({"compile", (d / "Tratta_Valle3_linea.dat").string(),
                         (d / "t.txt").string(), "--out", d.path().string(), "--no-plan"});
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  EXPECT_EQ(testing::read_bytes(d / "Tratta_Valle3_linea.dat"), linea(""));
}

TEST(OutputChecks, NamesTooLongWithTheTemporarySuffixAreBadUse) {
  testing::ScratchDir d;
  testing::write_bytes(d / "l.txt", linea(""));
  testing::write_bytes(d / "t.txt", treno(""));
  const fs::path nuova = d / "nuova";
  // 240 + "_linea.dat" fits a name of 255 bytes; its temporary does not.
  for (size_t lunghezza : {size_t{240}, size_t{300}}) {
    Esecuzione e = esegui({"compile", (d / "l.txt").string(), (d / "t.txt").string(), "--out",
                           nuova.string(), "--scenario", std::string(lunghezza, 'S')});
    EXPECT_EQ(e.stato, kUscitaUsoErrato) << e.err;
    EXPECT_NE(e.err.find("is too long for its folder"), std::string::npos) << e.err;
    EXPECT_FALSE(fs::exists(nuova));
  }
#ifndef _WIN32
  // Just short enough, temporary included. (Windows would refuse the whole
  // path, longer than its 260 characters.)
  const std::string nome(255 - 28 - std::string("_linea.dat").size(), 'S');
  Esecuzione e = esegui({"compile", (d / "l.txt").string(), (d / "t.txt").string(), "--out",
                         nuova.string(), "--scenario", nome});
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  EXPECT_TRUE(fs::exists(nuova / (nome + "_linea.dat")));
#endif
}

TEST(OutputChecks, MissingFoldersAreMadeWithTheirParents) {
  testing::ScratchDir d;
  testing::write_bytes(d / "l.txt", linea(""));
  testing::write_bytes(d / "t.txt", treno(""));
  Esecuzione c = esegui({"compile", (d / "l.txt").string(), (d / "t.txt").string(), "--out",
                         (d / "a" / "b" / "c").string()});
  EXPECT_EQ(c.stato, kUscitaOk) << c.err;
  EXPECT_TRUE(fs::exists(d / "a" / "b" / "c" / "Tratta_Valle3_30.dat"));
  Esecuzione e = esegui({"emit", (d / "x" / "y").string()});
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  EXPECT_EQ(testing::read_bytes(d / "x" / "y" / "Tratta_Valle3_30_note.txt"),
            componi_documento(righe_note()));
}

TEST(OutputChecks, EmitOverAnEditedFileNeedsForce) {
  testing::ScratchDir d;
  ASSERT_EQ(esegui({"emit", d.path().string()}).stato, kUscitaOk);
  const std::string modificato = linea("pendenza, 500, 3\r\n");
  testing::write_bytes(d / "Tratta_Valle3_linea.txt", modificato);
  const auto prima = contenuto(d.path());

  Esecuzione e = esegui({"emit", d.path().string()});
  EXPECT_EQ(e.stato, kUscitaUsoErrato);
  // Every file in the way is named.
  for (const auto& [nome, bytes] : prima)
    EXPECT_NE(e.err.find(nome), std::string::npos) << nome << "\n" << e.err;
  EXPECT_NE(e.err.find("--force"), std::string::npos) << e.err;
  EXPECT_EQ(contenuto(d.path()), prima);

  // One file in the way is enough, and nothing else is written.
  testing::ScratchDir altra;
  testing::write_bytes(altra / "Tratta_Valle3_30_note.txt", "my notes");
  e = esegui({"emit", altra.path().string()});
  EXPECT_EQ(e.stato, kUscitaUsoErrato);
  EXPECT_NE(e.err.find("Tratta_Valle3_30_note.txt"), std::string::npos) << e.err;
  EXPECT_EQ(contenuto(altra.path()).size(), 1u);

  e = esegui({"emit", "--force", d.path().string()});
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  EXPECT_EQ(testing::read_bytes(d / "Tratta_Valle3_linea.txt"), componi_documento(righe_linea()));
}

TEST(OutputChecks, ADescriptionThatCannotBeReadSaysWhy) {
  testing::ScratchDir d;
  testing::write_bytes(d / "t.txt", treno(""));
  fs::create_directory(d / "cartella");
  std::error_code ec;
  fs::create_symlink("anello", d / "anello", ec);
  struct Case {
    fs::path linea;
    const char* perche;
  } cases[] = {
      {d / "assente.txt", "assente.txt': there is no such file"},
      {d / "cartella", "cartella': it is a folder"},
      // A link to itself is named as such, not as a missing file.
      {ec ? d / "cartella" : d / "anello", ec ? "cartella': it is a folder"
                                              : "anello': Too many levels of symbolic links"},
  };
  for (const Case& c : cases) {
    Esecuzione e = esegui({"compile", c.linea.string(), (d / "t.txt").string(), "--out",
                           (d / "out").string()});
    EXPECT_EQ(e.stato, kUscitaUsoErrato);
    EXPECT_NE(e.err.find(c.perche), std::string::npos) << e.err;
  }
}

}  // namespace tratta
