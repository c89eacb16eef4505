// What the page server shows after each compile of `watch --serve`.
#pragma once

#include <filesystem>

#include "authoring/esito_comando.h"
#include "authoring/page_server.h"
#include "model/file_names.h"

namespace tratta {

/// After a compile into `cartella`, one state for the open pages: when it
/// wrote the whole set (exit status 0, or 5 under --strict), the files read
/// back as `view` reads them give the new route page, published with the
/// outcome (its warnings shown over it); any other outcome is published
/// over the last good page, and so are files that cannot be read back, as
/// a failure of the system.
void pubblica_esito(PageServer& server, const EsitoComando& esito,
                    const std::filesystem::path& cartella,
                    const NomiScenario& nomi = nomi_predefiniti());

}  // namespace tratta
