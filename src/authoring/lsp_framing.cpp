#include "authoring/lsp_framing.h"

#include <cctype>
#include <charconv>

namespace tratta {

namespace {

/// A header line without its CR LF; nothing at the end of the stream. A
/// line longer than any header is cut (and then not understood).
std::optional<std::string> riga_intestazione(std::istream& in) {
  std::string riga;
  for (int c; (c = in.get()) != std::char_traits<char>::eof();) {
    if (c == '\n') {
      if (!riga.empty() && riga.back() == '\r') riga.pop_back();
      return riga;
    }
    if (riga.size() < 1024) riga.push_back(static_cast<char>(c));
  }
  if (riga.empty()) return std::nullopt;
  return riga;
}

bool stesso_nome(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

MessaggioLetto LettoreMessaggi::leggi() {
  std::optional<std::size_t> lunghezza;
  bool intestazione_vista = false;
  for (;;) {
    std::optional<std::string> riga = riga_intestazione(in_);
    if (!riga) return {};
    if (riga->empty()) {
      if (!intestazione_vista) continue;  // blank lines between messages
      break;
    }
    intestazione_vista = true;
    const std::size_t due_punti = riga->find(':');
    if (due_punti == std::string::npos) continue;
    if (!stesso_nome(std::string_view(*riga).substr(0, due_punti), "Content-Length")) continue;
    std::string_view valore = std::string_view(*riga).substr(due_punti + 1);
    while (!valore.empty() && valore.front() == ' ') valore.remove_prefix(1);
    while (!valore.empty() && valore.back() == ' ') valore.remove_suffix(1);
    std::size_t n = 0;
    const auto [fine, errore] = std::from_chars(valore.data(), valore.data() + valore.size(), n);
    if (errore == std::errc() && fine == valore.data() + valore.size()) lunghezza = n;
  }
  if (!lunghezza) return {MessaggioLetto::Tipo::kGuasto, "a message without a Content-Length"};
  if (*lunghezza > massimo_) {
    // Read past, so that the next message is found where it starts.
    char scarto[1 << 14];
    for (std::size_t resto = *lunghezza; resto > 0 && in_;) {
      const std::size_t k = std::min(resto, sizeof scarto);
      in_.read(scarto, static_cast<std::streamsize>(k));
      resto -= static_cast<std::size_t>(in_.gcount());
      if (static_cast<std::size_t>(in_.gcount()) < k) break;
    }
    return {MessaggioLetto::Tipo::kGuasto,
            "a message of " + std::to_string(*lunghezza) + " bytes, larger than " +
                std::to_string(massimo_) + ": dropped"};
  }
  std::string corpo(*lunghezza, '\0');
  in_.read(corpo.data(), static_cast<std::streamsize>(corpo.size()));
  if (static_cast<std::size_t>(in_.gcount()) != corpo.size()) return {};
  return {MessaggioLetto::Tipo::kMessaggio, std::move(corpo)};
}

void scrivi_messaggio(std::ostream& out, std::string_view json) {
  out << "Content-Length: " << json.size() << "\r\n\r\n";
  out.write(json.data(), static_cast<std::streamsize>(json.size()));
  out.flush();
}

}  // namespace tratta
