// How one fuzz input becomes a compile: its first byte chooses the
// options and where the files lie, the rest is the line description and
// the train description, cut at the first separator line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tratta::fuzz {

/// Stands between the two descriptions in an input.
inline constexpr std::string_view kSeparatore = "\n==treno==\n";

/// Bits of the first byte.
enum Scelta : std::uint8_t {
  kSenzaPiano = 0x01,     // --no-plan
  kNomeScenario = 0x0E,   // three bits: a scenario name from a table
  kDisposizione = 0x30,   // two bits: where the descriptions and outputs lie
  kNumeroTreno = 0x40,    // --train-number with an odd value
  kRigoroso = 0x80,       // --strict
};

/// Where the files lie (bits kDisposizione).
enum Disposizione {
  kCartelleSeparate = 0,  // descriptions in one folder, outputs in another
  kLineaComeUscita = 1,   // the line description stands at the line file's name
  kStessoFile = 2,        // the same file given for both descriptions
  kCartellaNuova = 3,     // outputs into a folder to be made, two levels down
};

struct Ingresso {
  std::uint8_t scelte = 0;
  std::string linea, treno;
};

inline Ingresso dividi(const std::uint8_t* data, std::size_t size) {
  Ingresso in;
  if (size == 0) return in;
  in.scelte = data[0];
  std::string_view resto(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t sep = resto.find(kSeparatore);
  in.linea = std::string(resto.substr(0, sep));
  if (sep != std::string_view::npos) in.treno = std::string(resto.substr(sep + kSeparatore.size()));
  return in;
}

inline std::string componi(std::uint8_t scelte, std::string_view linea, std::string_view treno) {
  return std::string(1, static_cast<char>(scelte)) + std::string(linea) + std::string(kSeparatore) +
         std::string(treno);
}

}  // namespace tratta::fuzz
