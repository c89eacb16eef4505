#include "platform/output_set.h"

#include <optional>
#include <random>
#include <system_error>

namespace tratta {

namespace fs = std::filesystem;

namespace {

std::function<void(PassoScrittura)>& sonda() {
  static std::function<void(PassoScrittura)> s;
  return s;
}

void passo(PassoScrittura p) {
  if (sonda()) sonda()(p);
}

constexpr std::string_view kMarca = ".tratta-";
constexpr std::size_t kCifre = 16;

bool cifra_esadecimale(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

/// 64 bits that no other set is likely to draw: the system's randomness
/// and a count of the sets of this process.
std::string nuovo_gettone() {
  static unsigned contatore = 0;
  std::random_device caso;
  std::uint64_t v = (std::uint64_t{caso()} << 32) ^ caso() ^ (std::uint64_t{++contatore} << 48);
  static const char kHex[] = "0123456789abcdef";
  std::string out(kCifre, '0');
  for (std::size_t i = 0; i < kCifre; ++i) out[i] = kHex[(v >> (4 * (kCifre - 1 - i))) & 0xF];
  return out;
}

/// Removes what killed runs left beside the output `uscita`: their
/// temporaries and backups, recognised by name, and only those that no
/// live run holds.
void rimuovi_avanzi(const fs::path& uscita) {
  const std::string nome = platform::path_to_utf8(uscita.filename());
  fs::path cartella = uscita.parent_path();
  if (cartella.empty()) cartella = ".";
  std::error_code ec;
  for (fs::directory_iterator it(cartella, ec), fine; !ec && it != fine; it.increment(ec)) {
    const fs::path& p = it->path();
    if (temporaneo_di(platform::path_to_utf8(p.filename()), nome)) platform::remove_if_abandoned(p);
  }
}

}  // namespace

void imposta_sonda_scrittura(std::function<void(PassoScrittura)> s) { sonda() = std::move(s); }

bool temporaneo_di(std::string_view nome, std::string_view uscita) {
  if (nome.size() != uscita.size() + kSuffissoTemporaneo || !nome.starts_with(uscita)) return false;
  std::string_view resto = nome.substr(uscita.size());
  if (!resto.starts_with(kMarca)) return false;
  resto.remove_prefix(kMarca.size());
  for (std::size_t i = 0; i < kCifre; ++i)
    if (!cifra_esadecimale(resto[i])) return false;
  resto.remove_prefix(kCifre);
  return resto == ".tmp" || resto == ".old";
}

OutputSet::OutputSet() : gettone_(nuovo_gettone()) {}

OutputSet::~OutputSet() { abbandona(); }

fs::path OutputSet::nome_accanto(const fs::path& uscita, std::string_view estensione) const {
  fs::path p = uscita;
  p += std::string(kMarca) + gettone_ + std::string(estensione);
  return p;
}

void OutputSet::add(const fs::path& path, std::string_view bytes) {
  add(path, [&](const ScriviA& scrivi) { scrivi(0, bytes); });
}

void OutputSet::add(const fs::path& path, const std::function<void(const ScriviA&)>& produci) {
  rimuovi_avanzi(path);
  voci_.push_back(Voce{path, {}, {}, false});
  Voce& v = voci_.back();
  passo(PassoScrittura::kScrittura);
  v.temporaneo = platform::create_held(nome_accanto(path, ".tmp"), path);
  produci([&v](std::uint64_t offset, std::string_view bytes) {
    platform::write_held_at(v.temporaneo, offset, bytes);
  });
}

void OutputSet::commit() {
  // Second names for the older files, made before the first rename, so
  // that the renames follow one another with nothing in between.
  for (Voce& v : voci_) {
    std::error_code ec;
    const fs::file_status s = fs::symlink_status(v.uscita, ec);
    v.aveva_vecchio = !ec && fs::exists(s);
    if (v.aveva_vecchio && !fs::is_directory(s))
      platform::hold_backup(v.uscita, nome_accanto(v.uscita, ".old"), v.riserva);
  }

  // SIGINT and SIGTERM wait for the renames, and for the older files to be
  // given back after a failed one.
  std::optional<platform::InterruptsHeld> trattenuti;
  trattenuti.emplace();
  std::size_t rinominati = 0;
  try {
    for (; rinominati < voci_.size(); ++rinominati) {
      passo(PassoScrittura::kRinomina);
      platform::rename_held(voci_[rinominati].temporaneo, voci_[rinominati].uscita);
    }
  } catch (const platform::FileError& e) {
    // Give the outputs already renamed their older files back.
    std::string non_rimessi;
    for (std::size_t i = rinominati; i-- > 0;) {
      Voce& v = voci_[i];
      bool rimesso = false;
      try {
        if (!v.riserva.path.empty()) {
          platform::rename_held(v.riserva, v.uscita);
          rimesso = true;
        } else if (!v.aveva_vecchio) {
          rimesso = platform::delete_quietly(v.uscita);
        }
      } catch (const platform::FileError&) {
      }
      if (!rimesso) non_rimessi += " '" + platform::path_to_utf8(v.uscita) + "'";
    }
    trattenuti.reset();
    abbandona();
    if (!non_rimessi.empty())
      throw platform::FileError(e.text() + "; the new file stays at" + non_rimessi +
                                ", the rest of the older set is as it was");
    throw;
  }
  trattenuti.reset();
  for (Voce& v : voci_) platform::remove_held(v.riserva);
  voci_.clear();
}

void OutputSet::abbandona() noexcept {
  for (Voce& v : voci_) {
    platform::remove_held(v.temporaneo);
    platform::remove_held(v.riserva);
  }
  voci_.clear();
}

void replace_file(const fs::path& path, std::string_view bytes) {
  OutputSet set;
  set.add(path, bytes);
  set.commit();
}

}  // namespace tratta
