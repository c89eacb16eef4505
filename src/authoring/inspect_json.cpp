#include "authoring/inspect_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "authoring/display_text.h"
#include "model/file_percorso.h"
#include "model/file_treno.h"
#include "model/windows1252.h"
#include "platform/platform.h"

namespace tratta {

namespace {

void intero(std::string& out, int64_t v) {
  char b[24];
  const auto r = std::to_chars(b, b + sizeof b, v);
  out.append(b, r.ptr);
}

/// `"nome": v` after the separator `sep`.
void campo(std::string& out, const char* sep, const char* nome, int64_t v) {
  out += sep;
  out += '"';
  out += nome;
  out += "\": ";
  intero(out, v);
}

void elemento(std::string& out, const ElementoPiano& e) {
  switch (e.tag) {
    case TagPiano::kVuoto:
      out += "null";
      return;
    case TagPiano::kIntero16:
      intero(out, static_cast<int64_t>(e.valore));
      return;
    case TagPiano::kDoppio:
      out += numero_json(e.valore);
      return;
  }
}

/// A record's value: a number, or a name decoded from Windows-1252.
void valore(std::string& out, int64_t v) { intero(out, v); }
void valore(std::string& out, const std::string& nome) {
  out += json_stringa(decode_windows1252(nome));
}

/// Each record as an object of its fields, in file order, one a line.
template <typename Records, typename Fields>
void elenco_record(std::string& out, const Records& tutti, const Fields& campi) {
  const char* prima = "\n    {";
  for (const auto& r : tutti) {
    out += prima;
    prima = ",\n    {";
    const char* sep = "";
    for_each_field(campi, [&](const auto& f) {
      out += sep;
      out += '"';
      out += f.name;
      out += "\": ";
      valore(out, r.*f.member);
      sep = ", ";
    });
    out += '}';
  }
}

void linea(std::string& out, const ScenarioCompilato& s, bool con_punti) {
  if (!s.linea) {
    out += "null";
    return;
  }
  const FileLinea& l = *s.linea;
  out += "{\"file\": " + json_stringa(platform::path_to_utf8(s.file_linea));
  campo(out, ", ", "metri_totali", l.metri_totali());
  campo(out, ", \"elements\": {", "empty", static_cast<int64_t>(l.conta(TagPiano::kVuoto)));
  campo(out, ", ", "int16", static_cast<int64_t>(l.conta(TagPiano::kIntero16)));
  campo(out, ", ", "double", static_cast<int64_t>(l.conta(TagPiano::kDoppio)));
  out += '}';
  if (con_punti) {
    out += ",\n  \"points\": [";
    const auto& xs = l.assi[0];
    const auto& ys = l.assi[1];
    for (size_t m = 0; m < xs.size() && m < ys.size(); ++m) {
      out += m ? (m % 4 ? ", " : ",\n    ") : "\n    ";
      if (xs[m].tag == TagPiano::kVuoto && ys[m].tag == TagPiano::kVuoto) {
        out += "null";
        continue;
      }
      out += '[';
      elemento(out, xs[m]);
      out += ", ";
      elemento(out, ys[m]);
      out += ']';
    }
    out += "]";
  }
  out += '}';
}

}  // namespace

std::string numero_json(double v) {
  if (std::isnan(v)) {
    // The one NaN that arithmetic gives reads "NaN"; any other keeps its
    // bits, so that the file can still be rebuilt from the text.
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    if (bits == 0x7FF8000000000000u) return "\"NaN\"";
    char b[32];
    std::snprintf(b, sizeof b, "\"NaN(0x%016llx)\"", static_cast<unsigned long long>(bits));
    return b;
  }
  if (std::isinf(v)) return v > 0 ? "\"Infinity\"" : "\"-Infinity\"";
  char b[40];
  const auto r = std::to_chars(b, b + sizeof b, v);
  std::string t(b, r.ptr);
  if (t.find_first_of(".e") == std::string::npos) t += ".0";
  return t;
}

std::string json_scenario(const ScenarioCompilato& s, bool con_punti) {
  std::string out;
  out.reserve(s.segmenti.size() * 200 + 32768 +
              (con_punti && s.linea ? s.linea->assi[0].size() * 48 : 0));
  out += "{\"scenario\": " + json_stringa(s.nomi.nome_scenario) +
         ", \"train_number\": " + json_stringa(s.nomi.numero_treno) + ",\n";
  out += "\"route\": {\"file\": " + json_stringa(platform::path_to_utf8(s.file_percorso)) +
         ", \"segmenti\": [";
  elenco_record(out, s.segmenti, kCampiSegmento);
  out += "\n  ]},\n\"train\": {\"file\": " + json_stringa(platform::path_to_utf8(s.file_treno)) +
         ", \"voci\": [";
  elenco_record(out, s.voci, kCampiVoce);
  out += "\n  ]},\n\"line\": ";
  linea(out, s, con_punti);
  out += "}\n";
  return out;
}

}  // namespace tratta
