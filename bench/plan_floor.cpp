// tratta_plan_floor: the part of a compile no program can leave out, as a
// whole process: the plan's points computed by the program's own code and
// its line file written, and nothing else. No description is read, no
// other file is written, no temporary is renamed: what is left is the
// arithmetic of the recurrence and the bytes handed to the page cache.
// The benchmark times it against cp of the compile's outputs, to show how
// close to cp any compile can come on the machine it runs on.
//
//   tratta_plan_floor STRETCHES OUT
//
// STRETCHES, written by the benchmark from the plan it read: the last
// metre on the first line, then a line per stretch, its last metre and its
// turn a metre as a hexadecimal float (exact). OUT must not exist.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "model/planimetria.h"

namespace {

int fallito(const char* cosa, const char* nome) {
  std::fprintf(stderr, "tratta_plan_floor: %s '%s': %s\n", cosa, nome, std::strerror(errno));
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tratta_plan_floor STRETCHES OUT\n");
    return 2;
  }
  std::FILE* in = std::fopen(argv[1], "r");
  if (in == nullptr) return fallito("cannot read", argv[1]);
  tratta::Planimetria piano;
  long metri = 0;
  if (std::fscanf(in, "%ld", &metri) != 1) return fallito("no length in", argv[1]);
  piano.dimensiona(static_cast<int32_t>(metri));
  piano.semina();
  long fino = 0;
  double kappa = 0.0;
  while (std::fscanf(in, "%ld %la", &fino, &kappa) == 2)
    piano.estendi(static_cast<int32_t>(fino), kappa);
  std::fclose(in);

  const int fd = ::open(argv[2], O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return fallito("cannot create", argv[2]);
  bool ok = true;
  piano.scrivi_file_linea([&](uint64_t offset, std::string_view byte) {
    while (ok && !byte.empty()) {
      const ssize_t n = ::pwrite(fd, byte.data(), byte.size(), static_cast<off_t>(offset));
      if (n <= 0) {
        ok = false;
        break;
      }
      byte.remove_prefix(static_cast<size_t>(n));
      offset += static_cast<uint64_t>(n);
    }
  });
  if (::close(fd) != 0 || !ok) return fallito("cannot write", argv[2]);
  return 0;
}
