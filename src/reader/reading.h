// State of one reading of the two descriptions, shared by its line half
// and its train half.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/route_model.h"
#include "reader/description_reader.h"
#include "reader/field_reader.h"

namespace tratta {

/// True when `campo` contains `chiave` (exact).
bool contiene(std::string_view campo, std::string_view chiave);
/// True when `campo` contains `chiave`, ignoring the case of letters.
bool contiene_ci(std::string_view campo, std::string_view chiave);

class Lettura {
 public:
  Lettura(RouteModel& modello, const Descrizioni& descrizioni)
      : m(modello), descrizioni(descrizioni) {}

  /// The line half; returns true when the reading goes on with the train.
  bool leggi_linea();
  /// The train half.
  void leggi_treno();

  /// The run-time failure trap: deletes both descriptions where they still
  /// exist and records status 25.
  void fallita(std::string_view dettaglio);

  LuogoDiagnosi luogo;

 private:
  /// Opens a description: its whole text is read at once.
  bool apri(const std::filesystem::path& percorso);
  /// Closes the description being read and, when consuming, deletes it.
  void chiudi_e_cancella();

  /// Reads the next field into `riga`; false when that read reached the
  /// end of the file (the field is then left uninterpreted).
  bool leggi_riga();
  /// The body's read: a field, skipping up to two comment fields.
  bool prossimo_record();
  int32_t numero() { return in->leggi_numero(); }
  std::string testo() { return in->leggi_testo(); }
  /// Stores `testo` as the name of slot `v`: a text longer than a slot of
  /// the train file can carry is a run-time failure, here.
  static void metti_nome(Voce& v, std::string testo);

  /// The bound check of a body record at `p`: status 15 when the row has no
  /// room for it with `margine` metres.
  bool oltre_percorso(int32_t p, int32_t margine);

  void registra(int32_t codice);
  void registra(int32_t codice, int32_t posizione);

  // Line half.
  bool leggi_intestazione();
  /// A curve record: 1 to go on, 0 when the reading stops with a status,
  /// -1 when the body ends at the bound check.
  int record_curva(int32_t& k);
  /// Extends the plan from metre `k` up to `fino` along a straight
  /// (`kappa` 0) or a curve, stopping after metre `limite`; `k` becomes the
  /// first metre not computed. A plan that would pass the route's last
  /// metre is a run-time failure.
  void estendi_piano(int32_t& k, int32_t fino, double kappa, int32_t limite);
  void fine_linea(int32_t k);

  // Train half.
  /// A station record: 1 to go on, 0 when the reading stops with a status,
  /// -1 when the body ends at the bound check.
  int record_stazione();
  void fine_treno();

  RouteModel& m;
  const Descrizioni& descrizioni;
  std::string testo_file;
  std::optional<FieldReader> in;
  std::filesystem::path percorso;
  std::string riga;
  int riga_record = 0;

  int32_t indice_cartelli = kPrimaVoceCartelli;
  int32_t p_pend = 0;
  int32_t pend_prec = 0;
  int32_t indice_stazioni = 1;
  int32_t p_vel = 0;
  int32_t vel_prec = 0;
  int32_t p_ader = 0;
  int32_t ader_prec = 0;
};

}  // namespace tratta
