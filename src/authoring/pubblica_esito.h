// What the page server shows after each compile of `watch --serve`.
#pragma once

#include <filesystem>

#include "authoring/esito_comando.h"
#include "authoring/page_server.h"
#include "model/file_names.h"

namespace tratta {

/// After a compile into `cartella`: when it wrote the whole set (exit
/// status 0, or 5 under --strict), the files are read back as `view` reads
/// them and their route page is published; with status 5 the warnings
/// that failed it are then shown over it. Any other outcome, or files that
/// cannot be read back, is published as a failure over the last good page.
void pubblica_esito(PageServer& server, const EsitoComando& esito,
                    const std::filesystem::path& cartella,
                    const NomiScenario& nomi = nomi_predefiniti());

}  // namespace tratta
