// Names of the files of one scenario, built from its two identifiers.
#pragma once

#include <string>
#include <vector>

namespace tratta {

/// The scenario name and the train number; every file name is built from
/// them.
struct NomiScenario {
  std::string nome_scenario;
  std::string numero_treno;
};

/// The built-in identifiers of the one-shot run.
inline NomiScenario nomi_predefiniti() { return {"Tratta_Valle3", "30"}; }

inline std::string nome_descrizione_linea(const NomiScenario& n) {
  return n.nome_scenario + "_linea.txt";
}
inline std::string nome_descrizione_treno(const NomiScenario& n) {
  return n.nome_scenario + "_" + n.numero_treno + "-.txt";
}
inline std::string nome_note(const NomiScenario& n) {
  return n.nome_scenario + "_" + n.numero_treno + "_note.txt";
}
inline std::string nome_rallentamenti(const NomiScenario& n) {
  return n.nome_scenario + "_" + n.numero_treno + "_rallentamenti.txt";
}
inline std::string nome_scheda_treno(const NomiScenario& n) {
  return n.nome_scenario + "_" + n.numero_treno + "_scheda_treno.txt";
}
inline std::string nome_file_linea(const NomiScenario& n) {
  return n.nome_scenario + "_linea.dat";
}
inline std::string nome_file_treno(const NomiScenario& n) {
  return n.nome_scenario + "_" + n.numero_treno + ".sim";
}
inline std::string nome_file_percorso(const NomiScenario& n) {
  return n.nome_scenario + "_" + n.numero_treno + ".dat";
}

/// The scenario files, in the order compile writes them: the line file
/// (only with a plan), the train file, the route file.
inline std::vector<std::string> nomi_file_scenario(const NomiScenario& n,
                                                   bool con_planimetria = true) {
  std::vector<std::string> nomi;
  if (con_planimetria) nomi.push_back(nome_file_linea(n));
  nomi.push_back(nome_file_treno(n));
  nomi.push_back(nome_file_percorso(n));
  return nomi;
}

/// The route page that view writes when not told where.
inline std::string nome_pagina(const NomiScenario& n) {
  return n.nome_scenario + "_" + n.numero_treno + ".html";
}

}  // namespace tratta
