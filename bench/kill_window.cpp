// tratta_kill_window: how long the renames of an output set leave the
// folder with files of two runs side by side, in each order of the renames.
//
//   tratta_kill_window [--reps N] [DIR...]     (default: /tmp and /dev/shm)
//
// A compile replaces its three files by renaming its temporaries over the
// older ones. A kill (SIGKILL, a power cut leaves other traces) ends the
// process when it next returns from the kernel: a kill that arrives during
// the rename of file k lets that rename finish, and leaves a mixed set
// when k is not the last. The window is therefore from the start of the
// first rename to the start of the last one. Some file systems make the
// rename that replaces a freshly written large file slow (it starts writing
// the new file's data back); this measures both orders with the bytes of
// the 1,000,000 m route (bench/percorso_lungo.h): the line file (about
// 20 MB) first, and last.
//
// Each repetition: a fresh folder holding an older set, synced; the three
// temporaries written as a compile writes them; the older files kept under
// second names; the three renames, timed; the backups removed.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "compile/memorizza_percorso.h"
#include "model/scenario_files.h"
#include "percorso_lungo.h"
#include "platform/disk.h"
#include "platform/folder_lock.h"
#include "platform/output_set.h"
#include "platform/platform.h"
#include "reader/description_source.h"

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

namespace {

/// The three files of the long route: name and bytes, smallest first.
std::vector<std::pair<std::string, std::string>> file_del_percorso(const fs::path& cartella) {
  const tratta::bench::PercorsoGenerato g = tratta::bench::genera_percorso_lungo();
  tratta::MemoryDescriptions descrizioni("gen_line.txt", g.linea, "gen_train.txt", g.treno);
  tratta::RouteModel m;
  m.nomi = tratta::nomi_predefiniti();
  tratta::EsitoCompilazione esito;
  auto blocco = tratta::platform::lock_folder(cartella, tratta::platform::LockMode::kExclusive);
  if (!blocco.ok() || !tratta::memorizza_percorso(m, 1, descrizioni, blocco.value(), esito).ok())
    throw std::runtime_error("the long route was not written");
  std::vector<std::pair<std::string, std::string>> out;
  for (const std::string& nome : esito.file_scritti) {
    std::string byte;
    if (!tratta::platform::read_file(cartella / nome, byte).ok()) throw std::runtime_error(nome);
    out.emplace_back(nome, std::move(byte));
  }
  std::sort(out.begin(), out.end(),
            [](const auto& a, const auto& b) { return a.second.size() < b.second.size(); });
  return out;
}

struct Misura {
  double finestra_us;  // start of the first rename to start of the last
  double piu_lenta_us;  // the slowest rename
};

/// A fresh folder holding the older set, on the disk.
void set_precedente(const fs::path& cartella,
                    const std::vector<std::pair<std::string, std::string>>& file) {
  namespace p = tratta::platform;
  fs::remove_all(cartella);
  fs::create_directories(cartella);
  for (const auto& [nome, byte] : file) {
    p::HeldFile f = p::create_held(cartella / (nome + ".older"), cartella / nome).value();
    (void)p::write_held_at(f, 0, byte);
    (void)p::rename_held(f, cartella / nome);
  }
  ::sync();
}

Misura una_volta(const fs::path& cartella, const std::vector<std::pair<std::string, std::string>>& file,
                 bool grande_per_ultimo, bool anticipa = false) {
  namespace p = tratta::platform;
  set_precedente(cartella, file);
  std::vector<p::HeldFile> temporanei, copie;
  for (const auto& [nome, byte] : file) {
    temporanei.push_back(p::create_held(cartella / (nome + ".tmp"), cartella / nome).value());
    (void)p::write_held_at(temporanei.back(), 0, byte);
  }
  if (anticipa)
    for (size_t i = 0; i + 1 < temporanei.size(); ++i)
      ::sync_file_range(static_cast<int>(temporanei[i].handle), 0, 0, SYNC_FILE_RANGE_WRITE);
  for (const auto& [nome, byte] : file) {
    copie.emplace_back();
    (void)p::hold_backup(cartella / nome, cartella / (nome + ".old"), copie.back());
  }
  std::vector<size_t> ordine = {0, 1, 2};
  if (!grande_per_ultimo) std::reverse(ordine.begin(), ordine.end());
  std::vector<Orologio::time_point> inizi, fini;
  for (size_t i : ordine) {
    inizi.push_back(Orologio::now());
    if (!p::rename_held(temporanei[i], cartella / file[i].first).ok())
      throw std::runtime_error("a rename failed");
    fini.push_back(Orologio::now());
  }
  for (p::HeldFile& c : copie) p::remove_held(c);
  Misura m{std::chrono::duration<double, std::micro>(inizi.back() - inizi.front()).count(), 0};
  for (size_t k = 0; k < inizi.size(); ++k)
    m.piu_lenta_us = std::max(m.piu_lenta_us,
                              std::chrono::duration<double, std::micro>(fini[k] - inizi[k]).count());
  return m;
}

/// The system's disk, with the start of each rename noted.
class DiscoCronometrato : public tratta::platform::Disk {
 public:
  std::vector<Orologio::time_point> inizi;
  tratta::platform::FileStatus rename_held(tratta::platform::HeldFile& f,
                                           const fs::path& target) override {
    inizi.push_back(Orologio::now());
    return Disk::rename_held(f, target);
  }
};

/// The same through the output set, as a compile over an older set does.
double con_il_set(const fs::path& cartella,
                  const std::vector<std::pair<std::string, std::string>>& file) {
  namespace p = tratta::platform;
  set_precedente(cartella, file);
  DiscoCronometrato disco;
  const p::FolderLock blocco =
      std::move(p::lock_folder(cartella, p::LockMode::kExclusive).value());
  tratta::OutputSet set(blocco, disco);
  for (size_t i = file.size(); i-- > 0;) (void)set.add(file[i].first, file[i].second);
  if (!set.commit().ok() || disco.inizi.size() != file.size())
    throw std::runtime_error("the set was not written");
  return std::chrono::duration<double, std::micro>(disco.inizi.back() - disco.inizi.front()).count();
}

double mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int ripetizioni = 15;
  std::vector<fs::path> cartelle;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--reps" && i + 1 < argc) {
      ripetizioni = std::max(1, std::atoi(argv[++i]));
    } else {
      cartelle.emplace_back(a);
    }
  }
  if (cartelle.empty()) cartelle = {"/tmp", "/dev/shm"};
  try {
    for (const fs::path& base : cartelle) {
      const fs::path cartella = base / ("tratta-kill-window-" + std::to_string(::getpid()));
      fs::create_directories(cartella);
      const auto file = file_del_percorso(cartella);
      std::printf("%s (%d repetitions; line file %zu bytes)\n", base.c_str(), ripetizioni,
                  file.back().second.size());
      for (int modo : {0, 1, 2}) {
        const bool ultimo = modo > 0;
        std::vector<double> finestre, lente;
        for (int r = 0; r < ripetizioni; ++r) {
          const Misura m = una_volta(cartella / "set", file, ultimo, modo == 2);
          finestre.push_back(m.finestra_us);
          lente.push_back(m.piu_lenta_us);
        }
        const char* come = modo == 0   ? "line file renamed first"
                           : modo == 1 ? "line file renamed last"
                                       : "line file last, the others written back first";
        std::printf("   %-48s window median %8.1f us  max %8.1f us   slowest rename median "
                    "%8.1f us\n",
                    come, mediana(finestre), *std::max_element(finestre.begin(), finestre.end()),
                    mediana(lente));
      }
      std::vector<double> finestre;
      for (int r = 0; r < ripetizioni; ++r) finestre.push_back(con_il_set(cartella / "set", file));
      std::printf("   %-48s window median %8.1f us  max %8.1f us\n", "the output set as it is",
                  mediana(finestre),
                  *std::max_element(finestre.begin(), finestre.end()));
      fs::remove_all(cartella);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tratta_kill_window: %s\n", e.what());
    return 2;
  }
  return 0;
}
