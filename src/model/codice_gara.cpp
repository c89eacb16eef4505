#include "model/codice_gara.h"

namespace tratta {

namespace {

constexpr std::string_view kRiempimento = "aabbccddeeffgghhiillmmnnoo";
constexpr size_t kLunghezzaChiave = 25;

}  // namespace

std::string chiave_gara(std::string_view numero_treno, std::string_view nome_scenario) {
  std::string chiave;
  chiave.reserve(numero_treno.size() + nome_scenario.size() + kRiempimento.size());
  chiave.append(numero_treno).append(nome_scenario);
  for (char& c : chiave)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  chiave.append(kRiempimento);
  chiave.resize(kLunghezzaChiave);
  return chiave;
}

int32_t codice_gara_st(std::string_view numero_treno, std::string_view nome_scenario) {
  std::string chiave = chiave_gara(numero_treno, nome_scenario);
  int32_t somma = 0;
  for (size_t i = 0; i < chiave.size(); ++i)
    somma += static_cast<int32_t>(i + 1) * static_cast<unsigned char>(chiave[i]);
  return somma;
}

int16_t codice_gara_og(std::string_view numero_treno, std::string_view nome_scenario) {
  int32_t somma = 0;
  for (char c : chiave_gara(numero_treno, nome_scenario)) somma += static_cast<unsigned char>(c);
  return static_cast<int16_t>(somma);
}

int32_t codice_gara_st(const RouteModel& modello) {
  return codice_gara_st(modello.voci[kVoceGeneraliTreno].nome,
                        modello.voci[kVoceGeneraliLinea].nome);
}

int16_t codice_gara_og(const RouteModel& modello) {
  return codice_gara_og(modello.voci[kVoceGeneraliTreno].nome,
                        modello.voci[kVoceGeneraliLinea].nome);
}

}  // namespace tratta
