// Running the program as a child process (POSIX builds; the path of the
// program comes from the build): its standard input from a file, or bytes
// fed to it through a pipe or a FIFO as a shell would; stopped when it
// runs too long; its exit status, output and peak memory kept.
#pragma once

#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "testing/scratch_dir.h"

namespace tratta::testing {

/// How the program is started.
struct Avvio {
  std::vector<std::string> argomenti = {};
  /// The file its standard input reads, unless bytes are fed there.
  std::string ingresso = "/dev/null";
  /// Bytes fed through a pipe to the program's descriptor `fd` (0: its
  /// standard input; 3: what it reads as /dev/fd/3), or, when `fifo` is
  /// named, written into that FIFO once the program opens it. fd -1:
  /// nothing fed.
  std::string alimento = {};
  int fd = -1;
  std::filesystem::path fifo = {};
};

struct Processo {
  int stato = -1;  ///< the exit status; -1 when it did not end by itself
  std::string out, err;
  long picco_kib = 0;  ///< the most memory it held (resident)
  double secondi = 0;
};

namespace dettaglio {

/// Writes all of `byte` into `fd` and closes it; gives up when the reader
/// goes away.
inline void scrivi_tutto(int fd, const std::string& byte) {
  size_t fatti = 0;
  while (fatti < byte.size()) {
    const ssize_t n = ::write(fd, byte.data() + fatti, byte.size() - fatti);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    fatti += static_cast<size_t>(n);
  }
  ::close(fd);
}

/// Opens the FIFO for writing once a reader has it open, trying until
/// `basta` is set; -1 when none came.
inline int apri_fifo(const std::filesystem::path& fifo, const std::atomic<bool>& basta) {
  for (;;) {
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return fd;
    }
    if (errno != ENXIO || basta) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace dettaglio

/// Runs the program in `cartella` as `a` says; killed after `limite`.
inline Processo esegui_programma(const Avvio& a, const ScratchDir& cartella,
                                 std::chrono::seconds limite = std::chrono::seconds(20)) {
  using Orologio = std::chrono::steady_clock;
  const std::string out = (cartella / "processo.out").string();
  const std::string err = (cartella / "processo.err").string();
  std::vector<std::string> parole = {TRATTA_EXE};
  parole.insert(parole.end(), a.argomenti.begin(), a.argomenti.end());
  std::vector<char*> argv;
  for (std::string& p : parole) argv.push_back(p.data());
  argv.push_back(nullptr);

  int tubo[2] = {-1, -1};
  const bool per_tubo = a.fd >= 0 && a.fifo.empty();
  if (per_tubo && ::pipe(tubo) != 0) return {};
  // A reader that goes away early makes a write fail, not end the tests.
  struct sigaction ignora {}, prima {};
  ignora.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignora, &prima);

  const Orologio::time_point inizio = Orologio::now();
  const pid_t figlio = ::fork();
  if (figlio == 0) {
    ::sigaction(SIGPIPE, &prima, nullptr);
    const int ingresso = ::open(a.ingresso.c_str(), O_RDONLY);
    ::dup2(ingresso, 0);
    if (per_tubo) ::dup2(tubo[0], a.fd);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(o, 1);
    ::dup2(e, 2);
    for (int fd : {ingresso, tubo[0], tubo[1], o, e})
      if (fd > 2 && fd != a.fd) ::close(fd);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  std::thread scrittore;
  std::atomic<bool> finito = false;
  if (figlio > 0 && per_tubo) {
    ::close(tubo[0]);
    scrittore = std::thread(dettaglio::scrivi_tutto, tubo[1], std::cref(a.alimento));
  } else if (figlio > 0 && a.fd >= 0) {
    scrittore = std::thread([&a, &finito] {
      const int fd = dettaglio::apri_fifo(a.fifo, finito);
      if (fd >= 0) dettaglio::scrivi_tutto(fd, a.alimento);
    });
  } else if (per_tubo) {
    ::close(tubo[0]);
    ::close(tubo[1]);
  }

  Processo p;
  int stato = 0;
  struct rusage uso {};
  while (figlio > 0) {
    const pid_t w = ::wait4(figlio, &stato, WNOHANG, &uso);
    if (w == figlio || (w < 0 && errno != EINTR)) break;
    if (Orologio::now() - inizio > limite) {
      ::kill(figlio, SIGKILL);
      ::wait4(figlio, &stato, 0, &uso);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  p.secondi = std::chrono::duration<double>(Orologio::now() - inizio).count();
  finito = true;
  if (scrittore.joinable()) scrittore.join();
  ::sigaction(SIGPIPE, &prima, nullptr);
  if (figlio > 0 && WIFEXITED(stato)) p.stato = WEXITSTATUS(stato);
  p.picco_kib = uso.ru_maxrss;
  p.out = read_bytes(out);
  p.err = read_bytes(err);
  return p;
}

}  // namespace tratta::testing

#endif  // _WIN32
