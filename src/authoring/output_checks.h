// Checks made before a subcommand writes anything: the outputs' names fit
// the file system, and no input is one of the outputs.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tratta {

/// A file that the run reads, with what it is ("the line description").
struct Ingresso {
  std::string cosa;
  /// For the standard input, its name in messages.
  std::filesystem::path percorso;
  /// Read from the standard input: the same file as an output when that
  /// is what it reads; it has no name of its own to compare.
  bool da_standard_input = false;
};

/// Why the outputs `uscite` (all in one folder) cannot be written there:
/// a name, with the temporary's suffix added, longer than the folder's file
/// system takes. Nothing when they fit.
std::optional<std::string> nomi_troppo_lunghi(const std::vector<std::filesystem::path>& uscite);

/// Why `ingressi` cannot be read by a run that writes `uscite`: an input
/// that is (the same file as) an output or the name of an output's
/// temporary, or two inputs that are the same file. Nothing when all is
/// well.
std::optional<std::string> ingresso_tra_le_uscite(
    const std::vector<Ingresso>& ingressi, const std::vector<std::filesystem::path>& uscite);

}  // namespace tratta
