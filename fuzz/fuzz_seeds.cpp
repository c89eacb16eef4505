// tratta_fuzz_seeds DIR: writes the fuzz target's seed corpus into DIR,
// made from the built-in descriptions: the whole pair under several
// choices of options, and small pairs that reach the fatal stamps, a
// diagnostic and the slowdowns of the finishing pass.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "emitter/documents.h"
#include "fuzz_input.h"

namespace {

namespace fs = std::filesystem;
using tratta::fuzz::componi;

const std::string kLineaBreve =
    "Percorso di prova\r\n\r\ninizio dati\r\n     \r\n[generale]\r\n"
    "lunghezza percorso,    3000\r\n[dati]\r\npendenza, 500, 3\r\ncurva, 1000, 400\r\n"
    "[fine]\r\n                \r\n";
const std::string kTrenoBreve =
    "Treno di prova\r\n[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 80\r\n"
    "segnale, 1500, 2,4,0,0,0, 2,1,0,0,0\r\n[fine]\r\n     \r\n";

/// A 10000 m line with nothing on it, and a train whose body is `corpo`:
/// the slowdowns, which the built-in train has none of, with signals
/// around them, for the finishing pass.
std::string linea_vuota() {
  return "Percorso di prova\r\n\r\ninizio dati\r\n     \r\n[generale]\r\n"
         "lunghezza percorso,    10000\r\n[dati]\r\n[fine]\r\n                \r\n";
}
std::string treno_con(const std::string& corpo) {
  return "Treno di prova\r\n[generale]\r\nvelocita, 0, 100\r\n" + corpo + "[fine]\r\n     \r\n";
}
std::string segnali(int da, int passo) {
  std::string out;
  for (int i = 0; i < 3; ++i)
    out += "segnale, " + std::to_string(da + i * passo) + ", 2,4,0,0,0, 2,1,0,0,0\r\n";
  return out;
}
const std::string kRallentamento = "rallentamento, 6650, 60, 500, 0, 0, 0\r\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tratta_fuzz_seeds DIR\n");
    return 2;
  }
  const fs::path dir = argv[1];
  fs::create_directories(dir);
  const std::string linea = tratta::componi_documento(tratta::righe_linea());
  const std::string treno = tratta::componi_documento(tratta::righe_treno());
  const struct {
    const char* nome;
    std::string bytes;
  } seeds[] = {
      {"predefinite", componi(0x00, linea, treno)},
      {"predefinite-senza-piano", componi(0x01, linea, treno)},
      {"predefinite-nomi", componi(0x4A, linea, treno)},
      {"predefinite-cartella-nuova", componi(0x31, linea, treno)},
      {"breve", componi(0x01, kLineaBreve, kTrenoBreve)},
      {"breve-linea-come-uscita", componi(0x10, kLineaBreve, kTrenoBreve)},
      {"breve-stesso-file", componi(0x21, kLineaBreve, kTrenoBreve)},
      {"breve-nome-lungo", componi(0x0D, kLineaBreve, kTrenoBreve)},
      {"timbro-1250", componi(0x01, kLineaBreve.substr(0, kLineaBreve.find("[fine]")) +
                                        "cartello_indicatore, 0, (X)\r\n[fine]\r\n",
                              kTrenoBreve)},
      {"codice-25", componi(0x01, kLineaBreve, "Treno\r\n[generale]\r\nvelocita, 0, abc\r\n")},
      {"rallentamento", componi(0x01, linea_vuota(), treno_con(kRallentamento + segnali(3000, 2000)))},
      {"rallentamento-veloce",
       componi(0x01, linea_vuota(),
               treno_con("rallentamento, 6650, 120, 500, 0, 0, 0\r\n" + segnali(3000, 2000)))},
      {"rallentamento-codice-11",
       componi(0x01, linea_vuota(), treno_con(kRallentamento + segnali(5000, -50)))},
      {"rallentamento-codice-12",
       componi(0x01, linea_vuota(), treno_con(kRallentamento + segnali(6400, -50)))},
      {"rallentamento-codice-13",
       componi(0x01, linea_vuota(), treno_con(kRallentamento + segnali(7000, 50)))},
      // --strict, with nothing to warn about and with warnings.
      {"rigoroso", componi(0x81, kLineaBreve, kTrenoBreve)},
      {"rigoroso-avvertenze",
       componi(0x81, kLineaBreve, treno_con("segnal, 1520, 2,4,0,0,0\r\n\"nota\r\n"))},
  };
  for (const auto& s : seeds) {
    std::ofstream out(dir / s.nome, std::ios::binary | std::ios::trunc);
    out << s.bytes;
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", (dir / s.nome).c_str());
      return 1;
    }
  }
  return 0;
}
