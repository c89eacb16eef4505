#include "authoring/pubblica_esito.h"

#include <variant>

#include "authoring/commands.h"
#include "authoring/compile_command.h"
#include "authoring/scenario_compilato.h"
#include "authoring/view_page.h"

namespace tratta {

void pubblica_esito(PageServer& server, const EsitoComando& esito,
                    const std::filesystem::path& cartella, const NomiScenario& nomi) {
  if (esito.stato != kUscitaOk && esito.stato != kUscitaAvvertenze) {
    server.pubblica(std::nullopt, json_esito(esito), riga_fallimento(esito));
    return;
  }
  const auto letto = leggi_scenario_compilato(cartella, nomi);
  if (const ProblemaLettura* p = std::get_if<ProblemaLettura>(&letto)) {
    // Written, yet not to be read back (removed meanwhile, a disk that
    // fails): the page cannot show what the compile made.
    EsitoComando non_letto = esito;
    non_letto.stato = kUscitaErroreSistema;
    non_letto.errore = p->messaggio;
    non_letto.messaggio = p->messaggio;
    server.pubblica(std::nullopt, json_esito(non_letto), riga_fallimento(non_letto));
    return;
  }
  server.pubblica(pagina_percorso(std::get<ScenarioCompilato>(letto)), json_esito(esito),
                  riga_fallimento(esito));
}

}  // namespace tratta
