// The records of the two descriptions, as data: for each record the
// keyword test that the reader makes on a field, the fields that follow the
// keyword, what the record places and where, an example and a sentence for
// authors. The two halves of the reader dispatch through this table (the
// field's keyword test, then the handler of the record's kind), and the
// warnings name the closest keyword from it; a reference of the
// descriptions can be made from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

namespace tratta {

/// Which record a row is; each half of the reader maps it to its handler.
enum class TipoRecord : uint8_t {
  kLunghezzaPercorso,
  kProgressivaUno,
  kProgressivaDue,
  kProgressivaTre,
  kSfondoUno,
  kSfondoDue,
  kSfondoTre,
  kRipetizioneSegnali,
  kPendenza,
  kCurva,
  kMontagna,
  kIndicatoriVmax,
  kCartelloIndicatore,
  kMassaFrenata,
  kNumeroVetture,
  kVelocita,
  kAderenza,
  kOrologio,
  kSabbia,
  kSegnale,
  kRallentamento,
  kAbbattimento,
  kStazione,
};

/// Where a record stands.
enum class Parte : uint8_t {
  /// The line description's header: from "[generale]" up to the next
  /// section field.
  kIntestazioneLinea,
  /// The line description's body, after the header.
  kCorpoLinea,
  /// The train description, after its "[generale]" heading.
  kTreno,
  // In the body of either description, a record that lies past the route's
  // end (code 15) ends the reading of that body; its end steps still run.
};

/// What a record fills.
enum class Posa : uint8_t {
  /// Values of a fixed slot of `voci` (81 to 86).
  kVoce,
  /// The route's length: slot 84, and the segment row and the plan sized.
  kPercorso,
  /// A value along the segments, from the record's segment up to the next
  /// record's.
  kTratto,
  /// An event on one segment, with the marks that go with it.
  kEvento,
  /// The next station slot and the station's marks on the row.
  kStazione,
  /// The ground plan.
  kPlanimetria,
};

/// How the reader keeps a field's value: what a value outside the field's
/// range becomes, which the warning about it says.
enum class Conserva : uint8_t {
  /// Kept as written.
  kComeScritto,
  /// As written, but only 1 does what the field is for.
  kSoloUno,
  /// Its low 8 bits.
  kBasso8,
  /// Its low 16 bits.
  kBasso16,
  /// Not 0: on.
  kAcceso,
  /// The gradient: per mille + 100, its low 8 bits.
  kPendenza,
  /// The speed limit: round(km/h / 5) in a byte.
  kVelocita,
  /// The montagna class: above 10, 10 less (with markers), its low 8 bits.
  kClasse,
  /// A signal's side: the side value 10 x rapp + 3 x sx + dx.
  kLatoSegnale,
  /// A signal's aspect: 10 x left + right.
  kAspetto,
  /// A signal's time: 1 to 100 become 101, the low 8 bits, kept when sx is 2.
  kTempoSegnale,
  /// An indicator's speed: 20 x left + right / 5.
  kVelocitaIndicatore,
  /// An indicator's stripes: 10 x left + right.
  kStrisce,
  /// An abatement's code: above 0 its low 16 bits, else no code.
  kCodiceAbbattimento,
  /// A station's time: (hours x 60 + minutes) x 60 + seconds.
  kOrario,
};

/// A field after the keyword.
struct CampoRecord {
  std::string_view nome;
  /// "m", "km/h", "per mille", "%", "h", "min" or "s"; empty for a plain
  /// number or a text.
  std::string_view unita;
  /// The values the field is meant to take; for a text, its length in
  /// bytes. The reader reads any 32-bit whole number: what it makes of one
  /// outside these (a code, a value cut to its low bits, a reading that
  /// fails with code 25) the record's sentence says.
  int32_t minimo = INT32_MIN;
  int32_t massimo = INT32_MAX;
  /// A value off this grid draws a code or a warning (0: none does).
  int32_t passo = 0;
  /// A text, read to the next comma or line end, rather than a number.
  bool testo = false;
  std::string_view significato;
  Conserva conserva = Conserva::kComeScritto;
};

/// One record of the descriptions.
struct DefinizioneRecord {
  TipoRecord tipo;
  Parte parte;
  /// The keyword as the built-in descriptions write it.
  std::string_view nome;
  /// The keyword test: the field names the record when every word stands
  /// in it; exactly as written here (lower case) when `esatta`, else in any
  /// letter case. An empty word is no test.
  std::string_view parole[2];
  bool esatta;
  /// The place of the record's test among those of its part: a field that
  /// names several records is read as each, in this order, and the first
  /// that stops the reading ends it.
  uint8_t turno;
  /// The fields after the keyword, in the order the reader reads them.
  std::span<const CampoRecord> campi;
  Posa posa;
  /// The slot it fills when `posa` is kVoce or kPercorso; 0 otherwise.
  int16_t voce;
  /// What it places and where, in words.
  std::string_view dove;
  /// A whole record, as an author writes it.
  std::string_view esempio;
  /// What the record is, in a few sentences for authors.
  std::string_view frase;
};

// The fields of each record.

inline constexpr int32_t kMetriPercorso = 1000000;

inline constexpr CampoRecord kCampiLunghezzaPercorso[] = {
    {"lunghezza", "m", 0, kMetriPercorso, 0, false,
     "the route's length; the segment row and the plan reach 7000 m past it"},
};
inline constexpr CampoRecord kCampiProgressiva[] = {
    {"posizione", "m", 0, kMetriPercorso, 50, false, "where along the route the mileage changes"},
    {"progressiva", "m", 0, INT32_MAX, 50, false, "the mileage from there on"},
    {"bandiera", "", 0, 1, 0, false, "1: the mileage is taken 100 m further", Conserva::kSoloUno},
};
inline constexpr CampoRecord kCampiSfondo[] = {
    {"valore", "", INT32_MIN, INT32_MAX, 0, false, "stored as given"},
};
inline constexpr CampoRecord kCampiRipetizioneSegnali[] = {
    {"inizio", "m", 0, kMetriPercorso, 50, false, "where the repetition starts"},
    {"fine", "m", 0, kMetriPercorso, 50, false, "where it ends; 0: no repetition"},
};
inline constexpr CampoRecord kCampiPendenza[] = {
    {"posizione", "m", 0, kMetriPercorso, 0, false,
     "where the gradient starts: the segment round(posizione / 50)"},
    {"pendenza", "per mille", -100, 155, 0, false, "the gradient from there on",
     Conserva::kPendenza},
};
inline constexpr CampoRecord kCampiCurva[] = {
    {"inizio", "m", 0, kMetriPercorso, 0, false, "where the curve starts"},
    {"lunghezza", "m", 0, kMetriPercorso, 0, false, "its length along the route"},
};
inline constexpr CampoRecord kCampiMontagna[] = {
    {"inizio", "m", 0, kMetriPercorso, 0, false, "where the stretch starts"},
    {"fine", "m", 0, kMetriPercorso, 0, false, "where it ends"},
    {"classe", "", 0, 255, 0, false,
     "its class; above 10, the class 10 less with a marker every fourth segment",
     Conserva::kClasse},
};
inline constexpr CampoRecord kCampiIndicatoriVmax[] = {
    {"posizione", "m", 0, kMetriPercorso, 50, false, "where the indicator stands"},
    {"vas", "km/h", 0, 1275, 0, false, "first speed, left",
     Conserva::kVelocitaIndicatore},
    {"vbs", "km/h", 0, 1275, 0, false, "second speed, left",
     Conserva::kVelocitaIndicatore},
    {"vcs", "km/h", 0, 1275, 0, false, "third speed, left",
     Conserva::kVelocitaIndicatore},
    {"strisces", "", 0, 9, 0, false, "stripes, left", Conserva::kStrisce},
    {"vad", "km/h", 0, 495, 0, false, "first speed, right",
     Conserva::kVelocitaIndicatore},
    {"vbd", "km/h", 0, 495, 0, false, "second speed, right",
     Conserva::kVelocitaIndicatore},
    {"vcd", "km/h", 0, 495, 0, false, "third speed, right",
     Conserva::kVelocitaIndicatore},
    {"strisced", "", 0, 9, 0, false, "stripes, right", Conserva::kStrisce},
};
inline constexpr CampoRecord kCampiCartelloIndicatore[] = {
    {"posizione", "m", 0, kMetriPercorso, 50, false, "where the sign stands"},
    {"testo", "", 0, 65535, 0, true, "the sign's text, as the simulator shows it"},
};
inline constexpr CampoRecord kCampiMassaFrenata[] = {
    {"percentuale", "%", 0, INT32_MAX, 0, false, "the train's braked mass"},
};
inline constexpr CampoRecord kCampiNumeroVetture[] = {
    {"vetture", "", 0, INT32_MAX, 0, false, "the train's coaches"},
};
inline constexpr CampoRecord kCampiVelocita[] = {
    {"posizione", "m", 0, kMetriPercorso, 0, false,
     "where the limit starts: the segment round(posizione / 50)"},
    {"velocita", "km/h", 0, 1275, 0, false, "the speed limit from there on, in steps of 5 km/h",
     Conserva::kVelocita},
};
inline constexpr CampoRecord kCampiAderenza[] = {
    {"posizione", "m", 0, kMetriPercorso, 0, false,
     "where the adhesion starts: the segment round(posizione / 50)"},
    {"aderenza", "", 0, 255, 0, false, "the adhesion from there on", Conserva::kBasso8},
};
inline constexpr CampoRecord kCampiOrologio[] = {
    {"ore", "h", 0, 23, 0, false, "the clock's hour at the start"},
    {"minuti", "min", 0, 59, 0, false, "its minutes"},
    {"secondi", "s", 0, 59, 0, false, "its seconds"},
};
inline constexpr CampoRecord kCampiSabbia[] = {
    {"sabbia", "", 0, INT16_MAX, 0, false, "the sand on board"},
};
inline constexpr CampoRecord kCampiSegnale[] = {
    {"posizione", "m", 0, kMetriPercorso, 50, false, "where the signal stands"},
    {"sx", "", 0, 2, 0, false, "the left group's kind: 1 a distant signal, 2 a main one",
     Conserva::kLatoSegnale},
    {"s1", "", 0, 9, 0, false, "first aspect, left", Conserva::kAspetto},
    {"s2", "", 0, 9, 0, false, "second aspect, left", Conserva::kAspetto},
    {"s3", "", 0, 9, 0, false, "third aspect, left", Conserva::kAspetto},
    {"rapp", "", 0, 9, 0, false, "the tens of the signal's side value", Conserva::kLatoSegnale},
    {"dx", "", 0, 2, 0, false, "the right group's kind", Conserva::kLatoSegnale},
    {"d1", "", 0, 9, 0, false, "first aspect, right", Conserva::kAspetto},
    {"d2", "", 0, 9, 0, false, "second aspect, right", Conserva::kAspetto},
    {"d3", "", 0, 9, 0, false, "third aspect, right", Conserva::kAspetto},
    {"tempo", "", 0, 255, 0, false,
     "the signal's time, kept only when sx is 2; 1 to 100 become 101", Conserva::kTempoSegnale},
};
inline constexpr CampoRecord kCampiRallentamento[] = {
    {"posizione", "m", 0, kMetriPercorso, 50, false, "where the slowdown starts"},
    {"v", "", 0, INT16_MAX, 0, false,
     "the slowdown's speed value; below 110 the finishing pass puts code abatements inside it "
     "and after it",
     Conserva::kBasso16},
    {"l", "m", 0, kMetriPercorso, 50, false, "its length: the end stands at posizione + l"},
    {"f_tt", "", INT16_MIN, INT16_MAX, 0, false, "stored on the start and end marks",
     Conserva::kBasso16},
    {"f_ta", "", 0, 1, 0, false,
     "not 0, with a warning mark: the four segments before the warning take pre-warnings",
     Conserva::kAcceso},
    {"d_v", "", INT16_MIN, INT16_MAX, 0, false, "when not 0, stored on every mark",
     Conserva::kBasso16},
};
inline constexpr CampoRecord kCampiAbbattimento[] = {
    {"posizione", "m", 0, kMetriPercorso, 0, false,
     "where the abatement stands: the segment round(posizione / 50)"},
    {"codice", "", 0, INT16_MAX, 0, false, "the code's value; 0 or less: an abatement without one",
     Conserva::kCodiceAbbattimento},
};
inline constexpr CampoRecord kCampiStazione[] = {
    {"posizione", "m", 0, kMetriPercorso, 50, false, "the station's position"},
    {"tipo", "", 0, 255, 0, false,
     "its kind: 5 and 6 reach from posizione - lunghezza to posizione + 150, 7 and 8 from "
     "posizione - lunghezza to posizione + lunghezza, the others are centred on posizione; "
     "25 and above leave no mark on the row"},
    {"lunghezza", "m", 0, kMetriPercorso, 100, false, "its length"},
    {"tps", "", 0, 255, 0, false, "stored in the slot's tps"},
    {"tab", "", 0, 255, 0, false, "stored in tab; cleared for a station under 600 m and the first"},
    {"mar", "", 0, 255, 0, false,
     "not 0: a centred station ends 50 m further; cleared for kinds 5 to 8 and the first station"},
    {"d2_a", "", INT16_MIN, INT16_MAX, 0, false, "stored in the slot's d2_a"},
    {"d3_a", "", INT16_MIN, INT16_MAX, 0, false, "stored in d3_a"},
    {"rap", "", 0, 255, 0, false, "stored in rap"},
    {"d1_b", "", INT16_MIN, INT16_MAX, 0, false, "stored in d1_b"},
    {"d2_b", "", INT16_MIN, INT16_MAX, 0, false, "stored in d2_b"},
    {"d3_b", "", INT16_MIN, INT16_MAX, 0, false, "stored in d3_b"},
    {"ac", "", 0, 255, 0, false, "stored in ac"},
    {"ore", "h", 0, 23, 0, false, "the timetable's hour", Conserva::kOrario},
    {"minuti", "min", 0, 59, 0, false, "its minutes", Conserva::kOrario},
    {"secondi", "s", 0, 59, 0, false, "its seconds", Conserva::kOrario},
    {"nome", "", 0, 65535, 0, true, "the station's name"},
};

/// The records: the line description's header, its body, then the train
/// description, each part in the order its keywords are listed for authors
/// (and in which the closest keyword is looked for).
inline constexpr DefinizioneRecord kTabellaRecord[] = {
    {TipoRecord::kLunghezzaPercorso, Parte::kIntestazioneLinea, "lunghezza percorso",
     {"lunghezza", "percorso"}, false, 0, kCampiLunghezzaPercorso, Posa::kPercorso, 84,
     "slot 84's fine; the segment row and the plan are sized anew",
     "lunghezza percorso,    260000",
     "The route's length. Above 1,000,000 m the reading stops with code 1; a length that gives "
     "no segment row fails with code 25. A later length record sizes the row anew."},
    {TipoRecord::kProgressivaUno, Parte::kIntestazioneLinea, "progressiva chilometrica uno",
     {"progressiva", "uno"}, true, 3, kCampiProgressiva, Posa::kVoce, 83,
     "slot 83 (inizio, fine, posizione); once the header is read the three mileage changes are "
     "sorted into slots 81 to 83",
     "progressiva chilometrica uno,    257050,    53050,    0",
     "The first change of mileage along the route. A position or a mileage off the 50 m grid "
     "gives code 2 once both descriptions are read. Read in lower case only."},
    {TipoRecord::kProgressivaDue, Parte::kIntestazioneLinea, "progressiva chilometrica due",
     {"progressiva", "due"}, true, 2, kCampiProgressiva, Posa::kVoce, 82,
     "slot 82 (inizio, fine, posizione), then sorted with the other two",
     "progressiva chilometrica due,    0,    0,    0",
     "The second change of mileage, as the first."},
    {TipoRecord::kProgressivaTre, Parte::kIntestazioneLinea, "progressiva chilometrica tre",
     {"progressiva", "tre"}, true, 1, kCampiProgressiva, Posa::kVoce, 81,
     "slot 81 (inizio, fine, posizione), then sorted with the other two",
     "progressiva chilometrica tre,    0,    0,    0",
     "The third change of mileage, as the first."},
    {TipoRecord::kSfondoUno, Parte::kIntestazioneLinea, "sfondo uno", {"sfondo", "uno"}, true, 4,
     kCampiSfondo, Posa::kVoce, 85, "slot 85's inizio", "sfondo uno,    1",
     "The first of the line's three background values. Read in lower case only."},
    {TipoRecord::kSfondoDue, Parte::kIntestazioneLinea, "sfondo due", {"sfondo", "due"}, true, 5,
     kCampiSfondo, Posa::kVoce, 85, "slot 85's posizione", "sfondo due,    243450",
     "The second background value. Read in lower case only."},
    {TipoRecord::kSfondoTre, Parte::kIntestazioneLinea, "sfondo tre", {"sfondo", "tre"}, true, 6,
     kCampiSfondo, Posa::kVoce, 85, "slot 85's fine", "sfondo tre,    0",
     "The third background value. Read in lower case only."},
    {TipoRecord::kRipetizioneSegnali, Parte::kIntestazioneLinea, "ripetizione segnali",
     {"ripetizione", "segnali"}, true, 7, kCampiRipetizioneSegnali, Posa::kVoce, 86,
     "slot 86: inizio, fine, and in posizione the codes, 4 or 9 (0 when fine is 0)",
     "ripetizione segnali 9 codici,    6800,    260100",
     "Signal repetition over a stretch of the route with 4 or 9 codes, as the keyword says (a 4 "
     "in it is taken first). A start off the 50 m grid gives code 3, an end off it code 4, a "
     "keyword with neither 4 nor 9 code 5. Read in lower case only."},

    {TipoRecord::kPendenza, Parte::kCorpoLinea, "pendenza", {"pendenza"}, false, 0,
     kCampiPendenza, Posa::kTratto, 0,
     "the gradient byte (per mille + 100, its low 8 bits) of the segments from the record's up "
     "to the next gradient's; the segments before the first take 0",
     "pendenza,  950,   -11",
     "The gradient from a position on, up to the next gradient record. A gradient before the one "
     "read last draws a warning. Past the route's end, code 15."},
    {TipoRecord::kCurva, Parte::kCorpoLinea, "curva", {"curva"}, false, 1, kCampiCurva,
     Posa::kPlanimetria, 0,
     "the ground plan: a straight up to inizio, then the curve to inizio + lunghezza",
     "curvad2,   500,  300",
     "A curve of the ground plan. The keyword holds the side (an s: left, else right) and the "
     "class, the lowest of the digits 1 (widest) to 6 (tightest) in it; without one, or with a "
     "plan that runs past 1,000,000 m, code 103. A curve that starts before the plan's current "
     "point draws a warning. Without the plan the record is passed over. Past the route's end, "
     "code 15."},
    {TipoRecord::kMontagna, Parte::kCorpoLinea, "montagna", {"montagna"}, false, 2,
     kCampiMontagna, Posa::kTratto, 0,
     "the montagna class of the segments round(inizio / 50) to round(fine / 50 - 1); a stretch "
     "that starts within 150 m of the previous one's end is class 3",
     "montagna,   22550,  25650,  11",
     "A montagna stretch, at most 80 of them (more fail with code 25). Past the route's end, "
     "code 15."},
    {TipoRecord::kIndicatoriVmax, Parte::kCorpoLinea, "indicatori_vmax", {"indicatori_v"}, false,
     3, kCampiIndicatoriVmax, Posa::kEvento, 0,
     "a maximum-speed indicator on segment round(posizione / 50 + 1), each speed pair as "
     "left / 5 x 100 + right / 5",
     "indicatori_vmax,  1050, 85, 90, 95, 0, 85, 90, 95, 0",
     "A maximum-speed indicator with three speeds and the stripes on each side. Code 21 when its "
     "segment is not free; a speed pair that does not fit 16 bits fails with code 25. Past the "
     "route's end, code 15."},
    {TipoRecord::kCartelloIndicatore, Parte::kCorpoLinea, "cartello_indicatore",
     {"cartello", "indicat"}, false, 4, kCampiCartelloIndicatore, Posa::kEvento, 0,
     "a sign on segment round(posizione / 50 + 1), its text in the next sign slot, from 80 down",
     "cartello_indicatore,  22500,   ( GALLERIA )(Pizzomerlo)(  m 3087  )",
     "An indication sign with its text. Code 6 when its segment is not free. At most 80 signs "
     "(more fail with code 25), whose slots the train's stations must not reach (code 10). Past "
     "the route's end, code 15."},

    {TipoRecord::kMassaFrenata, Parte::kTreno, "percentuale massa frenata",
     {"frenata", "massa"}, false, 0, kCampiMassaFrenata, Posa::kVoce, 84, "slot 84's inizio",
     "percentuale massa frenata,    130", "The train's braked mass, per cent."},
    {TipoRecord::kNumeroVetture, Parte::kTreno, "numero vetture", {"vetture"}, false, 1,
     kCampiNumeroVetture, Posa::kVoce, 84, "slot 84's posizione", "numero vetture,    12",
     "The number of the train's coaches."},
    {TipoRecord::kVelocita, Parte::kTreno, "velocita", {"velocit"}, false, 2, kCampiVelocita,
     Posa::kTratto, 0,
     "the speed byte (round(km/h / 5)) of the segments from the record's up to the next "
     "speed's; the last segment of the row is never filled",
     "velocita,    1000,    95",
     "The speed limit from a position on, up to the next speed record. A speed that no segment "
     "can hold (above 1277 km/h, below -2 km/h) fails with code 25 when it is filled in; a speed "
     "before the one read last draws a warning. Past the route's end, code 15."},
    {TipoRecord::kAderenza, Parte::kTreno, "aderenza", {"aderenza"}, false, 3, kCampiAderenza,
     Posa::kTratto, 0,
     "the adhesion byte (its low 8 bits) of the segments from the record's up to the next "
     "adhesion's",
     "aderenza,   0,    80",
     "The adhesion from a position on, up to the next adhesion record; 80 is a dry rail. An "
     "adhesion before the one read last draws a warning. Past the route's end, code 15."},
    {TipoRecord::kOrologio, Parte::kTreno, "orologio", {"orologio"}, false, 4, kCampiOrologio,
     Posa::kVoce, 86, "slot 86's d1_b, d2_b and d3_b", "orologio,    7,    6,    30",
     "The time on the clock at the start. A value that does not fit 16 bits fails with code 25."},
    {TipoRecord::kSabbia, Parte::kTreno, "sabbia", {"sabbia"}, false, 5, kCampiSabbia,
     Posa::kVoce, 86, "slot 86's d2_a", "sabbia,    200",
     "The sand on board. A value that does not fit 16 bits fails with code 25."},
    {TipoRecord::kSegnale, Parte::kTreno, "segnale", {"segnale"}, false, 6, kCampiSegnale,
     Posa::kEvento, 0,
     "a signal on segment round(posizione / 50 + 1), each aspect as 10 x left + right and the "
     "side value 10 x rapp + 3 x sx + dx, with approach marks 2, 4, 6 and 8 segments before it",
     "segnale,    5000,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
     "A signal with its left and right groups. Code 16 when its segment is not free. The first "
     "signal or slowdown of the train stops the reading with code 15 when the line's body ended "
     "at a record beyond the route's end. Past the route's end, code 15."},
    {TipoRecord::kRallentamento, Parte::kTreno, "rallentamento", {"rallentamento"}, false, 7,
     kCampiRallentamento, Posa::kEvento, 0,
     "start and end marks on segments round(posizione / 50 + 1) and round((posizione + l) / 50 "
     "+ 1), a warning mark 1200 m before the start when posizione is above 1500, and with f_ta "
     "the four pre-warnings before that",
     "rallentamento,  6000,  60,  500,  0,  0,  0",
     "A slowdown. Codes 17 to 20 when the segments of its warning, start, end or pre-warnings "
     "are not free. Past the route's end, code 15."},
    {TipoRecord::kAbbattimento, Parte::kTreno, "abbattimento codice", {"abbattimento"}, false, 8,
     kCampiAbbattimento, Posa::kEvento, 0, "a code abatement on segment round(posizione / 50)",
     "abbattimento codice, 7250,270",
     "A code abatement. Code 7 when its segment is not free. Past the route's end, code 15."},
    {TipoRecord::kStazione, Parte::kTreno, "stazione", {"stazione"}, false, 9, kCampiStazione,
     Posa::kStazione, 0,
     "the next station slot, from 1 up, and below kind 25 a station mark on segment round(fine "
     "/ 50 - 1) with, but for kinds 5 and 6, approach marks on the four segments before it",
     "stazione,    4500,  2,  600,  0, 1, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, STAZ. PONTESELCE",
     "A station with its timetable time and name. A position off the 50 m grid gives code 8, a "
     "length off the 100 m grid code 9, a station that ends at or before 100 m code 24, one "
     "that starts less than 350 m after the previous one's end code 22, and stations that reach "
     "the slots of the line's signs code 10. A station needs 800 m of the row past its "
     "position (code 15). Values too wide for their slot fail with code 25."},
};

/// How many records `parte` has.
constexpr size_t conta_record(Parte parte) {
  size_t n = 0;
  for (const DefinizioneRecord& r : kTabellaRecord) n += r.parte == parte ? 1 : 0;
  return n;
}

/// The records of `parte`, in the table's order.
constexpr std::span<const DefinizioneRecord> record_di(Parte parte) {
  size_t primo = 0;
  while (primo < std::size(kTabellaRecord) && kTabellaRecord[primo].parte != parte) ++primo;
  return std::span<const DefinizioneRecord>(kTabellaRecord).subspan(primo, conta_record(parte));
}

/// The records of the line description, header and body.
constexpr std::span<const DefinizioneRecord> record_linea() {
  return std::span<const DefinizioneRecord>(kTabellaRecord)
      .first(conta_record(Parte::kIntestazioneLinea) + conta_record(Parte::kCorpoLinea));
}

/// The records of `P` in the order of their keyword tests.
template <Parte P>
inline constexpr std::array<const DefinizioneRecord*, conta_record(P)> kTurni = [] {
  std::array<const DefinizioneRecord*, conta_record(P)> turni{};
  for (const DefinizioneRecord& r : kTabellaRecord)
    if (r.parte == P) turni.at(r.turno) = &r;
  return turni;
}();

/// The table holds each part in one run, each kind once, and gives every
/// record of a part its own turn.
constexpr bool tabella_coerente() {
  size_t inizio = 0;
  for (Parte p : {Parte::kIntestazioneLinea, Parte::kCorpoLinea, Parte::kTreno}) {
    if (record_di(p).data() != kTabellaRecord + inizio) return false;
    inizio += conta_record(p);
  }
  if (inizio != std::size(kTabellaRecord)) return false;
  for (size_t i = 0; i < std::size(kTabellaRecord); ++i)
    if (static_cast<size_t>(kTabellaRecord[i].tipo) != i) return false;
  // Each turn of a part taken by exactly one of its records (counted, not
  // looked up through kTurni: a pointer's test is no constant expression
  // for every compiler).
  for (Parte p : {Parte::kIntestazioneLinea, Parte::kCorpoLinea, Parte::kTreno}) {
    for (size_t turno = 0; turno < conta_record(p); ++turno) {
      size_t n = 0;
      for (const DefinizioneRecord& r : record_di(p)) n += r.turno == turno ? 1 : 0;
      if (n != 1) return false;
    }
  }
  return true;
}
static_assert(tabella_coerente());

/// True when `campo` names the record `r`: its keyword test.
bool campo_nomina(const DefinizioneRecord& r, std::string_view campo);

}  // namespace tratta
