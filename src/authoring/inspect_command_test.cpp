// inspect and view as an author meets them: on the files that compile
// writes, on files made by hand with odd contents, and on damaged files.
#include "authoring/inspect_command.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#include "authoring/commands.h"
#include "model/coding.h"
#include "model/scenario_files.h"
#include "model/windows1252.h"
#include "testing/descriptions.h"
#include "testing/scratch_dir.h"

namespace tratta {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

struct Esito {
  int stato;
  std::string out, err;
};

Esito esegui(const std::vector<std::string>& argomenti) {
  std::ostringstream out, err;
  const int stato = esegui_comando(argomenti, out, err);
  return {stato, out.str(), err.str()};
}

// A small scenario that uses every kind of event, record by record with
// the lines that each must give in the listing: a montagna stretch with
// markers, a speed indicator, a sign, a signal, a slowdown (with the
// abatements that the finishing pass adds), abatements with and without a
// value and a station whose name holds a letter of the code page.
struct RecordProva {
  bool linea;  // a record of the line description, else of the train description
  const char* record;
  std::vector<std::string> righe;
};
const RecordProva kRecordProva[] = {
    {true, "pendenza, 0, 0", {"\n  from 0 m to 1200 m: gradient level\n"}},
    {true, "pendenza, 1200, -11", {"\n  from 1200 m to 5000 m: gradient -11 per mille\n"}},
    {true,
     "pendenza, 5000, 8",
     {"\n  from 5000 m to 16900 m: gradient 8 per mille\n",
      "\n  from 16900 m to 17050 m: gradient not set\n"}},
    {true, "curvad2, 500, 300", {"\nplan extent x from 0.0 to "}},
    {true,
     "montagna, 2000, 3000, 12",
     {"\n  from 2000 m to 3000 m: montagna class 2 (4 markers)\n"}},
    {true,
     "indicatori_vmax, 1500, 100, 105, 110, 0, 100, 105, 110, 0",
     {"\n  at 1550 m (written at 1500 m): speed indicator: 100|100 105|105 110|110 km/h left|right, stripes 0|0\n"}},
    {true,
     "cartello_indicatore, 2500, (GALLERIA)(Prova)",
     {"\n  at 2550 m (written at 2500 m): sign \"(GALLERIA)(Prova)\"\n",
      "\n  slot 80: sign text \"(GALLERIA)(Prova)\"\n"}},
    {false, "velocita, 0, 30", {"\n  from 0 m to 1200 m: limit 30 km/h\n"}},
    {false, "velocita, 1200, 95", {"\n  from 1200 m to 5350 m: limit 95 km/h\n"}},
    {false,
     "velocita, 5350, 60",
     {"\n  from 5350 m to 16900 m: limit 60 km/h\n",
      "\n  from 16900 m to 17050 m: limit not set\n"}},
    {false, "aderenza, 0, 80", {"\n  from 0 m to 16900 m: adhesion 80\n"}},
    {false, "orologio, 7 6 30", {", clock 07:06:30\n"}},
    {false, "sabbia, 200", {", sand 200, "}},
    {false,
     "segnale, 4000, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0",
     {"\n  at 4050 m (written at 4000 m): signal: aspects 4 1 0 left, 3 1 0 right; sx 1, dx 1, rapp 0\n",
      // before a signal in the 20 segments before a slowdown warning
      "\n  at 4000 m: code abatement 180\n"}},
    {false,
     "rallentamento, 6000, 60, 500, 1, 1, 0",
     {"\n  at 4800 m: slowdown pre-warning 1 of 4\n",
      "\n  at 4650 m: slowdown pre-warning 4 of 4\n",
      "\n  at 4850 m: slowdown warning: speed value 60\n",
      "\n  at 6050 m (written at 6000 m): slowdown start: speed value 60, f_tt 1, to 6550 m\n",
      "\n  at 6550 m: slowdown end: speed value 60, f_tt 1\n",
      // the finishing pass: three before the start, one inside
      "\n  at 5150 m: code abatement 180\n", "\n  at 5500 m: code abatement 180\n",
      "\n  at 5800 m: code abatement 180\n", "\n  at 6450 m: code abatement 180\n"}},
    {false, "abbattimento codice, 3500, 270", {"\n  at 3500 m: code abatement 270\n"}},
    {false, "abbattimento codice, 3600, 0", {"\n  at 3600 m: code abatement without a value\n"}},
    {false,
     "stazione, 8000, 2, 600, 0, 0, 0, 1,1,0, 4,1,1, 0, 8, 15, 0, CITT\xC0 NUOVA",
     {"\n  at 8250 m: station 1 \"CITT\xC3\x80 NUOVA\" (kind 2): from 7700 m to 8300 m, position "
      "8000 m, "
      "time 08:15:00\n",
      "\n  slot 1: station \"CITT\xC3\x80 NUOVA\" (kind 2): from 7700 m to 8300 m, position 8000 "
      "m, time "
      "08:15:00; tps 0, d2 1, d3 1, rap 0, d1 4, d2 1, d3 1, ac 0, mar 0, tab 0\n"}},
};

std::string descrizione(bool linea) {
  std::string corpo;
  for (const RecordProva& r : kRecordProva)
    if (r.linea == linea) corpo += std::string(r.record) + "\r\n";
  return linea ? testing::linea(corpo) : testing::treno(corpo);
}
const std::string kLineaProva = descrizione(true);
const std::string kTrenoProva = descrizione(false);

/// A folder with the scenario "Prova", train "7", compiled from the small
/// descriptions above.
struct Scenario {
  testing::ScratchDir dir;
  explicit Scenario(bool con_piano = true) {
    testing::write_bytes(dir / "linea.txt", kLineaProva);
    testing::write_bytes(dir / "treno.txt", kTrenoProva);
    std::vector<std::string> a = {"compile",
                                  (dir / "linea.txt").string(),
                                  (dir / "treno.txt").string(),
                                  "--out",
                                  dir.path().string(),
                                  "--scenario",
                                  "Prova",
                                  "--train-number",
                                  "7"};
    if (!con_piano) a.push_back("--no-plan");
    const Esito e = esegui(a);
    EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  }
  std::string cartella() const { return dir.path().string(); }
  Esito inspect(std::vector<std::string> extra = {}) const {
    std::vector<std::string> a = {"inspect", cartella(),       "--scenario",
                                  "Prova",   "--train-number", "7"};
    a.insert(a.end(), extra.begin(), extra.end());
    return esegui(a);
  }
};

/// A whole number field of a record, checked to be one and to fit its
/// width.
template <typename T>
T campo(const Json& record, const char* nome) {
  const Json& f = record.at(nome);
  EXPECT_TRUE(f.is_number_integer()) << nome << ": " << f.dump();
  const int64_t v = f.is_number_integer() ? f.get<int64_t>() : 0;
  EXPECT_GE(v, std::numeric_limits<T>::min()) << nome;
  EXPECT_LE(v, std::numeric_limits<T>::max()) << nome;
  return static_cast<T>(v);
}

/// One plan element as the JSON gives it: null when empty, a whole number
/// for a 16-bit integer, any other number (or "NaN", "NaN(0x<bits>)",
/// "Infinity", "-Infinity") for a double.
void put_elemento(std::string& out, const Json& e) {
  if (e.is_null()) {
    put_u16(out, static_cast<uint16_t>(TagPiano::kVuoto));
    return;
  }
  // A double always carries a point or an exponent, so it never reads as
  // a whole number.
  if (e.is_number_integer()) {
    put_u16(out, static_cast<uint16_t>(TagPiano::kIntero16));
    put_i16(out, campo<int16_t>(Json{{"v", e}}, "v"));
    return;
  }
  double v = 0;
  if (e.is_string()) {
    const std::string testo = e.get<std::string>();
    if (testo.starts_with("NaN(0x")) {
      uint64_t bits = 0;
      std::from_chars(testo.data() + 6, testo.data() + testo.size() - 1, bits, 16);
      std::memcpy(&v, &bits, sizeof v);
    } else {
      EXPECT_TRUE(testo == "NaN" || testo == "Infinity" || testo == "-Infinity") << testo;
      v = testo == "NaN" ? std::numeric_limits<double>::quiet_NaN()
                         : (testo[0] == '-' ? -1 : 1) * std::numeric_limits<double>::infinity();
    }
  } else {
    EXPECT_TRUE(e.is_number_float()) << e.dump();
    v = e.get<double>();
  }
  put_u16(out, static_cast<uint16_t>(TagPiano::kDoppio));
  put_f64(out, v);
}

struct FileScenario {
  std::string percorso, treno;
  std::optional<std::string> linea;
};

/// The three files rebuilt from what `inspect --json --points` printed,
/// with the encoders of the scenario files.
FileScenario ricostruisci(const std::string& testo) {
  const Json j = Json::parse(testo);
  RouteModel m;
  for (const Json& s : j.at("route").at("segmenti")) {
    EXPECT_EQ(s.size(), 11u);
    m.segmenti.push_back({campo<uint8_t>(s, "tipo"), campo<int16_t>(s, "valore1"),
                          campo<int16_t>(s, "valore2"), campo<int16_t>(s, "valore3"),
                          campo<int16_t>(s, "valore4"), campo<uint8_t>(s, "tempo_segnale"),
                          campo<uint8_t>(s, "avviso"), campo<uint8_t>(s, "classe_montagna"),
                          campo<uint8_t>(s, "vel_limite"), campo<uint8_t>(s, "pendenza_seg"),
                          campo<uint8_t>(s, "aderenza_seg")});
  }
  const Json& voci = j.at("train").at("voci");
  EXPECT_EQ(voci.size(), 87u);
  for (size_t i = 0; i < voci.size() && i < m.voci.size(); ++i) {
    const Json& v = voci[i];
    EXPECT_EQ(v.size(), 16u);
    const std::optional<std::string> nome = encode_windows1252(v.at("nome").get<std::string>());
    EXPECT_TRUE(nome.has_value()) << v.at("nome");
    m.voci[i] = {
        campo<uint8_t>(v, "tipo"),      campo<int32_t>(v, "inizio"), campo<int32_t>(v, "fine"),
        campo<int32_t>(v, "posizione"), campo<uint8_t>(v, "tps"),    nome.value_or(""),
        campo<int16_t>(v, "d2_a"),      campo<int16_t>(v, "d3_a"),   campo<int16_t>(v, "d1_b"),
        campo<int16_t>(v, "d2_b"),      campo<int16_t>(v, "d3_b"),   campo<uint8_t>(v, "rap"),
        campo<uint8_t>(v, "ac"),        campo<uint8_t>(v, "mar"),    campo<uint8_t>(v, "tab"),
        campo<int32_t>(v, "orario")};
  }
  FileScenario f{codifica_file_percorso(m), codifica_file_treno(m), std::nullopt};
  const Json& linea = j.at("line");
  if (!linea.is_null()) {
    const Json& punti = linea.at("points");
    EXPECT_EQ(static_cast<int64_t>(punti.size()), linea.at("metri_totali").get<int64_t>() + 1);
    std::string assi[2];
    for (const Json& p : punti)
      for (int a = 0; a < 2; ++a) put_elemento(assi[a], p.is_null() ? p : p.at(static_cast<size_t>(a)));
    f.linea = assi[0] + assi[1];
  }
  return f;
}

FileScenario leggi_file(const fs::path& dir, const std::string& scenario,
                        const std::string& treno) {
  FileScenario f{testing::read_bytes(dir / (scenario + "_" + treno + ".dat")),
                 testing::read_bytes(dir / (scenario + "_" + treno + ".sim")), std::nullopt};
  if (fs::exists(dir / (scenario + "_linea.dat")))
    f.linea = testing::read_bytes(dir / (scenario + "_linea.dat"));
  return f;
}

/// Files made by hand with what compile never writes: every byte in the
/// names, an unknown event, a station slot outside the table, a plan with
/// mixed and non-finite elements.
void scrivi_file_strani(const fs::path& dir) {
  RouteModel m;
  m.segmenti.assign(6, Segmento());
  m.segmenti[0] = {99, -1, 2, -3, 4, 5, 6, 7, 8, 9, 10};
  m.segmenti[1] = {kStazione, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  m.segmenti[2] = {kCartello, 80, 0, 0, 0, 0, 0, 255, 255, 0, 255};
  m.segmenti[3] = {kSegnale, -32768, 32767, 100, 9, 255, 0, 0, 0, 0, 0};
  m.segmenti[4] = {kIndicatoreVmax, -5, 0, 0, 1000, 0, 0, 0, 0, 0, 0};
  std::string tutti;
  for (int b = 0; b < 256; ++b) tutti.push_back(static_cast<char>(b));
  m.voci[80].nome = "<b>&\"'</b>" + tutti;
  m.voci[85].nome = "S";
  m.voci[86].nome = "1";
  m.voci[3] = {255, INT32_MIN, INT32_MAX, -1,  255, "x", -32768, 32767,
               0,   0,         0,         255, 255, 255, 255,    INT32_MIN};
  testing::write_bytes(dir / "S_1.dat", codifica_file_percorso(m));
  testing::write_bytes(dir / "S_1.sim", codifica_file_treno(m));
  const double doppi[] = {-0.0,
                          std::numeric_limits<double>::denorm_min(),
                          1e300,
                          -1e-300,
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          0.1,
                          2.0};
  std::string assi[2];
  for (int a = 0; a < 2; ++a) {
    put_u16(assi[a], 2);
    put_i16(assi[a], a ? -32768 : 32767);
    for (double d : doppi) {
      put_u16(assi[a], 5);
      put_f64(assi[a], a ? -d : d);
    }
    put_u16(assi[a], a ? 0 : 2);  // a metre empty on one axis only
    if (!a) put_i16(assi[a], 7);
    put_u16(assi[a], 0);
  }
  testing::write_bytes(dir / "S_linea.dat", assi[0] + assi[1]);
}

/// Marks of `kind` in a page, with their metres.
std::multiset<int64_t> marche(const std::string& pagina, const std::string& kind) {
  std::multiset<int64_t> metri;
  const std::string chiave = "data-kind=\"" + kind + "\" data-metre=\"";
  for (size_t i = pagina.find(chiave); i != std::string::npos; i = pagina.find(chiave, i + 1))
    metri.insert(std::stoll(pagina.substr(i + chiave.size(), 20)));
  return metri;
}

}  // namespace

TEST(Inspect, JsonRebuildsTheFilesByteForByte) {
  struct Caso {
    const char* nome;
    std::function<void(const fs::path&)> prepara;
    std::string scenario, treno;
  };
  const auto compila = [](const fs::path& dir, bool piano) {
    testing::write_bytes(dir / "l.txt", kLineaProva);
    testing::write_bytes(dir / "t.txt", kTrenoProva);
    std::vector<std::string> a = {"compile",
                                  (dir / "l.txt").string(),
                                  (dir / "t.txt").string(),
                                  "--out",
                                  dir.string(),
                                  "--scenario",
                                  "Prova",
                                  "--train-number",
                                  "7"};
    if (!piano) a.push_back("--no-plan");
    ASSERT_EQ(esegui(a).stato, kUscitaOk);
  };
  const Caso casi[] = {
      {"the built-in scenario",
       [](const fs::path& dir) {
         ASSERT_EQ(esegui({"emit", dir.string()}).stato, kUscitaOk);
         ASSERT_EQ(esegui({"compile", (dir / "Tratta_Valle3_linea.txt").string(),
                           (dir / "Tratta_Valle3_30-.txt").string(), "--out", dir.string()})
                       .stato,
                   kUscitaOk);
       },
       "Tratta_Valle3", "30"},
      {"a small scenario", [&](const fs::path& dir) { compila(dir, true); }, "Prova", "7"},
      {"a small scenario without a plan", [&](const fs::path& dir) { compila(dir, false); },
       "Prova", "7"},
      {"files made by hand", scrivi_file_strani, "S", "1"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    testing::ScratchDir dir;
    c.prepara(dir.path());
    const Esito e = esegui({"inspect", dir.path().string(), "--scenario", c.scenario,
                            "--train-number", c.treno, "--json", "--points"});
    ASSERT_EQ(e.stato, kUscitaOk) << e.err;
    EXPECT_EQ(e.err, "");
    FileScenario ricostruiti;
    ASSERT_NO_THROW(ricostruiti = ricostruisci(e.out));
    const FileScenario scritti = leggi_file(dir.path(), c.scenario, c.treno);
    EXPECT_TRUE(ricostruiti.percorso == scritti.percorso);
    EXPECT_TRUE(ricostruiti.treno == scritti.treno);
    ASSERT_EQ(ricostruiti.linea.has_value(), scritti.linea.has_value());
    if (scritti.linea) {
      EXPECT_TRUE(*ricostruiti.linea == *scritti.linea);
    }
  }
}

TEST(Inspect, JsonWithoutPointsCountsThePlanElements) {
  Scenario s;
  const Esito e = s.inspect({"--json"});
  ASSERT_EQ(e.stato, kUscitaOk) << e.err;
  const Json j = Json::parse(e.out);
  EXPECT_EQ(j.at("scenario"), "Prova");
  EXPECT_EQ(j.at("train").at("voci").at(1).at("nome"), "CITT\xC3\x80 NUOVA");
  EXPECT_EQ(j.at("route").at("segmenti").size(), 341u);
  const Json& linea = j.at("line");
  EXPECT_EQ(linea.at("metri_totali"), 17000);
  EXPECT_EQ(linea.at("elements").at("int16"), 4);
  EXPECT_EQ(linea.at("elements").at("double"), 2 * (17000 - 3));
  EXPECT_EQ(linea.at("elements").at("empty"), 4);
  EXPECT_FALSE(linea.contains("points"));
}

// The listing names what an author needs to see, in words: each record
// gives its lines, and the files and general values are named.
TEST(Inspect, ListingNamesEveryEventAndStretch) {
  Scenario s;
  const Esito e = s.inspect();
  ASSERT_EQ(e.stato, kUscitaOk) << e.err;
  EXPECT_EQ(e.err, "");
  for (const RecordProva& r : kRecordProva)
    for (const std::string& riga : r.righe)
      EXPECT_NE(e.out.find(riga), std::string::npos) << r.record << "\n" << riga;
  for (const char* riga : {
           "Scenario Prova, train 7\n  route file  ",
           "Prova_7.dat: 341 segments of 50 m (0 to 340), 0 m to 17050 m\n",
           "\n  line file   ",
           "Prova_linea.dat: 17001 metres per axis (0 to 17000), 33994 computed elements, 4 "
           "integer, 4 empty\n",
           "\nroute length 10000 m as written (slot 84), 341 segments\n",
           "\n  slot 81, mileage change: at 0 m the mileage becomes 0 m, flag 0\n",
           "\n  slot 84: braked mass 0 %, route length 10000 m, 0 coaches\n",
           "\n  slot 85: scenario \"Prova\", sfondo uno 0, due 0, tre 0, mark 610, route code ",
           "\n  slot 86: train \"7\", signal repetition from 0 m to 0 m with 0 codes, sand 200, "
           "clock 07:06:30\n",
           "\n  segment 1 (route file): mark 5121, route code ",
       })
    EXPECT_NE(e.out.find(riga), std::string::npos) << riga;
  // Along the route, in order of position.
  EXPECT_LT(e.out.find("at 4050 m (written at 4000 m): signal"),
            e.out.find("at 6050 m (written at 6000 m): slowdown start"));
  EXPECT_LT(e.out.find("from 1200 m to 5350 m: limit"), e.out.find("at 1550 m (written at 1500 m): speed indicator"));

  const Esito senza = Scenario(false).inspect();
  ASSERT_EQ(senza.stato, kUscitaOk) << senza.err;
  EXPECT_NE(senza.out.find("Prova_linea.dat: none (compiled without a plan)\n"), std::string::npos);
  EXPECT_EQ(senza.out.find("plan extent"), std::string::npos);
}

TEST(Inspect, OddFilesAreListedAsTheyStand) {
  testing::ScratchDir dir;
  scrivi_file_strani(dir.path());
  const Esito e =
      esegui({"inspect", dir.path().string(), "--scenario", "S", "--train-number", "1"});
  ASSERT_EQ(e.stato, kUscitaOk) << e.err;
  for (const char* r :
       {"at 0 m: unknown event 99: values -1 2 -3 4",
        "at 50 m: station 200 (slot outside the station slots 1 to 80)",
        "at 150 m (written at 100 m): signal: values -32768 32767 100 9, time 255",
        "at 200 m (written at 150 m): speed indicator: (-5) 0|0 0|0 km/h left|right, stripes value 1000",
        "at 100 m (written at 50 m): sign \"<b>&\"'</b>\\x00\\x01"})
    EXPECT_NE(e.out.find(r), std::string::npos) << r;
}

// Damaged or foreign files: a clear error naming the file and the byte,
// status 3, and nothing on stdout: never a partial listing.
TEST(Inspect, DamagedFilesGiveTheirErrors) {
  const struct {
    const char* caso;
    const char* file;
    std::function<std::string(std::string)> danno;
    std::string dove;
  } casi[] = {
      {"route file not a multiple of 15 bytes", "Prova_7.dat",
       [](std::string b) { return b + "xyz"; }, "Prova_7.dat: byte 5115: "},
      {"train record running past the end", "Prova_7.sim",
       [](std::string b) { return b.substr(0, 100); },
       "Prova_7.sim: byte 79: the record of slot 2 runs past the end"},
      {"bytes after slot 86", "Prova_7.sim", [](std::string b) { return b + "??"; },
       "2 bytes left over after slot 86"},
      {"unknown tag in the line file", "Prova_linea.dat",
       [](std::string b) {
         b[8] = 9;
         return b;
       },
       "Prova_linea.dat: byte 8: unknown element tag 9"},
      {"axes of different lengths", "Prova_linea.dat",
       [](std::string b) { return b + std::string(2, '\0'); },
       "the two axes of the plan differ in length"},
  };
  Scenario s;
  for (const auto& c : casi) {
    SCOPED_TRACE(c.caso);
    const fs::path file = s.dir / c.file;
    const std::string buono = testing::read_bytes(file);
    testing::write_bytes(file, c.danno(buono));
    for (const auto& extra : std::vector<std::vector<std::string>>{{}, {"--json", "--points"}}) {
      const Esito e = s.inspect(extra);
      EXPECT_EQ(e.stato, kUscitaFileGuasto);
      EXPECT_EQ(e.out, "");
      EXPECT_NE(e.err.find(c.dove), std::string::npos) << e.err;
      EXPECT_EQ(std::count(e.err.begin(), e.err.end(), '\n'), 1) << e.err;
    }
    const Esito v = esegui({"view", s.cartella(), "--scenario", "Prova", "--train-number", "7"});
    EXPECT_EQ(v.stato, kUscitaFileGuasto);
    EXPECT_FALSE(fs::exists(s.dir / "Prova_7.html"));
    testing::write_bytes(file, buono);
  }
  EXPECT_EQ(s.inspect().stato, kUscitaOk);
}

TEST(Inspect, BadUseAndSystemFailures) {
  Scenario s;
  const std::string d = s.cartella();
  const std::string percorso = (s.dir / "Prova_7.dat").string();
  const std::string prima = testing::read_bytes(percorso);
  const struct {
    std::vector<std::string> argomenti;
    int stato;
    const char* messaggio;
  } casi[] = {
      {{"inspect"}, kUscitaUsoErrato, "inspect needs the folder of the scenario files"},
      {{"inspect", d, d}, kUscitaUsoErrato, "inspect needs the folder"},
      {{"inspect", d, "--points"}, kUscitaUsoErrato, "--points goes with --json"},
      {{"inspect", d, "--out", "x"}, kUscitaUsoErrato, "unknown option '--out'"},
      {{"view", d, "--json"}, kUscitaUsoErrato, "unknown option '--json'"},
      {{"inspect", d, "--scenario"}, kUscitaUsoErrato, "--scenario needs a value"},
      {{"inspect", d, "--scenario", ""}, kUscitaUsoErrato, "the scenario name '' is empty"},
      // The page is named after the scenario: a name cannot lead it out
      // of the folder.
      {{"view", d, "--scenario", "../Prova", "--train-number", "7"},
       kUscitaUsoErrato,
       "the scenario name '../Prova' holds \"..\""},
      {{"inspect", d, "--scenario", "Prova", "--train-number", "7/"},
       kUscitaUsoErrato,
       "the train number '7/' holds '/'"},
      {{"inspect", (s.dir / "nowhere").string()}, kUscitaUsoErrato, "there is no folder"},
      {{"inspect", d},
       kUscitaUsoErrato,
       "Tratta_Valle3_30.dat' (give --scenario and --train-number"},
      {{"view", d, "--scenario", "Prova", "--train-number", "7", "--out", percorso},
       kUscitaUsoErrato,
       "the page would replace the scenario file"},
      // A file where the page's folder should be: as compile, a failure
      // of the system that names it.
      {{"view", d, "--scenario", "Prova", "--train-number", "7", "--out",
        (s.dir / "Prova_7.sim" / "p.html").string()},
       kUscitaErroreSistema,
       "cannot create the folder"},
  };
  for (const auto& c : casi) {
    const Esito e = esegui(c.argomenti);
    EXPECT_EQ(e.stato, c.stato) << c.messaggio;
    EXPECT_NE(e.err.find(c.messaggio), std::string::npos) << e.err;
    EXPECT_EQ(e.out, "");
  }
  EXPECT_EQ(testing::read_bytes(percorso), prima);

  // A folder in a scenario file's place is named as found, as compile
  // names a folder given for a description.
  fs::rename(s.dir / "Prova_linea.dat", s.dir / "piano");
  fs::create_directory(s.dir / "Prova_linea.dat");
  const Esito e = s.inspect();
  EXPECT_EQ(e.stato, kUscitaUsoErrato) << e.err;
  EXPECT_NE(e.err.find("Prova_linea.dat' is a folder, not a file"), std::string::npos) << e.err;
  EXPECT_EQ(e.out, "");
}

// The page shows one mark per event of the route file, each at its metre,
// and loads nothing from anywhere else.
TEST(View, OneMarkPerEventAndNothingFromOutside) {
  for (bool con_piano : {true, false}) {
    SCOPED_TRACE(con_piano ? "with a plan" : "without a plan");
    Scenario s(con_piano);
    const Esito e = esegui({"view", s.cartella(), "--scenario", "Prova", "--train-number", "7"});
    ASSERT_EQ(e.stato, kUscitaOk) << e.err;
    const fs::path pagina = s.dir / "Prova_7.html";
    EXPECT_EQ(e.out, pagina.string() + "\n");
    const std::string html = testing::read_bytes(pagina);

    const auto segmenti =
        decodifica_file_percorso(testing::read_bytes(s.dir / "Prova_7.dat"), "r").valore;
    std::map<std::string, std::multiset<int64_t>> attesi;
    for (size_t i = 0; i < segmenti.size(); ++i) {
      const int64_t metro = static_cast<int64_t>(i) * 50;
      const uint8_t c = segmenti[i].classe_montagna;
      if (c != 0 && (i == 0 || segmenti[i - 1].classe_montagna != c))
        attesi["montagna"].insert(metro);
      switch (segmenti[i].tipo) {
        case kSegnale:
          attesi["signal"].insert(metro);
          break;
        case kStazione:
          attesi["station"].insert(metro);
          break;
        case kCartello:
          attesi["sign"].insert(metro);
          break;
        case kIndicatoreVmax:
          attesi["indicator"].insert(metro);
          break;
        case kInizioRallentamento:
          attesi["slowdown"].insert(metro);
          break;
        case kAbbattimento:
        case kAbbattimentoSenzaValore:
          attesi["abatement"].insert(metro);
          break;
        default:
          break;
      }
    }
    attesi["height"] = {0};
    attesi["speed"] = {0};
    if (con_piano) attesi["plan"] = {0};
    EXPECT_EQ(attesi["abatement"].size(), 7u);  // two from the train, five from the finishing pass
    for (const char* kind : {"plan", "height", "speed", "signal", "station", "sign", "indicator",
                             "slowdown", "abatement", "montagna"})
      EXPECT_EQ(marche(html, kind), attesi[kind]) << kind;

    for (const char* esterno :
         {"http:", "https:", "://", "src=", "href=", "@import", "<link", "<iframe"})
      EXPECT_EQ(html.find(esterno), std::string::npos) << esterno;
    for (size_t i = html.find("url("); i != std::string::npos; i = html.find("url(", i + 1))
      EXPECT_EQ(html[i + 4], '#');
    EXPECT_EQ(html.find("No line file") != std::string::npos, !con_piano);
    EXPECT_NE(html.find("CITT\xC3\x80 NUOVA"), std::string::npos);
  }
}

TEST(View, NamesAreEscapedAndTheOutputGoesWhereAsked) {
  testing::ScratchDir dir;
  scrivi_file_strani(dir.path());
  const std::string pagina = (dir / "altrove.html").string();
  const Esito e = esegui(
      {"view", dir.path().string(), "--scenario", "S", "--train-number", "1", "--out", pagina});
  ASSERT_EQ(e.stato, kUscitaOk) << e.err;
  const std::string html = testing::read_bytes(pagina);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_NE(html.find("&lt;b&gt;&amp;&quot;&#39;&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(marche(html, "station"), std::multiset<int64_t>{50});
  // The plan breaks where a metre is empty or not a number.
  EXPECT_EQ(marche(html, "plan"), (std::multiset<int64_t>{0, 8}));
  for (unsigned char c : html)
    EXPECT_TRUE(c >= 0x20 || c == '\n' || c == '\r' || c == '\t') << int(c);

  // A page it wrote is replaced; any other file only with --force.
  const std::vector<std::string> di_nuovo = {"view",           dir.path().string(), "--scenario",
                                             "S",              "--train-number",    "1",
                                             "--out",          pagina};
  EXPECT_EQ(esegui(di_nuovo).stato, kUscitaOk);
  testing::write_bytes(pagina, "<html>the author's own page</html>");
  const Esito rifiutata = esegui(di_nuovo);
  EXPECT_EQ(rifiutata.stato, kUscitaUsoErrato);
  EXPECT_NE(rifiutata.err.find("altrove.html' is not a page that view wrote: not replaced (give "
                               "--force to replace it)"),
            std::string::npos)
      << rifiutata.err;
  EXPECT_EQ(testing::read_bytes(pagina), "<html>the author's own page</html>");
  std::vector<std::string> forzata = di_nuovo;
  forzata.push_back("--force");
  EXPECT_EQ(esegui(forzata).stato, kUscitaOk);
  EXPECT_EQ(testing::read_bytes(pagina), html);
}

}  // namespace tratta
