#include "authoring/command_line.h"

#include "authoring/commands.h"
#include "authoring/display_text.h"
#include "authoring/output_checks.h"
#include "platform/platform.h"
#include "reader/chiavi.h"

namespace tratta {

std::vector<std::string> leggi_argomenti(const std::vector<std::string>& argomenti,
                                         const LettoreOpzione& opzione) {
  std::vector<std::string> posizionali;
  for (size_t i = 1; i < argomenti.size(); ++i) {
    const std::string& a = argomenti[i];
    if (!a.starts_with("-") || a == "-") {
      posizionali.push_back(a);
      continue;
    }
    auto valore = [&]() -> const std::string& {
      if (i + 1 >= argomenti.size()) throw UsoErrato{a + " needs a value"};
      return argomenti[++i];
    };
    if (!opzione(a, valore)) {
      std::string messaggio = "unknown option '" + a + "'";
      if (const auto vicina = parola_vicina(a, opzioni_di(argomenti.at(0))))
        messaggio += " (did you mean " + std::string(*vicina) + "?)";
      throw UsoErrato{std::move(messaggio)};
    }
  }
  return posizionali;
}

std::optional<std::uint64_t> leggi_misura(std::string_view testo) {
  int esponente = 0;
  if (!testo.empty()) {
    const char ultimo = testo.back();
    const std::string_view suffissi = "KkMmGg";
    if (const size_t i = suffissi.find(ultimo); i != std::string_view::npos) {
      esponente = static_cast<int>(i / 2) + 1;
      testo.remove_suffix(1);
    }
  }
  if (testo.empty()) return std::nullopt;
  std::uint64_t n = 0;
  for (char c : testo) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto cifra = static_cast<std::uint64_t>(c - '0');
    if (n > (UINT64_MAX - cifra) / 10) return std::nullopt;
    n = n * 10 + cifra;
  }
  const int scarto = 10 * esponente;
  if (n == 0 || n > (UINT64_MAX >> scarto)) return std::nullopt;
  return n << scarto;
}

std::optional<std::string> nome_non_valido(std::string_view nome) {
  if (nome.empty()) return "is empty";
  if (nome.find("..") != std::string_view::npos) return "holds \"..\"";
  for (char ch : nome) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return "holds a control character";
    if (c >= 0x80) return "holds a character outside ASCII (the train file stores 8-bit text)";
    if (std::string_view("<>:\"/\\|?*").find(ch) != std::string_view::npos)
      return std::string("holds '") + ch + "', which file names cannot hold";
  }
  if (nome.back() == '.' || nome.back() == ' ') return "ends with a dot or a blank";
  return std::nullopt;
}

void controlla_nomi(const NomiScenario& nomi) {
  if (auto perche = nome_non_valido(nomi.nome_scenario))
    throw UsoErrato{"the scenario name '" + nomi.nome_scenario + "' " + *perche};
  if (auto perche = nome_non_valido(nomi.numero_treno))
    throw UsoErrato{"the train number '" + nomi.numero_treno + "' " + *perche};
}

std::string citato(const std::filesystem::path& p) {
  return "'" + platform::path_to_utf8(p) + "'";
}

void controlla_cartella_uscita(const std::filesystem::path& cartella) {
  if (cartella.empty()) throw UsoErrato{"the output folder is an empty name"};
  std::error_code ec;
  if (std::filesystem::exists(cartella, ec) && !std::filesystem::is_directory(cartella, ec))
    throw UsoErrato{citato(cartella) + " is not a folder"};
}

void nomi_adatti(const std::vector<std::filesystem::path>& uscite) {
  if (auto perche = nomi_troppo_lunghi(uscite)) throw UsoErrato{*perche};
}

void scrivi_errore(std::ostream& err, std::string_view messaggio) {
  err << "tratta_valle3: " << visibile(messaggio, std::string::npos) << "\n";
}

platform::LockWait attesa_cartella(bool aspetta, const std::filesystem::path& cartella,
                                   std::ostream& err) {
  return {aspetta, [&err, cartella] {
            scrivi_errore(err, "waiting for another run in '" +
                                   platform::path_to_utf8(cartella) + "'");
            err.flush();
          }};
}

int guasto_sistema(std::ostream& err, const platform::FileError& e) {
  scrivi_errore(err, e.text + "; no file written");
  return kUscitaErroreSistema;
}

int uso_errato(std::ostream& err, std::string_view messaggio, std::string_view comando) {
  scrivi_errore(err, messaggio);
  err << "(see tratta_valle3 " << (comando.empty() ? "" : std::string(comando) + " ") << "--help)\n";
  return kUscitaUsoErrato;
}

}  // namespace tratta
