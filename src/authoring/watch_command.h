// `tratta_valle3 watch LINE TRAIN [compile's options] [--serve PORT [--open]]`:
// compiles once, then
// again each time the author saves either description, however the editor
// saves it, one line for each outcome.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "authoring/compile_command.h"
#include "authoring/esito_comando.h"
#include "platform/disk.h"
#include "platform/folder_watch.h"

namespace tratta {

/// Called after each compile of the watch with its outcome and the folder
/// its files went to (the route page is drawn again from there).
using DopoCompilazione =
    std::function<void(const EsitoComando& esito, const std::filesystem::path& cartella)>;

/// How long the watch waits.
struct TempiOsserva {
  /// The quiet after the last change before a compile. An editor's save,
  /// in whatever steps (a backup renamed, a new file written, the backup
  /// deleted), takes a few milliseconds, and its notices come within that;
  /// a tenth of a second joins them into one compile, with room for a busy
  /// machine, and is still below what the author notices after saving.
  std::chrono::milliseconds quiete{100};
  /// How long a description may stay missing before the watch says so: an
  /// editor that deletes and then creates, or renames the old file away
  /// before the new one is in place, leaves the name empty for a moment.
  std::chrono::milliseconds attesa_mancante{1000};
};

/// Compiles with `o` once, then again after each change that `osservatore`
/// notices to the descriptions once the changes have gone quiet, until a
/// stop is requested of it. Each outcome is one line on `out`, the local
/// time first, followed by a line for each warning (with --json compile's
/// object with a "time" key, and the warnings' lines on `err`); a
/// description missing for longer than `tempi.attesa_mancante` is said
/// once (on `err` under --json; a folder of theirs that is gone is said as
/// such), and the next change is waited for. Returns
/// the exit status: 0 once stopped, 2 when the first compile finds bad use
/// (no compile after it could do better), 4 when the changes can no longer
/// be waited for. `dopo` is called after each compile.
int osserva(const OpzioniCompile& o, platform::FolderWatch& osservatore, const TempiOsserva& tempi,
            const DopoCompilazione& dopo, std::ostream& out, std::ostream& err,
            platform::Disk& disco);

/// The outcome of one compile in one line, without the time: done and the
/// files written, or what went wrong as compile tells it; then the number
/// of warnings.
std::string riga_esito(const EsitoComando& e);

/// `tratta_valle3 watch`: the options of compile, and --serve ADDRESS (the
/// route page served on this computer, redrawn after each compile; its
/// address is the first line printed) with --open (the page opened in the
/// default browser), and --stop-after N (the watch ends with status 0 after
/// N compiles: for a script, or a check that can send no interrupt);
/// interrupts (Ctrl-C) end it with status 0 once the compile under way has
/// finished its files.
int comando_watch(const std::vector<std::string>& argomenti, std::ostream& out,
                  std::ostream& err, platform::Disk& disco, const DopoCompilazione& dopo = {});

}  // namespace tratta
