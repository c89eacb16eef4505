#include "authoring/output_checks.h"

#include "authoring/command_line.h"
#include "platform/output_set.h"
#include "platform/platform.h"

namespace tratta {

namespace fs = std::filesystem;

namespace {

fs::path cartella_di(const fs::path& p) {
  fs::path c = p.parent_path();
  return c.empty() ? fs::path(".") : c;
}

/// A file that the run reads or writes, with its identity when it has one.
struct FileVisto {
  fs::path percorso;
  bool da_standard_input = false;
  std::optional<platform::FileId> id;
};

FileVisto visto(const Ingresso& in) {
  return {in.percorso, in.da_standard_input,
          in.da_standard_input ? platform::standard_input_identity()
                               : platform::file_identity(in.percorso)};
}

FileVisto visto(const fs::path& uscita) {
  return {uscita, false, platform::file_identity(uscita)};
}

/// Same file: the same identity when both exist, else the same path (the
/// standard input has none).
bool stesso_file(const FileVisto& a, const FileVisto& b) {
  if (a.id && b.id) return *a.id == *b.id;
  if (a.da_standard_input || b.da_standard_input) return false;
  std::error_code ec1, ec2;
  const fs::path pa = fs::absolute(a.percorso, ec1).lexically_normal();
  const fs::path pb = fs::absolute(b.percorso, ec2).lexically_normal();
  return !ec1 && !ec2 && pa == pb;
}

}  // namespace

std::optional<std::string> nomi_troppo_lunghi(const std::vector<fs::path>& uscite) {
  if (uscite.empty()) return std::nullopt;
  const std::size_t massimo = platform::max_name_length(cartella_di(uscite.front()));
  for (const fs::path& u : uscite) {
    const std::size_t lunghezza = platform::name_length(u.filename()) + kHeldNameSuffix;
    if (lunghezza > massimo)
      return "the file name " + citato(u.filename()) + " is too long for its folder: with the " +
             std::to_string(kHeldNameSuffix) + " of its temporary file it takes " +
             std::to_string(lunghezza) + ", the file system at most " + std::to_string(massimo);
  }
  return std::nullopt;
}

std::optional<std::string> ingresso_tra_le_uscite(const std::vector<Ingresso>& ingressi,
                                                 const std::vector<fs::path>& uscite) {
  std::vector<FileVisto> letti;
  for (std::size_t i = 0; i < ingressi.size(); ++i) {
    const Ingresso& in = ingressi[i];
    letti.push_back(visto(in));
    for (const fs::path& u : uscite) {
      if (stesso_file(letti.back(), visto(u)))
        return in.cosa + " " + citato(in.percorso) + " is the file " + citato(u) +
               " that this run writes: it would be lost";
      if (in.da_standard_input) continue;
      const auto id_cartella = platform::file_identity(cartella_di(in.percorso));
      if (is_held_name_of(platform::path_to_utf8(in.percorso.filename()),
                        platform::path_to_utf8(u.filename())) &&
          id_cartella && id_cartella == platform::file_identity(cartella_di(u)))
        return in.cosa + " " + citato(in.percorso) + " has the name of a temporary file of " +
               citato(u) + ", which this run removes";
    }
    for (std::size_t k = 0; k < i; ++k)
      if (stesso_file(letti.back(), letti[k]))
        return in.cosa + " " + citato(in.percorso) + " is the same file as " + ingressi[k].cosa +
               " " + citato(ingressi[k].percorso);
  }
  return std::nullopt;
}

}  // namespace tratta
