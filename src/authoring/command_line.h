// What every subcommand shares in reading its arguments and reporting bad
// use: the options loop, the check of a scenario name, the message lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_names.h"
#include "platform/file_result.h"
#include "platform/folder_lock.h"

namespace tratta {

/// Bad use of a subcommand: reported with exit status 2 before any file is
/// written. The message holds bytes as given (paths, arguments); it is
/// made readable where it is shown.
struct UsoErrato {
  std::string messaggio;
};

/// Takes one option of a subcommand: returns false when it does not know
/// `opzione`; `valore()` hands over the argument after it (bad use when
/// there is none).
using LettoreOpzione =
    std::function<bool(std::string_view opzione, const std::function<const std::string&()>& valore)>;

/// Walks the arguments after the subcommand's name (`argomenti[0]`): every
/// argument that starts with "-" (but "-" alone) goes to `opzione`, an
/// unknown one is bad use; the others are returned in order.
std::vector<std::string> leggi_argomenti(const std::vector<std::string>& argomenti,
                                         const LettoreOpzione& opzione);

/// A size in bytes as an option gives it: a whole number of bytes, or of
/// KiB, MiB or GiB with K, M or G after it (either case). Nothing when
/// `testo` is no such size, is 0, or does not fit 64 bits.
std::optional<std::uint64_t> leggi_misura(std::string_view testo);

/// Why `nome` cannot name the scenario's files, or nothing when it can.
std::optional<std::string> nome_non_valido(std::string_view nome);

/// Bad use when the scenario name or the train number cannot name files.
void controlla_nomi(const NomiScenario& nomi);

/// A path as messages quote it.
std::string citato(const std::filesystem::path& p);

/// Bad use when the folder a run writes into is an empty name, or when
/// something else than a folder has its name.
void controlla_cartella_uscita(const std::filesystem::path& cartella);

/// Bad use when a name of `uscite` is too long for its folder's file system.
void nomi_adatti(const std::vector<std::filesystem::path>& uscite);

/// A message line on stderr, every byte readable.
void scrivi_errore(std::ostream& err, std::string_view messaggio);

/// Reports bad use on stderr, pointing to the help of `comando` (the
/// program's help when none is named); returns its exit status.
int uso_errato(std::ostream& err, std::string_view messaggio, std::string_view comando = {});

/// Reports a failure of the system that left no file written on stderr;
/// returns its exit status.
int guasto_sistema(std::ostream& err, const platform::FileError& e);

/// How a subcommand waits for another run that holds `cartella`: it says
/// so on `err` after a second; with --no-wait (`aspetta` false) it fails at
/// once.
platform::LockWait attesa_cartella(bool aspetta, const std::filesystem::path& cartella,
                                   std::ostream& err);

}  // namespace tratta
