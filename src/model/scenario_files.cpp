#include "model/scenario_files.h"

#include "model/coding.h"
#include "platform/output_set.h"

namespace tratta {

namespace {

constexpr size_t kBytesRecordPercorso = 15;
constexpr size_t kBytesRecordTrenoFissi = 34;

}  // namespace

std::string codifica_file_linea(const Planimetria& piano) { return piano.file_linea(); }

std::string codifica_file_treno(const RouteModel& modello) {
  size_t totale = 0;
  for (const Voce& v : modello.voci) totale += kBytesRecordTrenoFissi + v.nome.size();
  std::string out;
  out.reserve(totale);
  for (const Voce& v : modello.voci) {
    put_u8(out, v.tipo);
    put_i32(out, v.inizio);
    put_i32(out, v.fine);
    put_i32(out, v.posizione);
    put_u8(out, v.tps);
    put_u16(out, static_cast<uint16_t>(v.nome.size()));
    put_bytes(out, v.nome);
    put_i16(out, v.d2_a);
    put_i16(out, v.d3_a);
    put_i16(out, v.d1_b);
    put_i16(out, v.d2_b);
    put_i16(out, v.d3_b);
    put_u8(out, v.rap);
    put_u8(out, v.ac);
    put_u8(out, v.mar);
    put_u8(out, v.tab);
    put_i32(out, v.orario);
  }
  return out;
}

std::string codifica_file_percorso(const RouteModel& modello) {
  std::string out;
  out.reserve(modello.segmenti.size() * kBytesRecordPercorso);
  for (const Segmento& s : modello.segmenti) {
    put_u8(out, s.tipo);
    put_i16(out, s.valore1);
    put_i16(out, s.valore2);
    put_i16(out, s.valore3);
    put_i16(out, s.valore4);
    put_u8(out, s.tempo_segnale);
    put_u8(out, s.avviso);
    put_u8(out, s.classe_montagna);
    put_u8(out, s.vel_limite);
    put_u8(out, s.pendenza_seg);
    put_u8(out, s.aderenza_seg);
  }
  return out;
}

std::vector<std::string> scrivi_file_scenario(const RouteModel& modello,
                                              int32_t con_planimetria,
                                              const std::filesystem::path& cartella) {
  std::vector<std::string> scritti;
  OutputSet set;
  if (con_planimetria != 0) {
    scritti.push_back(nome_file_linea(modello.nomi));
    // Computed and written a stretch at a time: at 20 bytes a metre, a long
    // route's plan is not held in memory whole.
    set.add(cartella / scritti.back(), [&](const OutputSet::WriteAt& scrivi) {
      modello.planimetria.scrivi_file_linea(scrivi);
    });
  }
  scritti.push_back(nome_file_treno(modello.nomi));
  set.add(cartella / scritti.back(), codifica_file_treno(modello));
  scritti.push_back(nome_file_percorso(modello.nomi));
  set.add(cartella / scritti.back(), codifica_file_percorso(modello));
  set.commit();
  return scritti;
}

}  // namespace tratta
