#include "authoring/riferimento.h"

#include <cstdint>
#include <string>

#include "model/catalogo_codici.h"
#include "reader/tabella_record.h"

namespace tratta {

namespace {

std::string campo_intervallo(const CampoRecord& c) {
  if (c.testo) return "text, up to " + std::to_string(c.massimo) + " bytes";
  std::string out;
  if (c.minimo == INT32_MIN && c.massimo == INT32_MAX) {
    out = "any whole number";
  } else {
    out = std::to_string(c.minimo) + " to " + std::to_string(c.massimo);
  }
  if (c.passo) out += ", a multiple of " + std::to_string(c.passo);
  return out;
}

std::string forma_chiave(const DefinizioneRecord& r) {
  std::string parole;
  for (std::string_view p : r.parole) {
    if (p.empty()) continue;
    parole += (parole.empty() ? "\"" : " and \"") + std::string(p) + "\"";
  }
  return "a first field holding " + parole + (r.esatta ? ", in lower case" : ", in any letter case");
}

void sezione(std::string& out, std::string_view titolo, Parte parte) {
  out += "### " + std::string(titolo) + "\n\n";
  for (const DefinizioneRecord& r : record_di(parte)) {
    out += "#### " + std::string(r.nome) + "\n\n";
    out += std::string(r.frase) + "\n\n";
    out += "Keyword: " + forma_chiave(r) + " (tried " + std::to_string(r.turno + 1) +
           (r.turno == 0 ? "st" : r.turno == 1 ? "nd" : r.turno == 2 ? "rd" : "th") +
           " among the records of its part).\n\n";
    if (!r.campi.empty()) {
      out += "| # | field | unit | values | meaning |\n|---|---|---|---|---|\n";
      int i = 1;
      for (const CampoRecord& c : r.campi)
        out += "| " + std::to_string(i++) + " | `" + std::string(c.nome) + "` | " +
               (c.unita.empty() ? "" : std::string(c.unita)) + " | " + campo_intervallo(c) +
               " | " + std::string(c.significato) + " |\n";
      out += "\n";
    }
    out += "Places: " + std::string(r.dove) + ".\n\n";
    out += "Example:\n\n    " + std::string(r.esempio) + "\n\n";
  }
}

}  // namespace

std::string riferimento_descrizioni() {
  std::string out =
      "# The line and train descriptions\n\n"
      "<!-- Made from the reader's table of records and the catalogue of the diagnostic\n"
      "     codes; a test of the build checks that this file is what they give. -->\n\n"
      "A scenario is written as two text files, the line description and the train\n"
      "description, in the Windows-1252 code page with CR LF line ends (`emit` writes\n"
      "both for the built-in scenario). Each holds a preamble, a `[generale]` heading,\n"
      "then records, one to a line: a keyword, then its fields, separated by commas;\n"
      "numbers are whole numbers. Lines that are no record (section headings such as\n"
      "`[dati]`, comments, blanks) are passed over, and `compile` warns about the ones\n"
      "that look like a mistyped record.\n\n"
      "Where a record lands: the route is a row of 50 m segments, segment s standing\n"
      "for the route from s x 50 m. A point event (a signal, a sign, a speed\n"
      "indicator, a slowdown's marks) written at p m goes on segment round(p / 50 + 1),\n"
      "one segment further on: a signal written at 1000 m lands on segment 21, from\n"
      "1050 m to 1100 m. A code abatement, a gradient, a speed or an adhesion written\n"
      "at p m starts on segment round(p / 50): an abatement meant for the segment of\n"
      "a signal written at 1000 m is written at 1050 m. Halves round to even.\n\n"
      "A value outside its field's range (the column \"values\" below) is read all the\n"
      "same, and `compile` warns about it, saying what is stored of it.\n\n"
      "## Records\n\n";
  sezione(out, "The line description's header", Parte::kIntestazioneLinea);
  sezione(out, "The line description's body", Parte::kCorpoLinea);
  sezione(out, "The train description", Parte::kTreno);
  out +=
      "## Diagnostic codes\n\n"
      "A compile ends at the first diagnostic, with its code (exit status 3), and\n"
      "writes no file: those of the last good compile stay (`--partial` writes the\n"
      "files as far as the descriptions were read). Codes that name a position say\n"
      "it in metres along the route; where a segment is not free, the message names\n"
      "the record that took it. Every message ends with how to mend it, as here.\n\n"
      "| code | what is wrong | position | how to mend it |\n|---|---|---|---|\n";
  for (const Codice& c : kCatalogoCodici) {
    if (c.numero == 0) continue;
    out += "| " + std::to_string(c.numero) + " | " + std::string(c.frase) + " | " +
           (c.con_posizione ? "yes" : "") + " | " + std::string(c.rimedio) + " |\n";
  }
  for (const Codice& c : kErroriFatali)
    out += "| " + std::to_string(c.numero) + " | \" Errore n. " + std::to_string(c.numero) +
           "\": " + std::string(c.frase) + "; no file is written (exit status 1) | | " +
           std::string(c.rimedio) + " |\n";
  return out;
}

}  // namespace tratta
