// Reading back the text of a written document: its lines, the fields of a
// row and the columns of a printed form.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace tratta::testing {

/// The document split at its CR LF line ends, without them; bytes after the
/// last CR LF, if any, come last as one more element.
inline std::vector<std::string> dividi(std::string_view testo) {
  std::vector<std::string> out;
  size_t inizio = 0;
  for (size_t fine; (fine = testo.find("\r\n", inizio)) != std::string_view::npos;
       inizio = fine + 2)
    out.emplace_back(testo.substr(inizio, fine - inizio));
  if (inizio < testo.size()) out.emplace_back(testo.substr(inizio));
  return out;
}

/// `s` without its leading and trailing blanks.
inline std::string senza_blank(std::string_view s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

/// Comma-separated fields, each without its surrounding blanks.
inline std::vector<std::string> campi(std::string_view riga) {
  std::vector<std::string> out;
  size_t inizio = 0;
  for (;;) {
    const size_t virgola = riga.find(',', inizio);
    out.push_back(senza_blank(riga.substr(inizio, virgola - inizio)));
    if (virgola == std::string_view::npos) return out;
    inizio = virgola + 1;
  }
}

/// The columns, counted from 1, where `c` stands in `s`.
inline std::vector<int> colonne(std::string_view s, char c) {
  std::vector<int> out;
  for (size_t i = 0; i < s.size(); ++i)
    if (s[i] == c) out.push_back(static_cast<int>(i) + 1);
  return out;
}

/// The cells of a table line between its bars, standing in `barre`
/// (columns counted from 1, in order).
inline std::vector<std::string> celle(const std::string& s, const std::vector<int>& barre) {
  std::vector<std::string> out;
  for (size_t i = 0; i + 1 < barre.size(); ++i)
    out.push_back(s.substr(barre[i], barre[i + 1] - barre[i] - 1));
  return out;
}

/// A field that must be a whole number; anything after the digits fails
/// the test.
inline int intero(const std::string& s) {
  size_t usati = 0;
  int v = std::stoi(s, &usati);
  EXPECT_EQ(usati, s.size()) << "not a whole number: '" << s << "'";
  return v;
}

/// The three figures of the mileage change note of the description
/// preambles, "Distanza dall'inizio= A-B  differenza C": A, B and C.
inline std::vector<int> cifre_nota(const std::string& nota) {
  const size_t trattino = nota.find('-', 22);
  const size_t differenza = nota.find("differenza ");
  if (trattino == std::string::npos || differenza == std::string::npos) {
    ADD_FAILURE() << "no mileage change note: '" << nota << "'";
    return {0, 0, 0};
  }
  return {intero(nota.substr(22, trattino - 22)),
          intero(senza_blank(nota.substr(trattino + 1, differenza - trattino - 1))),
          intero(nota.substr(differenza + 11))};
}

}  // namespace tratta::testing
