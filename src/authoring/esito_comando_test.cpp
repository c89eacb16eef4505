#include "authoring/esito_comando.h"

#include <gtest/gtest.h>

#include <sstream>

#include "authoring/commands.h"
#include "model/windows1252.h"
#include "testing/descriptions.h"
#include "testing/faulty_disk.h"
#include "testing/json_check.h"
#include "testing/scratch_dir.h"
#include "testing/subcommand.h"

namespace tratta {

namespace {

using testing::JsonCheck;
using testing::linea;
using testing::treno;

using testing::Esecuzione;

/// A train description with one record: nothing to warn about.
const std::string kTreno = treno("sabbia, 10\r\n");

Esecuzione compila(const testing::ScratchDir& d, const std::string& l, const std::string& t,
                   std::vector<std::string> extra = {},
                   platform::Disk& disco = platform::system_disk()) {
  testing::write_bytes(d / "l.txt", l);
  testing::write_bytes(d / "t.txt", t);
  std::vector<std::string> a = {"compile", (d / "l.txt").string(), (d / "t.txt").string(),
                                "--out", d.path().string(), "--json"};
  a.insert(a.end(), extra.begin(), extra.end());
  return testing::esegui(a, disco);
}

}  // namespace

TEST(CompileReport, EveryExitStatusWithItsJsonObject) {
  const std::string sistema = "cannot write 'x': No space left on device";
  struct Case {
    int stato;
    std::string linea, treno;
    std::vector<std::string> extra;
    bool guasto;           // the first write fails, as on a full disk
    const char* nel_json;  // a piece the object holds
    const char* su_stderr;
  } cases[] = {
      {kUscitaOk, linea(""), kTreno, {}, false,
       "\"fatal\": null, \"files\": [\"Tratta_Valle3_linea.dat\"", ""},
      {kUscitaOk, linea(""), kTreno, {"--strict"}, false, "\"warnings\": [], \"exit_status\": 0",
       ""},
      {kUscitaErroreFatale, linea("cartello indicatore, 0, (X)\r\n"), kTreno, {}, false,
       "\"fatal\": 1250, \"files\": []", " Errore n. 1250\n"},
      {kUscitaUsoErrato, linea(""), treno(""), {"--fast"}, false,
       "{\"codice_errore\": null, \"posizione_errore\": null, \"file\": null, \"line\": null, "
       "\"message\": null, \"mend\": null, \"fatal\": null, \"files\": [], \"kept\": [], "
       "\"kept_because\": null, \"warnings\": [], \"exit_status\": 2, \"error\": "
       "\"unknown option '--fast'\"}",
       "tratta_valle3: unknown option '--fast'\n(see tratta_valle3 compile --help)\n"},
      {kUscitaDiagnosi, linea("pendenza, 16901, 3\r\n"), kTreno, {}, false,
       "\"codice_errore\": 15, \"posizione_errore\": 16901", "code 15: "},
      // A diagnostic wins over the warnings of --strict.
      {kUscitaDiagnosi, linea("pendeza, 500, 1\r\npendenza, 16901, 3\r\n"), kTreno, {"--strict"},
       false, "\"codice_errore\": 15", "l.txt:9: code 15: "},
      {kUscitaAvvertenze, linea("pendeza, 500, 1\r\n"), kTreno, {"--strict"}, false,
       "\"files\": [\"Tratta_Valle3_linea.dat\", \"Tratta_Valle3_30.sim\", "
       "\"Tratta_Valle3_30.dat\"], \"kept\": [], \"kept_because\": null, \"warnings\": "
       "[{\"file\": ",
       "l.txt:8: warning: line skipped: 'pendeza' is no record the reader takes (did you mean "
       "\"pendenza\"?)\n"},
      // The message agrees with the status: the reading found nothing, but
      // no file was written.
      {kUscitaErroreSistema, linea(""), kTreno, {}, true,
       "\"codice_errore\": 0, \"posizione_errore\": 0, \"file\": null, \"line\": null, "
       "\"message\": \"cannot write 'x': No space left on device; no file written\", "
       "\"mend\": null, \"fatal\": null, \"files\": [], \"kept\": [], \"kept_because\": "
       "null, \"warnings\": [], \"exit_status\": 4, "
       "\"error\": \"cannot write 'x': No space left on device; no file written\"}",
       "tratta_valle3: cannot write 'x': No space left on device; no file written\n"},
  };
  for (const Case& c : cases) {
    testing::ScratchDir d;
    testing::FaultyDisk disco([&](testing::DiskStep) -> std::optional<platform::FileError> {
      if (c.guasto) return platform::FileError{sistema};
      return std::nullopt;
    });
    Esecuzione e = compila(d, c.linea, c.treno, c.extra, disco);
    EXPECT_EQ(e.stato, c.stato) << e.err;
    EXPECT_TRUE(JsonCheck::un_oggetto(e.out)) << e.out;
    EXPECT_EQ(std::count(e.out.begin(), e.out.end(), '\n'), 1) << e.out;
    EXPECT_NE(e.out.find("\"exit_status\": " + std::to_string(c.stato) + ","), std::string::npos)
        << e.out;
    EXPECT_NE(e.out.find(c.nel_json), std::string::npos) << e.out;
    EXPECT_NE(e.err.find(c.su_stderr), std::string::npos) << e.err;
    EXPECT_EQ(e.err.empty(), c.stato == kUscitaOk) << e.err;
    // Warnings under --strict leave the files written; a diagnostic, like
    // every failure, writes none.
    EXPECT_EQ(std::filesystem::exists(d / "Tratta_Valle3_30.dat"),
              c.stato == kUscitaOk || c.stato == kUscitaAvvertenze)
        << c.stato;
  }
}

TEST(CompileReport, AFolderInTheWayOfAnOutputIsAFailureOfTheSystem) {
  testing::ScratchDir d;
  testing::write_bytes(d / "Tratta_Valle3_linea.dat", "older plan");
  std::filesystem::create_directory(d / "Tratta_Valle3_30.dat");
  Esecuzione e = compila(d, linea(""), treno(""));
  EXPECT_EQ(e.stato, kUscitaErroreSistema);
  EXPECT_TRUE(JsonCheck::un_oggetto(e.out)) << e.out;
  EXPECT_NE(e.err.find("Tratta_Valle3_30.dat"), std::string::npos) << e.err;
  // The set is all or nothing: the line file renamed before is given back.
  EXPECT_EQ(testing::read_bytes(d / "Tratta_Valle3_linea.dat"), "older plan");
  EXPECT_FALSE(std::filesystem::exists(d / "Tratta_Valle3_30.sim"));
}

TEST(CompileReport, InvalidUtf8InValidJsonOut) {
  struct Case {
    const char* nome;
    std::string campo;
    const char* nel_json;
    const char* su_stderr;
  } cases[] = {
      {"overlong", "\xE0\x80\xAF", "\\u00e0\\u0080\\u00af", "\\xe0\\x80\\xaf"},
      {"surrogate", "\xED\xA0\x80", "\\u00ed\\u00a0\\u0080", "\\xed\\xa0\\x80"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", "\\u00f4\\u0090\\u0080\\u0080",
       "\\xf4\\x90\\x80\\x80"},
      {"overlong of 4", "\xF0\x8F\xBF\xBF", "\\u00f0\\u008f\\u00bf\\u00bf", "\\xf0\\x8f\\xbf\\xbf"},
      {"cut sequence", "\xE6\x97", "\\u00e6\\u0097", "\\xe6\\x97"},
      {"C1 control", "\xC2\x9B" "31m", "\\u009b31m", "\\xc2\\x9b31m"},
      {"NUL and after", std::string("a\0b\x1B[2Jc", 8), "a\\u0000b\\u001b[2Jc",
       "a\\x00b\\x1b[2Jc'"},
      {"well-formed", "citt\xC3\xA0 \xF0\x9F\x9A\x86", "citt\xC3\xA0 \xF0\x9F\x9A\x86",
       "citt\xC3\xA0 \xF0\x9F\x9A\x86"},
  };
  for (const Case& c : cases) {
    testing::ScratchDir d;
    Esecuzione e = compila(d, linea("pendenza, 500, " + c.campo + "\r\n"), treno(""));
    EXPECT_EQ(e.stato, kUscitaDiagnosi) << c.nome;
    EXPECT_TRUE(JsonCheck::un_oggetto(e.out)) << c.nome << "\n" << e.out;
    EXPECT_NE(e.out.find(c.nel_json), std::string::npos) << c.nome << "\n" << e.out;
    EXPECT_TRUE(JsonCheck::utf8_valido(e.err)) << c.nome;
    EXPECT_NE(e.err.find(c.su_stderr), std::string::npos) << c.nome << "\n" << e.err;
    // One line for the diagnostic and one that no file was written; a
    // description that is well-formed UTF-8 also draws the warning that it
    // is not Windows-1252.
    const bool utf8 = utf8_beyond_ascii(c.campo);
    EXPECT_EQ(std::count(e.err.begin(), e.err.end(), '\n'), utf8 ? 3 : 2) << c.nome << "\n" << e.err;
  }
}

#ifndef _WIN32
TEST(CompileReport, PathBytesShownReadably) {
  // A folder name that is not UTF-8, with a control byte: refused as bad
  // use with the path in the message.
  testing::ScratchDir d;
  const std::filesystem::path strana = d / "cart\xFF\x01lla";
  std::filesystem::create_directory(strana);
  testing::write_bytes(strana / "l.txt", linea(""));
  std::ostringstream out, err;
  const int stato =
      esegui_comando({"compile", (strana / "l.txt").string(), (strana / "nessuno.txt").string(),
                      "--json"},
                     out, err);
  EXPECT_EQ(stato, kUscitaUsoErrato);
  EXPECT_TRUE(JsonCheck::un_oggetto(out.str())) << out.str();
  EXPECT_NE(out.str().find("cart\\u00ff\\u0001lla/nessuno.txt': there is no such file"),
            std::string::npos)
      << out.str();
  EXPECT_NE(err.str().find("cart\\xff\\x01lla/nessuno.txt': there is no such file"),
            std::string::npos)
      << err.str();
}
#endif

}  // namespace tratta
