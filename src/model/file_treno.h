// The train file: the 87 slots of `voci`, slot 0 first, each a record of
// fixed fields with the slot's name in the middle, and nothing after slot
// 86.
//
// The record's fields are those of Voce, in this order (kCampiVoce); the
// name is a 16-bit length and that many bytes, so the fields after it lie
// the name's length further on than their offsets say. The encoder, the
// decoder and inspect's JSON all walk this one table.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <tuple>

#include "model/errore_decodifica.h"
#include "model/record_field.h"
#include "model/route_model.h"

namespace tratta {

/// The fields of a slot's record, in file order.
inline constexpr std::tuple kCampiVoce{
    field("tipo", 0, &Voce::tipo),
    field("inizio", 1, &Voce::inizio),
    field("fine", 5, &Voce::fine),
    field("posizione", 9, &Voce::posizione),
    field("tps", 13, &Voce::tps),
    field("nome", 14, &Voce::nome),
    field("d2_a", 16, &Voce::d2_a),
    field("d3_a", 18, &Voce::d3_a),
    field("d1_b", 20, &Voce::d1_b),
    field("d2_b", 22, &Voce::d2_b),
    field("d3_b", 24, &Voce::d3_b),
    field("rap", 26, &Voce::rap),
    field("ac", 27, &Voce::ac),
    field("mar", 28, &Voce::mar),
    field("tab", 29, &Voce::tab),
    field("orario", 30, &Voce::orario),
};

/// Bytes of a slot's record besides its name's.
inline constexpr size_t kByteVoceFissi = fixed_size(kCampiVoce);

static_assert(fields_packed(kCampiVoce), "the offsets follow the widths");
static_assert(kByteVoceFissi == 34, "the simulator reads slots of 34 bytes and a name");

/// Bytes of the train file.
std::string codifica_file_treno(const RouteModel& modello);

/// The 87 slots of a train file.
Decodificato<std::array<Voce, kNumeroVoci>> decodifica_file_treno(std::string_view byte,
                                                                  std::string_view file);

}  // namespace tratta
