// tratta_genera [DIR]: writes gen_line.txt and gen_train.txt, the line and
// train description of the 1,000,000 m route, into DIR (default: the current
// directory) and prints what they hold. Compile them with
//   tratta_valle3 compile DIR/gen_line.txt DIR/gen_train.txt --out OUT

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "percorso_lungo.h"

namespace {

void scrivi(const std::filesystem::path& percorso, const std::string& testo) {
  std::ofstream out(percorso, std::ios::binary | std::ios::trunc);
  out.write(testo.data(), static_cast<std::streamsize>(testo.size()));
  if (!out.flush()) throw std::runtime_error("cannot write '" + percorso.string() + "'");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::cerr << "usage: tratta_genera [DIR]\n";
    return 2;
  }
  try {
    const std::filesystem::path cartella = argc == 2 ? argv[1] : ".";
    std::filesystem::create_directories(cartella);
    const tratta::bench::PercorsoGenerato g = tratta::bench::genera_percorso_lungo();
    scrivi(cartella / "gen_line.txt", g.linea);
    scrivi(cartella / "gen_train.txt", g.treno);
    const auto& n = g.conteggi;
    std::printf(
        "gen_line.txt  %zu bytes: route %d m, %d gradients, %d curves, %d montagna stretches "
        "(%d with markers, %d within 150 m of the one before), %d speed indicators, %d signs\n"
        "gen_train.txt %zu bytes: %d speed and %d adhesion records, %d signals (%d guarding "
        "slowdowns), %d stations, %d slowdowns, %d code abatements\n",
        g.linea.size(), tratta::bench::kLunghezzaPercorsoLungo, n.pendenze, n.curve, n.montagne,
        n.montagne_con_marcatori, n.montagne_accostate, n.indicatori, n.cartelli, g.treno.size(),
        n.velocita, n.aderenze, n.segnali, n.segnali_a_protezione, n.stazioni, n.rallentamenti,
        n.abbattimenti);
  } catch (const std::exception& e) {
    std::cerr << "tratta_genera: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
