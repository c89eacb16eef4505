#include "model/scenario_files.h"

#include "model/coding.h"
#include "run/output_set.h"

namespace tratta {

namespace {

constexpr size_t kBytesRecordPercorso = 15;
constexpr size_t kBytesRecordTrenoFissi = 34;

size_t bytes_elemento(TagPiano tag) {
  switch (tag) {
    case TagPiano::kIntero16: return 4;
    case TagPiano::kDoppio: return 10;
    case TagPiano::kVuoto: break;
  }
  return 2;
}

}  // namespace

std::string codifica_file_linea(const Planimetria& piano) {
  if (!piano.dimensionata()) return {};
  const int32_t metri = piano.metri_totali();
  size_t per_asse = 0;
  for (int32_t m = 0; m <= metri && m < 2; ++m) per_asse += bytes_elemento(piano.tag(m));
  // Metres from 2 on are a run of computed points followed by empty ones.
  const int32_t calcolati = piano.prossimo() > 2 ? piano.prossimo() - 2 : 0;
  const int32_t vuoti = metri >= 2 ? metri - 1 - calcolati : 0;
  per_asse += static_cast<size_t>(calcolati) * 10 + static_cast<size_t>(vuoti) * 2;

  std::string out(2 * per_asse, '\0');
  char* p = out.data();
  for (int asse = 0; asse < 2; ++asse) {
    for (int32_t m = 0; m <= metri; ++m) {
      TagPiano tag = piano.tag(m);
      encode_u16(p, static_cast<uint16_t>(tag));
      p += 2;
      if (tag == TagPiano::kIntero16) {
        encode_u16(p, static_cast<uint16_t>(static_cast<int16_t>(piano.punto(m, asse))));
        p += 2;
      } else if (tag == TagPiano::kDoppio) {
        encode_f64(p, piano.punto(m, asse));
        p += 8;
      }
    }
  }
  return out;
}

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
                                              const std::filesystem::path& cartella) {
  std::vector<std::string> scritti;
  OutputSet set;
  if (modello.con_planimetria != 0) {
    scritti.push_back(nome_file_linea(modello.nomi));
    const std::string_view completo = modello.planimetria.file_completo();
    if (!completo.empty()) {
      // Written straight from the plan: at 20 bytes a metre, a copy of a
      // long route's plan would cost as much again in time and memory.
      set.add(cartella / scritti.back(), completo);
    } else {
      set.add(cartella / scritti.back(), codifica_file_linea(modello.planimetria));
    }
  }
  scritti.push_back(nome_file_treno(modello.nomi));
  set.add(cartella / scritti.back(), codifica_file_treno(modello));
  scritti.push_back(nome_file_percorso(modello.nomi));
  set.add(cartella / scritti.back(), codifica_file_percorso(modello));
  set.commit();
  return scritti;
}

}  // namespace tratta
