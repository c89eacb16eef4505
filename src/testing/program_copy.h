// A copy of the program in a folder of its own, for tests of the one-shot
// run (POSIX builds; the path of the program comes from the build).
#pragma once

#ifndef _WIN32

#include <sys/wait.h>

#include <cstdlib>
#include <set>
#include <string>

#include "testing/scratch_dir.h"

namespace tratta::testing {

/// A folder holding a copy of the program.
struct CartellaProgramma {
  using perms = std::filesystem::perms;
  ScratchDir dir;
  CartellaProgramma() {
    std::filesystem::copy_file(TRATTA_EXE, dir / "tratta_valle3");
    // Readable by everyone, writable by its owner only.
    std::filesystem::permissions(dir.path(), perms::owner_all | perms::group_read |
                                                 perms::group_exec | perms::others_read |
                                                 perms::others_exec);
  }

  /// Runs the program from another working folder; returns its exit status.
  int esegui(const std::string& prefisso = "") {
    const std::string comando = "cd / && " + prefisso + " '" + (dir / "tratta_valle3").string() +
                                "' > '" + (dir / "out.log").string() + "' 2> '" +
                                (dir / "err.log").string() + "'";
    int stato = std::system(comando.c_str());
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  }

  std::set<std::string> file() const {
    std::set<std::string> nomi;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) nomi.insert(e.path().filename());
    return nomi;
  }

  std::string leggi(const std::string& nome) const { return read_bytes(dir / nome); }
};

}  // namespace tratta::testing

#endif  // _WIN32
