#include "authoring/cartella_uscita.h"

#include <system_error>

#include "platform/platform.h"

namespace tratta {

namespace fs = std::filesystem;

CartellaUscita::~CartellaUscita() {
  blocco_.release();
  if (!scritta_ && !prima_creata_.empty()) platform::remove_made_folders(cartella_, prima_creata_);
}

platform::FileStatus CartellaUscita::prepara(const platform::LockWait& attesa) {
  std::error_code ec;
  for (fs::path p = cartella_; !p.empty() && !fs::exists(fs::symlink_status(p, ec));
       p = p.parent_path()) {
    prima_creata_ = p;
    if (p == p.parent_path()) break;
  }
  if (platform::FileStatus s = platform::create_directories(cartella_); !s.ok()) return s;
  platform::FileResult<platform::FolderLock> b =
      platform::lock_folder(cartella_, platform::LockMode::kExclusive, attesa);
  if (!b.ok()) return b.status();
  blocco_ = std::move(b.value());
  return {};
}

}  // namespace tratta
