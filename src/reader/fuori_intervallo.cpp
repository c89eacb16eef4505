#include "reader/fuori_intervallo.h"

#include <cstdlib>

#include "model/rounding.h"
#include "model/valori_segnale.h"

namespace tratta {

namespace {

// The places of the fields that share a stored value, in the signal, the
// indicator and the station records.
constexpr size_t kSx = 1, kRapp = 5, kDx = 6, kPrimoAspettoSinistro = 2, kPrimoAspettoDestro = 7;
constexpr size_t kPrimaVelocitaSinistra = 1, kPrimaVelocitaDestra = 5;
constexpr size_t kStrisceSinistre = 4, kStrisceDestre = 8;
constexpr size_t kOre = 13, kMinuti = 14, kSecondi = 15;
/// A slowdown up to here has no warning mark, nor pre-warnings.
constexpr int32_t kSenzaAvviso = 1500;

int64_t basso16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }
int64_t basso8(int64_t v) { return v & 0xFF; }

std::string n(int64_t v) { return std::to_string(v); }

/// What is kept of the value of field `i` of `r`, in words; nothing when the
/// reading fails on it anyway.
class Conservato {
 public:
  Conservato(const DefinizioneRecord& r, std::span<const int32_t> valori)
      : r_(r), valori_(valori) {}

  std::optional<std::string> di(size_t i) const {
    const int64_t v = valore(i);
    switch (r_.campi[i].conserva) {
      case Conserva::kComeScritto: return "taken as written";
      case Conserva::kSoloUno: return "stored as written, which does what 0 does (only 1 counts)";
      case Conserva::kBasso8: return "stored as its low 8 bits, " + n(basso8(v));
      case Conserva::kBasso16: return "stored as its low 16 bits, " + n(basso16(v));
      case Conserva::kAcceso:
        // The pre-warnings go with a warning mark, which a slowdown up to
        // 1500 m has not.
        if (r_.tipo == TipoRecord::kRallentamento && valore(0) <= kSenzaAvviso)
          return "not used: a slowdown up to " + n(kSenzaAvviso) + " m has no warning";
        return "read as on, as any value but 0";
      case Conserva::kPendenza: {
        // The gradient goes in when the next gradient is read: a sum that
        // overflows fails there.
        if (v + 100 > INT32_MAX) return non_contenuto();
        const int64_t byte = basso8(v + 100);
        return "stored as the byte " + n(byte) + ", a gradient of " + n(byte - 100) + " per mille";
      }
      case Conserva::kVelocita: {
        const double byte = round_half_even(static_cast<double>(v) / 5.0);
        if (byte < 0 || byte > 255) return non_contenuto();
        return "stored as " + n(static_cast<int64_t>(byte) * 5) + " km/h";
      }
      case Conserva::kClasse: {
        const int64_t classe = basso8(v > 10 ? v - 10 : v);
        return "stored as class " + n(classe) + (v > 10 ? ", with markers" : "");
      }
      case Conserva::kLatoSegnale: return lato_segnale();
      case Conserva::kAspetto: return aspetto(i);
      case Conserva::kTempoSegnale:
        if (valore(kSx) != 2) return "not stored: the signal's sx is not 2";
        return "stored as its low 8 bits, " + n(basso8(v));
      case Conserva::kVelocitaIndicatore: return velocita_indicatore(i);
      case Conserva::kStrisce: return strisce();
      case Conserva::kCodiceAbbattimento:
        if (v <= 0) return "stored as an abatement without a code value";
        return "stored as its low 16 bits, " + n(basso16(v));
      case Conserva::kOrario: return orario();
    }
    return std::nullopt;
  }

 private:
  int32_t valore(size_t i) const { return i < valori_.size() ? valori_[i] : 0; }
  std::string nome(size_t i) const { return std::string(r_.campi[i].nome); }

  static std::string non_contenuto() {
    return "no segment can hold it: the reading fails with code 25 when it is filled in";
  }

  std::string lato_segnale() const {
    Segmento s;
    codifica_segnale({.sx = valore(kSx), .dx = valore(kDx), .rapp = valore(kRapp)}, s);
    std::string out = "stored in the side value 10 x rapp + 3 x sx + dx as " + n(s.valore4);
    const std::optional<ColonneSegnale> c = decodifica_segnale(s);
    if (!c) return out + ", which reads back as no side of a signal";
    return out + ", which reads back as sx " + n(c->sx) + ", dx " + n(c->dx) + ", rapp " +
           n(c->rapp);
  }

  std::string aspetto(size_t i) const {
    const size_t sinistro = i < kPrimoAspettoDestro ? i : i - (kPrimoAspettoDestro - kPrimoAspettoSinistro);
    const size_t destro = sinistro + (kPrimoAspettoDestro - kPrimoAspettoSinistro);
    const int64_t a = basso16(int64_t{10} * valore(sinistro) + valore(destro));
    std::string out = "stored in the aspect value 10 x " + nome(sinistro) + " + " + nome(destro) +
                      " as " + n(a);
    if (a < 0 || a > 99) return out + ", which reads back as no aspect";
    return out + ", which reads back as " + nome(sinistro) + " " + n(a / 10) + ", " +
           nome(destro) + " " + n(a % 10);
  }

  std::optional<std::string> velocita_indicatore(size_t i) const {
    const size_t sinistra = i < kPrimaVelocitaDestra ? i : i - (kPrimaVelocitaDestra - kPrimaVelocitaSinistra);
    const size_t destra = sinistra + (kPrimaVelocitaDestra - kPrimaVelocitaSinistra);
    const ValoreVelocita v = codifica_velocita({valore(sinistra), valore(destra)});
    // A pair without a value fails the reading.
    if (v.fuori != FuoriScala::kNo) return std::nullopt;
    std::string out = "stored in the value 20 x " + nome(sinistra) + " + " + nome(destra) +
                      " / 5 as " + n(v.valore);
    const std::optional<Coppia> c = decodifica_velocita(v.valore);
    if (!c) return out + ", which reads back as no speeds";
    return out + ", which reads back as " + nome(sinistra) + " " + n(c->sinistra) + " km/h, " +
           nome(destra) + " " + n(c->destra) + " km/h";
  }

  std::string strisce() const {
    const int16_t v = codifica_strisce({valore(kStrisceSinistre), valore(kStrisceDestre)});
    std::string out = "stored in the value 10 x " + nome(kStrisceSinistre) + " + " +
                      nome(kStrisceDestre) + " as " + n(v);
    const std::optional<Coppia> c = decodifica_strisce(v);
    if (!c) return out + ", which reads back as no stripes";
    return out + ", which reads back as " + nome(kStrisceSinistre) + " " + n(c->sinistra) + ", " +
           nome(kStrisceDestre) + " " + n(c->destra);
  }

  std::optional<std::string> orario() const {
    const int64_t secondi = (int64_t{valore(kOre)} * 60 + valore(kMinuti)) * 60 + valore(kSecondi);
    // A time that does not fit 32 bits fails the reading.
    if (secondi < INT32_MIN || secondi > INT32_MAX) return std::nullopt;
    const int64_t a = std::llabs(secondi);
    auto due = [](int64_t x) { return (x < 10 ? "0" : "") + n(x); };
    return "the time is stored as " + std::string(secondi < 0 ? "-" : "") + due(a / 3600) + ":" +
           due(a / 60 % 60) + ":" + due(a % 60);
  }

  const DefinizioneRecord& r_;
  std::span<const int32_t> valori_;
};

}  // namespace

std::optional<std::string> avvertenza_intervallo(const DefinizioneRecord& r, size_t i,
                                                 std::span<const int32_t> valori) {
  const CampoRecord& c = r.campi[i];
  if (c.testo || i >= valori.size()) return std::nullopt;
  const int32_t v = valori[i];
  if (v >= c.minimo && v <= c.massimo) return std::nullopt;
  const std::optional<std::string> conservato = Conservato(r, valori).di(i);
  if (!conservato) return std::nullopt;
  return "the \"" + std::string(r.nome) + "\" field '" + std::string(c.nome) + "' is " + n(v) +
         ", outside " + n(c.minimo) + " to " + n(c.massimo) + ": " + *conservato;
}

}  // namespace tratta
