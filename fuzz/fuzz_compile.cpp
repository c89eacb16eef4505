// libFuzzer target: the whole compile subcommand, in process, on two
// descriptions cut from one input (fuzz_input.h), in a scratch folder of
// its own. Each run must end with:
//   - exactly one JSON object on stdout, valid JSON in valid UTF-8, whose
//     exit_status is the status returned, one of the documented ones, and
//     whose warnings are a list, never empty with status 5 (--strict only)
//     and empty when --strict ends with 0;
//   - stderr in valid UTF-8 with no control byte but line ends;
//   - both descriptions as they were;
//   - no temporary file left, and nothing written after a refusal, nor
//     after a diagnostic unless --partial was given (an input of odd
//     length gives it).
// A broken property aborts, so libFuzzer keeps the input.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/commands.h"
#include "fuzz_input.h"
#include "model/file_names.h"
#include "testing/json_check.h"

namespace {

namespace fs = std::filesystem;
using namespace tratta;

[[noreturn]] void violata(const char* proprieta, const std::string& dettaglio) {
  std::fprintf(stderr, "PROPERTY BROKEN: %s\n%s\n", proprieta, dettaglio.c_str());
  std::abort();
}

const fs::path& radice() {
  static const fs::path r = [] {
    fs::path p = fs::temp_directory_path() / ("tratta-fuzz-" + std::to_string(::getpid()));
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
  }();
  // Gone when the run ends normally; kept after a broken property, to look
  // at. Registered after `r` is made, so that it runs before `r` goes.
  static const int pulizia = std::atexit([] {
    std::error_code ec;
    fs::remove_all(radice(), ec);
  });
  (void)pulizia;
  return r;
}

void scrivi(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string leggi(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Every file under `cartella`, as paths relative to it.
std::vector<std::string> file_sotto(const fs::path& cartella) {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(cartella))
    if (!e.is_directory()) out.push_back(e.path().lexically_relative(cartella).string());
  return out;
}

const char* const kNomiScenario[] = {
    nullptr,                 // the default
    "Prova",
    "",                      // refused
    "a/b",                   // refused
    "nome con spazi",
    nullptr,                 // 5: a long name, see below
    "Citt\xc3\xa0",          // refused: outside ASCII
    "x..y",                  // refused
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Ingresso in = fuzz::dividi(data, size);
  const fs::path cartella = radice() / "run";
  fs::remove_all(cartella);
  const fs::path descrizioni = cartella / "descrizioni";
  fs::path uscita = cartella / "uscita";
  fs::create_directories(descrizioni);

  std::vector<std::string> argomenti = {"compile"};
  NomiScenario nomi = nomi_predefiniti();
  std::vector<std::string> opzioni = {"--json"};
  if (in.scelte & fuzz::kSenzaPiano) opzioni.push_back("--no-plan");
  const bool rigoroso = (in.scelte & fuzz::kRigoroso) != 0;
  if (rigoroso) opzioni.push_back("--strict");
  // The first byte's bits are all taken: the input's length chooses.
  const bool parziale = size % 2 == 1;
  if (parziale) opzioni.push_back("--partial");
  const int scelta_nome = (in.scelte & fuzz::kNomeScenario) >> 1;
  if (scelta_nome != 0) {
    // Name 5 nearly fills a file name of 255 bytes: the temporary's
    // suffix makes it too long.
    nomi.nome_scenario = scelta_nome == 5 ? std::string(240, 'S') : kNomiScenario[scelta_nome];
    opzioni.insert(opzioni.end(), {"--scenario", nomi.nome_scenario});
  }
  if (in.scelte & fuzz::kNumeroTreno) {
    nomi.numero_treno = size > 1 ? std::to_string(data[size - 1]) : "0";
    opzioni.insert(opzioni.end(), {"--train-number", nomi.numero_treno});
  }

  fs::path linea = descrizioni / "linea.txt";
  fs::path treno = descrizioni / "treno.txt";
  switch ((in.scelte & fuzz::kDisposizione) >> 4) {
    case fuzz::kLineaComeUscita:
      uscita = descrizioni;
      linea = descrizioni / nome_file_linea(nomi);
      break;
    case fuzz::kStessoFile:
      treno = linea;
      break;
    case fuzz::kCartellaNuova:
      uscita = cartella / "nuova" / "uscita";
      break;
    default:
      fs::create_directories(uscita);
      break;
  }
  scrivi(linea, in.linea);
  if (treno != linea) scrivi(treno, in.treno);
  const std::string linea_prima = leggi(linea), treno_prima = leggi(treno);
  const std::vector<std::string> prima = file_sotto(cartella);

  argomenti.insert(argomenti.end(), {linea.string(), treno.string(), "--out", uscita.string()});
  argomenti.insert(argomenti.end(), opzioni.begin(), opzioni.end());
  std::ostringstream out, err;
  const int stato = esegui_comando(argomenti, out, err);
  const std::string o = out.str(), e = err.str();

  if (stato < kUscitaOk || stato > kUscitaAvvertenze)
    violata("exit status among the documented ones", std::to_string(stato));
  if (stato == kUscitaAvvertenze && !rigoroso) violata("status 5 only with --strict", o);
  if (!testing::JsonCheck::un_oggetto(o)) violata("exactly one valid JSON object on stdout", o);
  if (o.find("\"exit_status\": " + std::to_string(stato) + ",") == std::string::npos)
    violata("the JSON object's exit_status is the exit status", o);
  const bool senza_avvertenze = o.find("\"warnings\": [], ") != std::string::npos;
  if (!senza_avvertenze && o.find("\"warnings\": [{\"file\": ") == std::string::npos)
    violata("the JSON object's warnings are a list", o);
  if (stato == kUscitaAvvertenze && senza_avvertenze) violata("status 5 comes with warnings", o);
  if (rigoroso && stato == kUscitaOk && !senza_avvertenze)
    violata("--strict fails on warnings", o);
  if (!testing::JsonCheck::utf8_valido(e)) violata("stderr in valid UTF-8", e);
  for (char c : e)
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F)
      violata("no control byte on stderr", e);
  if (stato != kUscitaOk && e.empty()) violata("a failure says why on stderr", o);
  if (leggi(linea) != linea_prima || leggi(treno) != treno_prima)
    violata("descriptions unchanged", linea.string());
  const std::vector<std::string> dopo = file_sotto(cartella);
  for (const std::string& f : dopo)
    if (f.find(".tratta-") != std::string::npos) violata("no temporary file left", f);
  if ((stato == kUscitaUsoErrato || stato == kUscitaErroreFatale) && dopo != prima)
    violata("nothing written after a refusal", o);
  if (stato == kUscitaDiagnosi && !parziale && dopo != prima)
    violata("nothing written after a diagnostic without --partial", o);
  if (stato == kUscitaDiagnosi && o.find("\"mend\": null") != std::string::npos &&
      o.find("\"codice_errore\": 0,") == std::string::npos)
    violata("a diagnostic comes with its mend", o);
  return 0;
}
