// tratta_bench: times what a user waits for, the compile subcommand of a
// 1,000,000 m route as a whole process, against cp of its output files,
// and checks the targets on time and peak memory.
//
//   tratta_bench [--reps N] [--program PATH] [--keep]
//
// In one run, all in one temporary folder (on the file system of TMPDIR,
// /tmp by default):
//  1. the one-shot run: the program is copied into a folder of its own and
//     run there as a whole process, each run replacing the files of the
//     run before, and cp of the six files it leaves replacing its copies
//     of the run before, in turns, N pairs: wall times (the first pair
//     shown apart), the ratio of each pair, peak memory and page faults of
//     both; cp into a fresh folder is shown beside it;
//  2. the compile of the generated route (bench/percorso_lungo.h):
//     a. as the compile subcommand, a child process, and cp of the three
//        files it wrote into a fresh folder, a child process too, taken in
//        turns (A B A B ...), N pairs: wall times, the ratio of each pair,
//        peak resident memory (ru_maxrss from wait4) and page faults of
//        both;
//     b. in-process, memorizza_percorso with the descriptions only read
//        (consuma = false), N times with the allocator keeping the memory
//        of earlier repetitions: warm;
//     c. the same with every large block freshly mapped from the system,
//        as in a new process: a first run, cold memory;
//     d. the time of each phase of (b);
//     e. the compile subcommand of the built-in 260 km route (its
//        descriptions as `emit` writes them), N times: peak memory;
//     f. the floor: the plan alone computed and its line file written, by
//        a process that does nothing else (bench/plan_floor.cpp), next to
//        the same cp as (a): how close any compile can come to cp here;
//  3. the same output bytes, held in memory, written with one open, one
//     write and one close per file, N times, each repetition next to one of
//     (2b), in turns first and second: what the in-process figures compare
//     with;
//  4. (2a) side by side with cp;
//  5. the language server (`lsp`): from a change of the line description
//     to its diagnostics, for the built-in pair and the generated one, N
//     times, the partner read from memory.
// Every repetition writes into a new empty folder and starts with the file
// system synced (outside the timed part), so that no repetition waits for
// the disk writing back an earlier one's files: what is timed is the work
// of the processes and of the page cache. Times are shown as the best and
// the median of the N repetitions.
//
// Targets: diagnostics within 50 ms (built-in) and 250 ms (generated) of a
// change, in the median; the median of the ratios of (1), against cp
// replacing its copies, and of (2a) at most 1.0; peak RSS at most 4 MiB for
// the subcommand (both routes) and the one-shot run. The figures hold for
// the machine they were taken on, with nothing else running. Exit status 0
// when all hold, 1 when one fails, 2 when the measurement itself went wrong
// (a run failed, or the route compiled with a diagnostic).

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "authoring/language_server.h"
#include "compile/file_descriptions.h"
#include "emitter/documents.h"
#include "compile/memorizza_percorso.h"
#include "model/finishing_pass.h"
#include "model/scenario_files.h"
#include "model/stamps.h"
#include "model/windows1252.h"
#include "percorso_lungo.h"
#include "platform/folder_lock.h"
#include "platform/platform.h"
#include "reader/memorizza_dati.h"

namespace fs = std::filesystem;

namespace {

using Orologio = std::chrono::steady_clock;

double secondi_da(Orologio::time_point t0) {
  return std::chrono::duration<double>(Orologio::now() - t0).count();
}

struct Serie {
  std::vector<double> valori;
  long fault = 0;  // minor page faults, all repetitions together
  void aggiungi(double v) { valori.push_back(v); }
  double migliore() const { return *std::min_element(valori.begin(), valori.end()); }
  double mediana() const {
    std::vector<double> v = valori;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  }
};

struct EsitoProcesso;

/// A program and cp, whole processes taken in turns: times, the ratio of
/// each pair, peak memory and page faults of both.
struct Coppie {
  Serie programma, cp, rapporti;
  double primo = 0, primo_cp = 0;  // the first pair: a first run
  long picco_kib = 0, picco_cp_kib = 0;
  long fault = 0, fault_cp = 0;  // of the last pair
  void aggiungi(const EsitoProcesso& p, const EsitoProcesso& c);
  double rapporto() const { return rapporti.mediana(); }
  void stampa(const char* nome) const;
};

std::string leggi(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read '" + p.string() + "'");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void scrivi(const fs::path& p, const std::string& testo) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(testo.data(), static_cast<std::streamsize>(testo.size()));
  if (!out.flush()) throw std::runtime_error("cannot write '" + p.string() + "'");
}

/// Writes back every dirty page of the file system that holds `cartella`,
/// so that the next timed part starts with no disk writing going on.
void sincronizza(const fs::path& cartella) {
  const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open '" + cartella.string() + "'");
  ::syncfs(fd);
  ::close(fd);
}

/// A new empty folder for repetition `r` under `base`; the previous
/// repetition's folder is removed first.
fs::path cartella_nuova(const fs::path& base, int r) {
  if (r > 0) fs::remove_all(base / ("r" + std::to_string(r - 1)));
  const fs::path c = base / ("r" + std::to_string(r));
  fs::create_directories(c);
  return c;
}

struct EsitoProcesso {
  int stato = -1;  // exit status, or -1 when it did not exit normally
  double secondi = 0;
  long picco_kib = 0;  // ru_maxrss
  long fault = 0;      // ru_minflt: minor page faults
  std::string errori;
};

/// Runs `argomenti` as a child process in `cartella`, its output going to
/// files there, and waits for it with wait4 to get its peak resident set.
/// The child's peak also counts the pages it shares with this process
/// between fork and exec, so this is called while this process is small.
EsitoProcesso esegui(const std::vector<std::string>& argomenti, const fs::path& cartella) {
  std::vector<char*> argv;
  for (const std::string& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const fs::path uscita = cartella / "child.out";
  const fs::path errori = cartella / "child.err";

  const auto t0 = Orologio::now();
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  if (pid == 0) {
    if (::chdir(cartella.c_str()) != 0) ::_exit(126);
    const int o = ::open(uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int e = ::open(errori.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (o < 0 || e < 0) ::_exit(126);
    ::dup2(o, STDOUT_FILENO);
    ::dup2(e, STDERR_FILENO);
    const int in = ::open("/dev/null", O_RDONLY);
    if (in >= 0) ::dup2(in, STDIN_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int stato = 0;
  struct rusage uso {};
  if (::wait4(pid, &stato, 0, &uso) < 0)
    throw std::runtime_error(std::string("wait4: ") + std::strerror(errno));
  EsitoProcesso esito;
  esito.secondi = secondi_da(t0);
  esito.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  esito.picco_kib = uso.ru_maxrss;
  esito.fault = uso.ru_minflt;
  esito.errori = leggi(errori);
  return esito;
}

void Coppie::aggiungi(const EsitoProcesso& p, const EsitoProcesso& c) {
  if (programma.valori.empty()) {
    primo = p.secondi;
    primo_cp = c.secondi;
  }
  programma.aggiungi(p.secondi);
  cp.aggiungi(c.secondi);
  rapporti.aggiungi(p.secondi / c.secondi);
  picco_kib = std::max(picco_kib, p.picco_kib);
  picco_cp_kib = std::max(picco_cp_kib, c.picco_kib);
  fault = p.fault;
  fault_cp = c.fault;
}

void Coppie::stampa(const char* nome) const {
  auto riga = [](const char* n, const Serie& s, double primo, long kib, long fault) {
    std::printf("   %-22s first %7.2f ms   warm best %7.2f ms   median %7.2f ms   "
                "%5.1f MiB  %4ld page faults\n",
                n, primo * 1000.0, s.migliore() * 1000.0, s.mediana() * 1000.0, kib / 1024.0,
                fault);
  };
  riga(nome, programma, primo, picco_kib, fault);
  riga("cp", cp, primo_cp, picco_cp_kib, fault_cp);
  std::printf("   %-22s median %6.2f   (best %.2f, worst %.2f)\n", "ratio of each pair",
              rapporti.mediana(), rapporti.migliore(),
              *std::max_element(rapporti.valori.begin(), rapporti.valori.end()));
}

/// The scenario files of a compile, and all that the one-shot run leaves.
const std::vector<const char*> kFileScenario = {"Tratta_Valle3_linea.dat", "Tratta_Valle3_30.sim",
                                                "Tratta_Valle3_30.dat"};
const std::vector<const char*> kFileRun = {
    "Tratta_Valle3_linea.dat",   "Tratta_Valle3_30.sim",
    "Tratta_Valle3_30.dat",      "Tratta_Valle3_30_note.txt",
    "Tratta_Valle3_30_rallentamenti.txt", "Tratta_Valle3_30_scheda_treno.txt"};

/// cp as the user's shell finds it: the cost of copying the outputs' bytes.
constexpr const char* kCp = "/bin/cp";

/// cp of the files `nomi` of `da` into the folder `a`, as a child process,
/// the file system synced first.
EsitoProcesso copia_con_cp(const fs::path& radice, const fs::path& da,
                           const std::vector<const char*>& nomi, const fs::path& a) {
  std::vector<std::string> cp = {kCp};
  for (const char* nome : nomi) cp.push_back((da / nome).string());
  cp.push_back(a.string());
  sincronizza(radice);
  EsitoProcesso c = esegui(cp, a);
  if (c.stato != 0)
    throw std::runtime_error("cp ended with status " + std::to_string(c.stato) + ": " + c.errori);
  return c;
}

/// This process's own peak resident set so far, KiB.
long picco_proprio_kib() {
  struct rusage uso {};
  ::getrusage(RUSAGE_SELF, &uso);
  return uso.ru_maxrss;
}

/// Minor page faults of this process so far.
long fault_propri() {
  struct rusage uso {};
  ::getrusage(RUSAGE_SELF, &uso);
  return uso.ru_minflt;
}

/// Large blocks come from the heap and stay there once freed: a repetition
/// reuses the memory of the one before.
void memoria_riusata() {
  ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
  ::mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

/// Every block of 128 KiB or more is mapped anew and unmapped when freed,
/// as the first use of memory in a new process.
void memoria_nuova() {
  ::mallopt(M_MMAP_THRESHOLD, 128 << 10);
  ::mallopt(M_TRIM_THRESHOLD, 128 << 10);
}

using File = std::vector<std::pair<std::string, std::string>>;

/// The baseline: each file written with one open, one write, one close.
void scrivi_in_un_colpo(const fs::path& cartella, const File& file) {
  for (const auto& [nome, byte] : file) {
    const fs::path p = cartella / nome;
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw std::runtime_error("cannot create '" + p.string() + "'");
    const ssize_t n = ::write(fd, byte.data(), byte.size());
    if (n != static_cast<ssize_t>(byte.size()) || ::close(fd) != 0)
      throw std::runtime_error("cannot write '" + p.string() + "'");
  }
}

double ms(double s) { return s * 1000.0; }
double mib(double kib) { return kib / 1024.0; }

struct Opzioni {
  int ripetizioni = 15;
  std::string programma = TRATTA_PROGRAMMA;
  bool tieni = false;
};

Opzioni leggi_opzioni(int argc, char** argv) {
  Opzioni o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--reps" && i + 1 < argc) {
      o.ripetizioni = std::atoi(argv[++i]);
    } else if (a == "--program" && i + 1 < argc) {
      o.programma = argv[++i];
    } else if (a == "--keep") {
      o.tieni = true;
    } else {
      throw std::invalid_argument("usage: tratta_bench [--reps N] [--program PATH] [--keep]");
    }
  }
  if (o.ripetizioni < 1) throw std::invalid_argument("--reps needs a number above 0");
  o.programma = fs::absolute(o.programma).string();
  return o;
}

void riga_tempo(const char* nome, const Serie& s, const char* nota = "") {
  std::printf("   %-32s best %8.2f ms   median %8.2f ms   %s\n", nome, ms(s.migliore()),
              ms(s.mediana()), nota);
}

int misura(const Opzioni& o, const fs::path& radice) {
  const int n = o.ripetizioni;
  std::printf("tratta_valle3 benchmark: %d repetitions of each measurement, best of them\n", n);
  std::printf("   program       %s\n   temp folder   %s\n\n", o.programma.c_str(),
              radice.c_str());

  // 1. The one-shot run, a whole process in a folder of its own; as in real
  //    use, each run replaces the files of the run before.
  const fs::path cartella_run = radice / "one-shot";
  fs::create_directories(cartella_run);
  const fs::path copia = cartella_run / "tratta_valle3";
  fs::copy_file(o.programma, copia);
  //    Against cp of the six files it leaves, in turns: cp too replacing
  //    its copies of the run before, as the run replaces its files, which
  //    costs both the freeing of the older files and the writing back that
  //    the file system starts when a file is replaced; and cp into a fresh
  //    folder, shown beside it.
  Coppie run, run_fresco;
  const fs::path cartella_cp_run = radice / "cp-one-shot-replacing";
  fs::create_directories(cartella_cp_run);
  for (int r = 0; r < n; ++r) {
    sincronizza(radice);
    const EsitoProcesso e = esegui({copia.string()}, cartella_run);
    if (e.stato != 0) {
      std::fprintf(stderr, "the one-shot run ended with status %d: %s\n", e.stato,
                   e.errori.c_str());
      return 2;
    }
    run.aggiungi(e, copia_con_cp(radice, cartella_run, kFileRun, cartella_cp_run));
    run_fresco.aggiungi(e, copia_con_cp(radice, cartella_run, kFileRun,
                                        cartella_nuova(radice / "cp-one-shot", r)));
  }
  uintmax_t byte_run = 0;
  for (const char* nome : kFileRun) byte_run += fs::file_size(cartella_run / nome);

  // 2. The generated route's descriptions.
  const fs::path cartella_gen = radice / "gen";
  fs::create_directories(cartella_gen);
  const auto t_gen = Orologio::now();
  const tratta::bench::PercorsoGenerato gen = tratta::bench::genera_percorso_lungo();
  const double secondi_gen = secondi_da(t_gen);
  const fs::path linea = cartella_gen / "gen_line.txt";
  const fs::path treno = cartella_gen / "gen_train.txt";
  scrivi(linea, gen.linea);
  scrivi(treno, gen.treno);

  // 2f. The floor: the plan of the generated route alone, computed and
  //     written by its own process (bench/plan_floor.cpp), from the
  //     stretches the reading gives, written to a file here.
  const fs::path tratti = cartella_gen / "stretches.txt";
  {
    tratta::FileDescriptions lette(linea, treno, false);
    if (const auto guasto = lette.leggi_entrambe()) throw std::runtime_error(guasto->testo);
    tratta::RouteModel m;
    m.pulisci_voci();
    tratta::memorizza_dati(m, 1, lette);
    std::string testo = std::to_string(m.planimetria.metri_totali()) + "\n";
    for (const auto& t : m.planimetria.tratti()) {
      char riga[64];
      std::snprintf(riga, sizeof riga, "%d %a\n", t.fino, t.kappa);
      testo += riga;
    }
    scrivi(tratti, testo);
  }

  // 2a. The compile subcommand as a child process against cp of its three
  //     output files into a fresh folder, in turns (A B A B ...), while
  //     this process holds little (see esegui()); the ratio of each pair,
  //     the median of the ratios.
  const fs::path base_figlio = radice / "compile-subcommand";
  const fs::path base_cp = radice / "cp";
  const long picco_prima = picco_proprio_kib();
  Coppie compile_cp, pavimento_cp;
  fs::path cartella_figlio, cartella_pavimento;
  for (int r = 0; r < n; ++r) {
    cartella_figlio = cartella_nuova(base_figlio, r);
    sincronizza(radice);
    const EsitoProcesso e = esegui({o.programma, "compile", linea.string(), treno.string(),
                                    "--out", cartella_figlio.string()},
                                   cartella_figlio);
    if (e.stato != 0) {
      std::fprintf(stderr, "the compile of the generated route ended with status %d: %s\n",
                   e.stato, e.errori.c_str());
      return 2;
    }
    const EsitoProcesso c =
        copia_con_cp(radice, cartella_figlio, kFileScenario, cartella_nuova(base_cp, r));
    compile_cp.aggiungi(e, c);
    //    The floor next to the same cp.
    cartella_pavimento = cartella_nuova(radice / "plan-floor", r);
    sincronizza(radice);
    const EsitoProcesso f =
        esegui({TRATTA_PLAN_FLOOR, tratti.string(), (cartella_pavimento / kFileScenario[0]).string()},
               cartella_pavimento);
    if (f.stato != 0) {
      std::fprintf(stderr, "the plan floor ended with status %d: %s\n", f.stato,
                   f.errori.c_str());
      return 2;
    }
    pavimento_cp.aggiungi(f, c);
  }
  if (leggi(cartella_pavimento / kFileScenario[0]) != leggi(cartella_figlio / kFileScenario[0]))
    throw std::runtime_error("the plan floor's line file differs from the compile's");

  // 2e. Peak memory of the compile subcommand for the built-in 260 km route
  //     too: its descriptions as `emit` writes them.
  const fs::path cartella_emit = radice / "built-in";
  if (esegui({o.programma, "emit", cartella_emit.string()}, radice).stato != 0) {
    std::fprintf(stderr, "emit of the built-in documents failed\n");
    return 2;
  }
  long picco_predefinito = 0;
  for (int r = 0; r < n; ++r) {
    const fs::path cartella = cartella_nuova(radice / "compile-built-in", r);
    const EsitoProcesso e =
        esegui({o.programma, "compile", (cartella_emit / "Tratta_Valle3_linea.txt").string(),
                (cartella_emit / "Tratta_Valle3_30-.txt").string(), "--out", cartella.string()},
               cartella);
    if (e.stato != 0) {
      std::fprintf(stderr, "the compile of the built-in route ended with status %d: %s\n",
                   e.stato, e.errori.c_str());
      return 2;
    }
    picco_predefinito = std::max(picco_predefinito, e.picco_kib);
  }

  // 2c, then 2b and 3 side by side.
  // Read once, as the compile subcommand reads them; each compile then
  // takes them from memory.
  tratta::FileDescriptions descrizioni(linea, treno, false);
  if (const auto guasto = descrizioni.leggi_entrambe()) throw std::runtime_error(guasto->testo);
  File uscita;
  auto compilazione = [&](Serie& serie, const fs::path& base, int r) {
    const fs::path cartella = cartella_nuova(base, r);
    tratta::RouteModel modello;
    modello.nomi = tratta::nomi_predefiniti();
    tratta::EsitoCompilazione esito;
    sincronizza(radice);
    const long fault0 = fault_propri();
    const auto t0 = Orologio::now();
    const auto blocco =
        tratta::platform::lock_folder(cartella, tratta::platform::LockMode::kExclusive);
    if (!blocco.ok()) throw std::runtime_error(blocco.error().text);
    const tratta::platform::FileStatus scritti =
        tratta::memorizza_percorso(modello, 1, descrizioni, blocco.value(), esito);
    serie.aggiungi(secondi_da(t0));
    serie.fault += fault_propri() - fault0;
    const int32_t codice = esito.diagnosi.codice_errore;
    if (!scritti.ok() || codice != 0 || esito.errore_fatale != 0 || esito.file_scritti.size() != 3)
      throw std::runtime_error("the generated route compiled with code " + std::to_string(codice));
    if (uscita.empty()) {
      for (const std::string& nome : esito.file_scritti) {
        uscita.emplace_back(nome, leggi(cartella / nome));
        if (uscita.back().second != leggi(cartella_figlio / nome))
          throw std::runtime_error(nome +
                                   " differs between the subcommand and the in-process compile");
      }
    }
  };
  // 2c first, while the heap holds no large free block that could be
  // reused.
  memoria_nuova();
  Serie fresca;
  for (int r = 0; r < n; ++r) compilazione(fresca, radice / "compile-fresh-memory", r);

  Serie compila, base;
  auto una_base = [&](int r) {
    const fs::path cartella = cartella_nuova(radice / "baseline", r);
    sincronizza(radice);
    const auto t0 = Orologio::now();
    scrivi_in_un_colpo(cartella, uscita);
    base.aggiungi(secondi_da(t0));
  };
  memoria_riusata();
  compilazione(compila, radice / "compile", 0);
  una_base(0);
  for (int r = 1; r < n; ++r) {
    if (r % 2 == 0) {
      compilazione(compila, radice / "compile", r);
      una_base(r);
    } else {
      una_base(r);
      compilazione(compila, radice / "compile", r);
    }
  }
  size_t byte_uscita = 0, byte_massimo = 0;
  for (const auto& [nome, byte] : uscita) {
    byte_uscita += byte.size();
    byte_massimo = std::max(byte_massimo, byte.size());
  }

  // 2d. Where the time of 2b goes: each phase on its own.
  Serie f_lettura, f_passo, f_codifica, f_file;
  for (int r = 0; r < n; ++r) {
    const fs::path cartella = cartella_nuova(radice / "phases", r);
    tratta::RouteModel m;
    m.nomi = tratta::nomi_predefiniti();
    m.pulisci_voci();
    sincronizza(radice);
    auto t = Orologio::now();
    tratta::memorizza_dati(m, 1, descrizioni);
    f_lettura.aggiungi(secondi_da(t));
    t = Orologio::now();
    tratta::completa_percorso(m);
    tratta::apponi_timbri(m);
    f_passo.aggiungi(secondi_da(t));
    t = Orologio::now();
    const size_t byte_codificati =
        tratta::codifica_file_treno(m).size() + tratta::codifica_file_percorso(m).size();
    f_codifica.aggiungi(secondi_da(t));
    if (byte_codificati == 0) return 2;
    sincronizza(radice);
    t = Orologio::now();
    const auto blocco =
        tratta::platform::lock_folder(cartella, tratta::platform::LockMode::kExclusive);
    if (!blocco.ok() || !tratta::scrivi_file_scenario(m, 1, blocco.value()).ok()) return 2;
    f_file.aggiungi(secondi_da(t));
  }

  const auto& c = gen.conteggi;
  std::printf("1. one-shot run: whole process, built-in scenario, and cp of the six files it "
              "leaves (%ju bytes), taken in turns\n",
              byte_run);
  run.stampa("one-shot run");
  std::printf("   (cp replacing its copies of the run before, as the run replaces its files)\n");
  std::printf("   cp into a fresh folder   first %7.2f ms   warm best %7.2f ms   median %7.2f ms"
              "   ratio of each pair: median %.2f\n",
              ms(run_fresco.primo_cp), ms(run_fresco.cp.migliore()), ms(run_fresco.cp.mediana()),
              run_fresco.rapporto());
  std::printf("\n");

  std::printf("2. compile of the generated %d m route\n", tratta::bench::kLunghezzaPercorsoLungo);
  std::printf("   descriptions: gen_line.txt %zu bytes, gen_train.txt %zu bytes (generated in "
              "%.1f ms):\n",
              gen.linea.size(), gen.treno.size(), ms(secondi_gen));
  std::printf("   %d gradients, %d curves, %d montagna stretches (%d with markers), %d "
              "indicators,\n   %d signs, %d speeds, %d adhesions, %d signals, %d stations, %d "
              "slowdowns, %d code abatements\n",
              c.pendenze, c.curve, c.montagne, c.montagne_con_marcatori, c.indicatori,
              c.cartelli, c.velocita, c.aderenze, c.segnali, c.stazioni, c.rallentamenti,
              c.abbattimenti);
  std::printf("   output: %zu bytes in 3 files, the largest %zu (line file)\n", byte_uscita,
              byte_massimo);
  char nota[96];
  std::snprintf(nota, sizeof nota, "%.0f MB/s, %ld page faults", byte_uscita / compila.migliore() / 1e6,
                compila.fault / n);
  riga_tempo("in-process, warm", compila, nota);
  riga_tempo("  read descriptions", f_lettura, "fields, plan stretches, segments");
  riga_tempo("  finishing pass, stamps", f_passo);
  riga_tempo("  encode train, route files", f_codifica);
  riga_tempo("  write 3 files", f_file, "encoding included; plan computed as written");
  std::snprintf(nota, sizeof nota, "%ld page faults: first touch of new memory",
                fresca.fault / n);
  riga_tempo("in-process, first run", fresca, nota);
  std::printf("   (warm: the memory of the repetition before reused; first run: every large\n"
              "   block freshly mapped, as in a new process)\n");
  std::printf("\n");

  std::printf("3. baseline: the same bytes from memory, one write per file\n");
  std::snprintf(nota, sizeof nota, "%.0f MB/s", byte_uscita / base.migliore() / 1e6);
  riga_tempo("wall time", base, nota);
  std::printf("   in-process compile / baseline: %.2f warm, %.2f first run\n\n",
              compila.migliore() / base.migliore(), fresca.migliore() / base.migliore());

  std::printf("4. what a user waits for: the compile subcommand of the %d m route and cp of "
              "its 3 output files into a fresh folder, whole processes taken in turns\n",
              tratta::bench::kLunghezzaPercorsoLungo);
  compile_cp.stampa("compile subcommand");
  std::printf("   floor: the plan alone, computed and written by a process that does nothing "
              "else (tratta_plan_floor), against the same cp\n");
  std::printf("   %-22s first %7.2f ms   warm best %7.2f ms   median %7.2f ms   %4ld page faults\n",
              "plan floor", ms(pavimento_cp.primo), ms(pavimento_cp.programma.migliore()),
              ms(pavimento_cp.programma.mediana()), pavimento_cp.fault);
  std::printf("   %-22s median %6.2f   (best %.2f)\n", "ratio of each pair", pavimento_cp.rapporto(),
              pavimento_cp.rapporti.migliore());
  std::printf("   %-32s %8.1f MiB   (built-in 260,000 m route)\n",
              "peak RSS of the subcommand", mib(picco_predefinito));
  std::printf("   (this process held %.1f MiB when it forked)\n\n", mib(picco_prima));

  // 5. The language server: from an editor's change to its diagnostics,
  // the description and its partner compiled in memory.
  std::printf("5. language server: a change of the line description to its diagnostics, "
              "its 25 ms wait for a pause in typing included\n");
  auto latenza = [&](const std::string& linea, const std::string& treno) {
    const fs::path cartella = radice / "lsp";
    tratta::LanguageServer server(
        std::chrono::milliseconds(25),
        [&](const fs::path& p) -> std::optional<std::string> {
          if (p.filename() == "Tratta_Valle3_30-.txt") return treno;
          return std::nullopt;
        });
    (void)server.ricevi(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
    const std::string uri = tratta::uri_da_percorso(cartella / "Tratta_Valle3_linea.txt");
    tratta::LanguageServer::Json apri = {
        {"jsonrpc", "2.0"},
        {"method", "textDocument/didOpen"},
        {"params", {{"textDocument", {{"uri", uri}, {"text", tratta::decode_windows1252(linea)}}}}}};
    (void)server.ricevi(apri.dump());
    // The partner open too: the pair is found among the open documents.
    apri["params"]["textDocument"] = {
        {"uri", tratta::uri_da_percorso(cartella / "Tratta_Valle3_30-.txt")},
        {"text", tratta::decode_windows1252(treno)}};
    (void)server.ricevi(apri.dump());
    (void)server.compila_dovuti(Orologio::now() + std::chrono::hours(1));
    const std::string cambio =
        tratta::LanguageServer::Json{
            {"jsonrpc", "2.0"},
            {"method", "textDocument/didChange"},
            {"params",
             {{"textDocument", {{"uri", uri}}},
              {"contentChanges", {{{"text", tratta::decode_windows1252(linea) + " "}}}}}}}
            .dump();
    Serie s;
    for (int r = 0; r < n; ++r) {
      // As the server's loop does: the change, the pause in typing it
      // waits for, the compile.
      const auto t0 = Orologio::now();
      (void)server.ricevi(cambio);
      const auto dovuto = server.scadenza();
      if (!dovuto) throw std::runtime_error("the server scheduled nothing");
      std::this_thread::sleep_until(*dovuto);
      if (server.compila_dovuti().empty()) throw std::runtime_error("the server published nothing");
      s.aggiungi(secondi_da(t0));
    }
    return s;
  };
  const Serie lsp_predefinito = latenza(tratta::componi_documento(tratta::righe_linea()),
                                        tratta::componi_documento(tratta::righe_treno()));
  const Serie lsp_lungo = latenza(gen.linea, gen.treno);
  riga_tempo("built-in pair (260,000 m)", lsp_predefinito);
  riga_tempo("generated pair (1,000,000 m)", lsp_lungo);
  std::printf("\n");

  constexpr double kRapportoMassimo = 1.0;
  constexpr double kPiccoMassimoMib = 4.0;
  const bool ok_tempo = compile_cp.rapporto() <= kRapportoMassimo;
  const bool ok_run = run.rapporto() <= kRapportoMassimo;
  const double picco_compile = mib(std::max(compile_cp.picco_kib, picco_predefinito));
  const bool ok_rss = picco_compile <= kPiccoMassimoMib && mib(run.picco_kib) <= kPiccoMassimoMib;
  std::printf("%s  compile subcommand <= %.1f x cp of its outputs   (median ratio %.2f)\n",
              ok_tempo ? "PASS" : "FAIL", kRapportoMassimo, compile_cp.rapporto());
  if (!ok_tempo)
    std::printf("      the plan alone, computed and written, is %.2f x cp here: the floor of any "
                "compile on this machine\n",
                pavimento_cp.rapporto());
  std::printf("%s  one-shot run <= %.1f x cp of its six files      (median ratio %.2f)\n",
              ok_run ? "PASS" : "FAIL", kRapportoMassimo, run.rapporto());
  std::printf("%s  peak RSS <= %.0f MiB: compile, both routes; one-shot run   (%.1f MiB, %.1f MiB)\n",
              ok_rss ? "PASS" : "FAIL", kPiccoMassimoMib, picco_compile, mib(run.picco_kib));
  const bool ok_lsp = lsp_predefinito.mediana() <= 0.050 && lsp_lungo.mediana() <= 0.250;
  std::printf("%s  diagnostics within 50 ms (built-in) and 250 ms (1,000,000 m) of a change   "
              "(%.1f ms and %.1f ms)\n",
              ok_lsp ? "PASS" : "FAIL", ms(lsp_predefinito.mediana()), ms(lsp_lungo.mediana()));
  return ok_tempo && ok_run && ok_rss && ok_lsp ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Opzioni o;
  try {
    o = leggi_opzioni(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  std::string modello = (fs::temp_directory_path() / "tratta-bench-XXXXXX").string();
  if (::mkdtemp(modello.data()) == nullptr) {
    std::perror("mkdtemp");
    return 2;
  }
  const fs::path radice = modello;
  int stato = 2;
  try {
    stato = misura(o, radice);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tratta_bench: %s\n", e.what());
  }
  std::fflush(stdout);
  if (o.tieni) {
    std::printf("files kept in %s\n", radice.c_str());
  } else {
    std::error_code ec;
    fs::remove_all(radice, ec);
  }
  return stato;
}
