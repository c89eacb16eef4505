// The route file: one record per 50 m segment of the route, segment 0
// first, with no header, count or trailer.
//
// The record's fields are those of Segmento, in this order and at these
// offsets (kCampiSegmento); the encoder, the decoder and inspect's JSON
// all walk this one table.
#pragma once

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "model/errore_decodifica.h"
#include "model/record_field.h"
#include "model/route_model.h"

namespace tratta {

/// The fields of a segment's record, in file order.
inline constexpr std::tuple kCampiSegmento{
    field("tipo", 0, &Segmento::tipo),
    field("valore1", 1, &Segmento::valore1),
    field("valore2", 3, &Segmento::valore2),
    field("valore3", 5, &Segmento::valore3),
    field("valore4", 7, &Segmento::valore4),
    field("tempo_segnale", 9, &Segmento::tempo_segnale),
    field("avviso", 10, &Segmento::avviso),
    field("classe_montagna", 11, &Segmento::classe_montagna),
    field("vel_limite", 12, &Segmento::vel_limite),
    field("pendenza_seg", 13, &Segmento::pendenza_seg),
    field("aderenza_seg", 14, &Segmento::aderenza_seg),
};

/// Bytes of one segment's record.
inline constexpr size_t kByteRecordPercorso = fixed_size(kCampiSegmento);

static_assert(fields_packed(kCampiSegmento), "the offsets follow the widths");
static_assert(kByteRecordPercorso == 15, "the simulator reads 15-byte segment records");

/// Bytes of the route file: every segment as a record.
std::string codifica_file_percorso(const RouteModel& modello);

/// The same bytes given to `scrivi` a piece at a time, each piece at its
/// offset, from one small buffer: a long route's file is never held in
/// memory whole.
void scrivi_file_percorso(const RouteModel& modello, const ScritturaPosizionata& scrivi);

/// The segments of a route file: the file a whole number of records, at
/// least one.
Decodificato<std::vector<Segmento>> decodifica_file_percorso(std::string_view byte,
                                                             std::string_view file);

}  // namespace tratta
