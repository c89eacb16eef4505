#include "reader/memorizza_dati.h"

#include <new>
#include <optional>
#include <string_view>

#include "model/catalogo_codici.h"
#include "reader/field_source.h"
#include "reader/line_reader.h"
#include "reader/progressive_ordina.h"
#include "reader/train_reader.h"

namespace tratta {

Diagnosi memorizza_dati(RouteModel& modello, int32_t con_planimetria,
                        DescriptionSource& sorgente, std::vector<Avvertenza>* avvertenze) {
  Diagnosi diagnosi;
  LineReader linea(modello, con_planimetria,
                   FieldSource(sorgente, Descrizione::kLinea, diagnosi, avvertenze));
  std::optional<TrainReader> treno;

  // The run-time failure trap: the reading is done with both descriptions,
  // code 25 at the record being read. A failure of the reading itself is
  // told in the words of what the description holds, when that explains it.
  auto fallita = [&](std::string_view dettaglio, bool della_lettura) {
    // A failure of the source then changes nothing: the code already says
    // that the reading failed.
    sorgente.letta(Descrizione::kLinea);
    sorgente.letta(Descrizione::kTreno);
    FieldSource& corrente = treno ? treno->fonte() : linea.fonte();
    corrente.concludi();
    corrente.registra({.codice_errore = kCodiceLetturaFallita,
                       .dettaglio = della_lettura ? corrente.dettaglio_fallimento(dettaglio)
                                                  : std::string(dettaglio)});
  };

  try {
    if (!linea.leggi()) return diagnosi;
    treno.emplace(modello,
                  FieldSource(sorgente, Descrizione::kTreno, diagnosi, avvertenze),
                  linea.indice_cartelli(), diagnosi.codice_errore);
    // The last end step of the train: the mileage change points, which come
    // from the line header, so the code names the line description.
    if (treno->leggi()) {
      if (auto d = verifica_progressive(modello)) {
        d->file = sorgente.nome(Descrizione::kLinea);
        registra(diagnosi, std::move(*d));
      }
    }
  } catch (const ErroreLettura& e) {
    fallita(e.testo(), true);
  } catch (const std::bad_alloc&) {
    fallita("out of memory", false);
  }
  return diagnosi;
}

}  // namespace tratta
