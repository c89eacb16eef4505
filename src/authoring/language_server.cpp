#include "authoring/language_server.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "authoring/diagnostic_messages.h"
#include "authoring/display_text.h"
#include "authoring/esito_comando.h"
#include "authoring/version.h"
#include "compile/file_descriptions.h"
#include "compile/memorizza_percorso.h"
#include "model/file_names.h"
#include "model/file_percorso.h"
#include "model/rounding.h"
#include "model/windows1252.h"
#include "platform/platform.h"
#include "reader/description_source.h"
#include "reader/tabella_record.h"

namespace tratta {

namespace fs = std::filesystem;
using Json = LanguageServer::Json;

namespace {

// The protocol's error codes.
constexpr int kErroreSintassi = -32700;
constexpr int kRichiestaNonValida = -32600;
constexpr int kMetodoIgnoto = -32601;
constexpr int kParametriNonValidi = -32602;
constexpr int kErroreInterno = -32603;
constexpr int kNonInizializzato = -32002;
constexpr int kLogErrore = 1;

// Its severities and kinds.
constexpr int kGravitaErrore = 1;
constexpr int kGravitaAvvertenza = 2;
constexpr int kSimboloNamespace = 3;
constexpr int kSimboloCostante = 14;
constexpr int kSimboloStringa = 15;
constexpr int kSimboloNumero = 16;
constexpr int kSimboloEvento = 24;
constexpr int kCompletamentoParolaChiave = 14;
constexpr int kFormatoSnippet = 2;

Json risposta(const Json& id, Json risultato) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}};
}

Json errore(const Json& id, int codice, const std::string& messaggio) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", messaggio}}}};
}

Json notifica(const std::string& metodo, Json params) {
  return {{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(params)}};
}

}  // namespace

Json messaggio_log(const std::string& testo) {
  return notifica("window/logMessage", {{"type", kLogErrore}, {"message", testo}});
}

namespace {

/// The lines of a text, without their line ends.
std::vector<std::string> righe(std::string_view testo) {
  std::vector<std::string> out;
  for (;;) {
    const std::size_t a_capo = testo.find('\n');
    std::string_view r = testo.substr(0, a_capo);
    if (!r.empty() && r.back() == '\r') r.remove_suffix(1);
    out.emplace_back(r);
    if (a_capo == std::string_view::npos) return out;
    testo.remove_prefix(a_capo + 1);
  }
}

/// The length of UTF-8 `riga` in UTF-16 units, as the protocol counts.
int unita_utf16(std::string_view riga) {
  int n = 0;
  for (unsigned char c : riga) {
    if ((c & 0xC0) != 0x80) ++n;       // a character starts
    if ((c & 0xF8) == 0xF0) ++n;       // four bytes: two units
  }
  return n;
}

/// The byte of UTF-8 `riga` at UTF-16 unit `carattere`.
std::size_t byte_a(std::string_view riga, int carattere) {
  int n = 0;
  std::size_t i = 0;
  while (i < riga.size() && n < carattere) {
    const unsigned char c = static_cast<unsigned char>(riga[i]);
    const std::size_t k = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
    n += k == 4 ? 2 : 1;
    i = std::min(riga.size(), i + k);
  }
  return i;
}

std::string_view spoglia(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

/// The fields of a record line, split at its commas.
std::vector<std::string_view> campi(std::string_view riga) {
  std::vector<std::string_view> out;
  for (;;) {
    const std::size_t v = riga.find(',');
    out.push_back(spoglia(riga.substr(0, v)));
    if (v == std::string_view::npos) return out;
    riga.remove_prefix(v + 1);
  }
}

std::optional<int64_t> numero(std::string_view s) {
  int64_t v = 0;
  const auto [fine, e] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (e != std::errc() || fine != s.data() + s.size()) return std::nullopt;
  return v;
}

/// The record that a line's first field names, among `records`.
const DefinizioneRecord* record_della_riga(std::string_view riga,
                                           std::span<const DefinizioneRecord> records) {
  const std::string_view chiave = campi(riga).front();
  if (chiave.empty() || chiave.front() == '[' || chiave.front() == '-') return nullptr;
  const std::optional<std::string> byte = encode_windows1252(chiave);
  const std::string campo = byte ? *byte : std::string(chiave);
  const DefinizioneRecord* trovato = nullptr;
  for (const DefinizioneRecord& r : records) {
    if (!campo_nomina(r, campo)) continue;
    if (!trovato || r.turno < trovato->turno) trovato = &r;
  }
  return trovato;
}

Json intervallo(int riga, std::string_view testo_riga) {
  return {{"start", {{"line", riga}, {"character", 0}}},
          {"end", {{"line", riga}, {"character", unita_utf16(testo_riga)}}}};
}

/// A record's fields, each with its unit and range, for a reader.
std::string descrizione_campi(const DefinizioneRecord& r) {
  std::string out;
  for (const CampoRecord& c : r.campi) {
    out += "- `" + std::string(c.nome) + "`";
    if (!c.unita.empty()) out += " (" + std::string(c.unita) + ")";
    if (c.testo) {
      out += ": text";
    } else if (c.minimo != INT32_MIN || c.massimo != INT32_MAX) {
      out += ": " + std::to_string(c.minimo) + " to " + std::to_string(c.massimo);
      if (c.passo) out += ", a multiple of " + std::to_string(c.passo);
    }
    out += " — " + std::string(c.significato) + "\n";
  }
  return out;
}

std::string firma_record(const DefinizioneRecord& r) {
  std::string out(r.nome);
  for (const CampoRecord& c : r.campi) out += ", " + std::string(c.nome);
  return out;
}

}  // namespace

std::optional<fs::path> percorso_da_uri(std::string_view uri) {
  constexpr std::string_view kSchema = "file://";
  if (uri.substr(0, kSchema.size()) != kSchema) return std::nullopt;
  uri.remove_prefix(kSchema.size());
  std::string byte;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size()) {
      unsigned v = 0;
      const auto [fine, e] = std::from_chars(uri.data() + i + 1, uri.data() + i + 3, v, 16);
      if (e == std::errc() && fine == uri.data() + i + 3) {
        byte.push_back(static_cast<char>(v));
        i += 2;
        continue;
      }
    }
    byte.push_back(uri[i]);
  }
  // "/C:/x" on Windows is "C:/x".
  if (byte.size() >= 3 && byte[0] == '/' && byte[2] == ':') byte.erase(0, 1);
  return platform::path_from_utf8(byte);
}

std::string uri_da_percorso(const fs::path& p) {
  const std::u8string generico = p.generic_u8string();
  const std::string testo(generico.begin(), generico.end());
  std::string out = "file://";
  if (!testo.empty() && testo.front() != '/') out += '/';
  static const char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : testo) {
    if (std::isalnum(c) != 0 || c == '/' || c == '-' || c == '_' || c == '.' || c == '~' || c == ':') {
      out.push_back(static_cast<char>(c));
    } else {
      out += '%';
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

LanguageServer::LanguageServer(std::chrono::milliseconds ritardo, LettoreFile leggi)
    : ritardo_(ritardo), leggi_file_(std::move(leggi)) {
  if (!leggi_file_) leggi_file_ = leggi_da_disco;
}

LanguageServer::FileLetto LanguageServer::leggi_da_disco(const fs::path& p, bool linea) {
  // As compile reads a description, within the same bound; a FIFO or a
  // device is refused, never waited for or read without end.
  FileLetto f;
  std::string byte;
  const LetturaDescrizione l =
      leggi_descrizione(OrigineDescrizione(p), linea ? Descrizione::kLinea : Descrizione::kTreno,
                        kLimiteDescrizione, platform::ReadKinds::kRegularOnly, byte);
  f.guasto = l.guasto;
  if (l.guasto.empty() && l.presente) f.byte = std::move(byte);
  return f;
}

std::vector<Json> LanguageServer::ricevi(std::string_view messaggio, Orologio::time_point adesso) {
  std::vector<Json> uscita;
  Json m = Json::parse(messaggio, nullptr, false);
  if (m.is_discarded()) {
    uscita.push_back(errore(nullptr, kErroreSintassi, "the message is not JSON"));
    return uscita;
  }
  if (!m.is_object() || !m.contains("method") || !m["method"].is_string()) {
    // A response of the editor to nothing this server asked: passed over.
    if (m.is_object() && m.contains("id") && !m.contains("method")) return uscita;
    uscita.push_back(errore(m.is_object() && m.contains("id") ? m["id"] : Json(nullptr),
                            kRichiestaNonValida, "not a request or a notification"));
    return uscita;
  }
  // The id comes back in the response: only the kinds the protocol gives
  // it (a nested value would be written back as deep as it came).
  if (m.contains("id") && !m["id"].is_string() && !m["id"].is_number() && !m["id"].is_null()) {
    uscita.push_back(errore(nullptr, kRichiestaNonValida, "an id must be a number or a string"));
    return uscita;
  }
  Json r;
  try {
    r = gestisci(m, adesso, uscita);
  } catch (const Json::exception& e) {
    // Parameters of the wrong shape.
    if (m.contains("id")) r = errore(m["id"], kParametriNonValidi, e.what());
  } catch (const std::exception& e) {
    // Whatever else a request meets (a path the system refuses, no memory)
    // ends that request only.
    const std::string testo = "'" + m["method"].get<std::string>() + "' failed: " + e.what();
    if (m.contains("id")) {
      r = errore(m["id"], kErroreInterno, testo);
    } else {
      uscita.push_back(messaggio_log(testo));
    }
  }
  if (!r.is_null()) uscita.insert(uscita.begin(), std::move(r));
  return uscita;
}

Json LanguageServer::gestisci(const Json& m, Orologio::time_point adesso, std::vector<Json>& uscita) {
  const std::string metodo = m["method"];
  const bool richiesta = m.contains("id");
  const Json id = richiesta ? m["id"] : Json(nullptr);
  const Json params = m.value("params", Json::object());

  if (metodo == "exit") {
    finito_ = true;
    return nullptr;
  }
  if (spento_) return richiesta ? errore(id, kRichiestaNonValida, "the server was shut down") : nullptr;
  if (metodo == "initialize") {
    inizializzato_ = true;
    if (params.contains("initializationOptions") && params["initializationOptions"].is_object()) {
      const Json& o = params["initializationOptions"];
      if (o.contains("line") && o.contains("train") && o["line"].is_string() && o["train"].is_string()) {
        // Names that make no file are said and left out: the pairs are
        // then found by their names.
        std::error_code el, et;
        const std::string l = o["line"], t = o["train"];
        const fs::path linea = fs::absolute(platform::path_from_utf8(l), el);
        const fs::path treno = fs::absolute(platform::path_from_utf8(t), et);
        if (l.empty() || t.empty() || el || et || linea == treno) {
          uscita.push_back(messaggio_log(
              "initializationOptions: the pair {\"line\": \"" + l + "\", \"train\": \"" + t +
              "\"} names no two files; the descriptions are paired by their names"));
        } else {
          coppia_fissa_ = Coppia{linea, treno};
        }
      }
    }
    return risposta(
        id, {{"capabilities",
              {{"textDocumentSync", {{"openClose", true}, {"change", 1}, {"save", true}}},
               {"hoverProvider", true},
               {"completionProvider", {{"triggerCharacters", Json::array()}}},
               {"signatureHelpProvider", {{"triggerCharacters", {","}}}},
               {"documentSymbolProvider", true}}},
             {"serverInfo", {{"name", "tratta_valle3"}, {"version", TRATTA_VERSION}}}});
  }
  if (!inizializzato_)
    return richiesta ? errore(id, kNonInizializzato, "initialize comes first") : nullptr;
  if (metodo == "shutdown") {
    spento_ = true;
    return risposta(id, nullptr);
  }

  // The documents.
  auto documento = [&]() -> std::optional<fs::path> {
    return percorso_da_uri(params.at("textDocument").at("uri").get<std::string>());
  };
  if (metodo == "textDocument/didOpen" || metodo == "textDocument/didChange") {
    const std::optional<fs::path> p = documento();
    if (!p) return nullptr;
    std::string testo;
    if (metodo == "textDocument/didOpen") {
      testo = params["textDocument"].at("text").get<std::string>();
    } else {
      const Json& cambi = params.at("contentChanges");
      if (!cambi.is_array() || cambi.empty()) return nullptr;
      testo = cambi.back().at("text").get<std::string>();
    }
    documenti_[*p].testo = std::move(testo);
    if (std::optional<Coppia> c = coppia_di(*p))
      in_attesa_[*c] = metodo == "textDocument/didOpen" ? adesso : adesso + ritardo_;
    return nullptr;
  }
  if (metodo == "textDocument/didSave") {
    const std::optional<fs::path> p = documento();
    if (p)
      if (std::optional<Coppia> c = coppia_di(*p)) in_attesa_[*c] = adesso;
    return nullptr;
  }
  if (metodo == "textDocument/didClose") {
    if (const std::optional<fs::path> p = documento()) chiusa(*p, adesso, uscita);
    return nullptr;
  }
  if (metodo == "textDocument/hover") return risposta(id, hover(params));
  if (metodo == "textDocument/completion") return risposta(id, completamento(params));
  if (metodo == "textDocument/signatureHelp") return risposta(id, firma(params));
  if (metodo == "textDocument/documentSymbol") return risposta(id, simboli(params));
  if (!richiesta) return nullptr;  // notifications this server does not take
  return errore(id, kMetodoIgnoto, "no method '" + metodo + "'");
}

void LanguageServer::chiusa(const fs::path& p, Orologio::time_point adesso,
                            std::vector<Json>& uscita) {
  documenti_.erase(p);
  auto togli_diagnostica = [&](const fs::path& f) {
    if (con_diagnostica_.erase(f))
      uscita.push_back(notifica("textDocument/publishDiagnostics",
                                {{"uri", uri_da_percorso(f)}, {"diagnostics", Json::array()}}));
  };
  togli_diagnostica(p);
  const std::optional<Coppia> c = coppia_di(p);
  if (!c) return;
  if (documenti_.count(c->linea) || documenti_.count(c->treno)) {
    // Its partner, open, now reads it from the disk.
    in_attesa_[*c] = adesso;
    return;
  }
  // Neither is open: nothing of the pair is kept.
  togli_diagnostica(c->linea);
  togli_diagnostica(c->treno);
  in_attesa_.erase(*c);
  compilati_.erase(*c);
}

bool LanguageServer::e_linea(const fs::path& p) const {
  if (coppia_fissa_) {
    if (p == coppia_fissa_->linea) return true;
    if (p == coppia_fissa_->treno) return false;
  }
  const std::string nome = platform::path_to_utf8(p.filename());
  return nome.ends_with("_linea.txt");
}

std::optional<LanguageServer::Coppia> LanguageServer::coppia_di(const fs::path& p) const {
  if (coppia_fissa_ && (p == coppia_fissa_->linea || p == coppia_fissa_->treno)) return coppia_fissa_;
  const std::string nome = platform::path_to_utf8(p.filename());
  const fs::path cartella = p.parent_path();
  if (nome.ends_with("_linea.txt")) {
    const std::string scenario = nome.substr(0, nome.size() - std::string_view("_linea.txt").size());
    // The partner: NAME_NUMBER-.txt, open or on disk, the first in order.
    auto e_treno = [&](const std::string& n) {
      return n.size() > scenario.size() + 6 && n.starts_with(scenario + "_") && n.ends_with("-.txt") &&
             n.find('_', scenario.size() + 1) == std::string::npos;
    };
    std::set<std::string> candidati;
    for (const auto& [q, d] : documenti_)
      if (q.parent_path() == cartella && e_treno(platform::path_to_utf8(q.filename())))
        candidati.insert(platform::path_to_utf8(q.filename()));
    std::error_code ec;
    for (fs::directory_iterator it(cartella, ec), fine; !ec && it != fine; it.increment(ec))
      if (e_treno(platform::path_to_utf8(it->path().filename())))
        candidati.insert(platform::path_to_utf8(it->path().filename()));
    if (candidati.empty()) return std::nullopt;
    return Coppia{p, cartella / platform::path_from_utf8(*candidati.begin())};
  }
  if (nome.ends_with("-.txt")) {
    const std::size_t sotto = nome.rfind('_');
    if (sotto == std::string::npos || sotto == 0) return std::nullopt;
    return Coppia{cartella / platform::path_from_utf8(nome.substr(0, sotto) + "_linea.txt"), p};
  }
  return std::nullopt;
}

LanguageServer::FileLetto LanguageServer::testo_di(const fs::path& p) const {
  const auto d = documenti_.find(p);
  if (d == documenti_.end()) return leggi_file_(p, e_linea(p));
  // The descriptions are Windows-1252 text: the editor's Unicode goes
  // into it as the file would hold it.
  if (std::optional<std::string> byte = encode_windows1252(d->second.testo)) return {byte, {}};
  return {d->second.testo, {}};
}

std::vector<std::string> LanguageServer::righe_di(const fs::path& p) const {
  const auto d = documenti_.find(p);
  if (d != documenti_.end()) return righe(d->second.testo);
  const FileLetto f = leggi_file_(p, e_linea(p));
  return righe(f.byte ? decode_windows1252(*f.byte) : std::string());
}

std::optional<LanguageServer::Orologio::time_point> LanguageServer::scadenza() const {
  std::optional<Orologio::time_point> prima;
  for (const auto& [c, t] : in_attesa_)
    if (!prima || t < *prima) prima = t;
  return prima;
}

std::vector<Json> LanguageServer::compila_dovuti(Orologio::time_point adesso) {
  std::vector<Json> uscita;
  for (auto it = in_attesa_.begin(); it != in_attesa_.end();) {
    if (it->second > adesso) {
      ++it;
      continue;
    }
    const Coppia c = it->first;
    it = in_attesa_.erase(it);
    try {
      std::vector<Json> d = compila(c);
      uscita.insert(uscita.end(), d.begin(), d.end());
    } catch (const std::exception& e) {
      // No memory for this pair's compile: said, and the others go on.
      compilati_.erase(c);
      uscita.push_back(messaggio_log("the compile of '" + platform::path_to_utf8(c.linea) + "' with '" +
                                     platform::path_to_utf8(c.treno) + "' failed: " + e.what()));
    }
  }
  return uscita;
}

std::vector<Json> LanguageServer::compila(const Coppia& c) {
  const FileLetto linea_letta = testo_di(c.linea), treno_letto = testo_di(c.treno);
  const std::optional<std::string>& linea = linea_letta.byte;
  const std::optional<std::string>& treno = treno_letto.byte;
  std::map<fs::path, Json> diagnostiche = {{c.linea, Json::array()}, {c.treno, Json::array()}};
  const std::vector<std::string> righe_linea = righe_di(c.linea), righe_treno = righe_di(c.treno);
  // The reader's messages quote the descriptions' Windows-1252 bytes.
  auto aggiungi = [&](const fs::path& file, int riga, int gravita, std::optional<int> codice,
                      const std::string& testo, bool utf8 = false) {
    const fs::path dove = file == c.treno ? c.treno : c.linea;
    const std::vector<std::string>& r = dove == c.treno ? righe_treno : righe_linea;
    const int n = std::clamp(riga - 1, 0, std::max(0, static_cast<int>(r.size()) - 1));
    Json d = {{"range", intervallo(n, r.empty() ? std::string_view() : std::string_view(r[static_cast<size_t>(n)]))},
              {"severity", gravita},
              {"source", "tratta_valle3"},
              {"message", utf8 ? testo : decode_windows1252(testo)}};
    if (codice) d["code"] = *codice;
    diagnostiche[dove].push_back(std::move(d));
  };

  // A character of the editor's text that Windows-1252 lacks: the file
  // could not hold it; said at its line, as compile --encoding utf-8 does.
  bool non_convertibile = false;
  for (const fs::path& p : {c.linea, c.treno}) {
    const auto d = documenti_.find(p);
    if (d == documenti_.end()) continue;
    if (const auto dove = first_unencodable(d->second.testo)) {
      const std::string& t = d->second.testo;
      const int riga =
          1 + static_cast<int>(std::count(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(dove->first), '\n'));
      aggiungi(p, riga, kGravitaErrore, std::nullopt,
               "'" + t.substr(dove->first, dove->second) +
                   "' has no Windows-1252 form: the description cannot hold it",
               true);
      non_convertibile = true;
    }
  }

  Compilato& fatto = compilati_[c];
  fatto = Compilato{};
  if (non_convertibile) {
    // Nothing compiled until the text can be saved as a description.
  } else if (!linea) {
    aggiungi(c.treno, 1, kGravitaErrore, std::nullopt,
             linea_letta.guasto.empty()
                 ? "its line description '" + platform::path_to_utf8(c.linea) + "' is not there"
                 : linea_letta.guasto,
             true);
  } else if (!treno) {
    aggiungi(c.linea, 1, kGravitaErrore, std::nullopt,
             treno_letto.guasto.empty()
                 ? "its train description '" + platform::path_to_utf8(c.treno) + "' is not there"
                 : treno_letto.guasto,
             true);
  } else {
    fatto.modello.nomi = nomi_predefiniti();
    MemoryDescriptions descrizioni(c.linea, *linea, c.treno, *treno);
    EsitoCompilazione esito;
    memorizza_percorso(fatto.modello, 1, descrizioni, esito);
    fatto.valido = true;
    const Diagnosi& d = esito.diagnosi;
    if (d.codice_errore != 0) {
      // The diagnostic's text as compile tells it, its mend included.
      EsitoComando e;
      riporta_diagnosi(d, e);
      // The finishing pass names a position and no record: the line
      // description's first line stands for the route.
      aggiungi(d.file.empty() ? c.linea : d.file, d.file.empty() ? 1 : d.riga, kGravitaErrore,
               d.codice_errore, testo_diagnosi(e));
    }
    if (esito.errore_fatale != 0) {
      EsitoComando e;
      e.fatale = esito.errore_fatale;
      aggiungi(c.linea, 1, kGravitaErrore, esito.errore_fatale,
               "Errore n. " + std::to_string(esito.errore_fatale) +
                   ": a stamp field of segment 1 is already taken; no file would be written. " +
                   rimedio(e).value_or(""));
    }
    for (const Avvertenza& a : esito.avvertenze)
      aggiungi(a.file, a.riga, kGravitaAvvertenza, std::nullopt, a.messaggio);
  }
  std::vector<Json> uscita;
  for (auto& [file, lista] : diagnostiche) {
    if (lista.empty() && !con_diagnostica_.count(file) && !documenti_.count(file)) continue;
    if (lista.empty()) {
      con_diagnostica_.erase(file);
    } else {
      con_diagnostica_.insert(file);
    }
    uscita.push_back(notifica("textDocument/publishDiagnostics",
                              {{"uri", uri_da_percorso(file)}, {"diagnostics", std::move(lista)}}));
  }
  return uscita;
}

std::optional<LanguageServer::Punto> LanguageServer::punto(const Json& params) const {
  const std::optional<fs::path> p =
      percorso_da_uri(params.at("textDocument").at("uri").get<std::string>());
  if (!p) return std::nullopt;
  const std::vector<std::string> r = righe_di(*p);
  const int n = params.at("position").at("line").get<int>();
  if (n < 0 || n >= static_cast<int>(r.size())) return std::nullopt;
  Punto out{*p, r[static_cast<size_t>(n)], n, nullptr};
  out.record = record_della_riga(out.riga, e_linea(*p) ? record_linea() : record_di(Parte::kTreno));
  return out;
}

Json LanguageServer::hover(const Json& params) const {
  const std::optional<Punto> punto_ = punto(params);
  if (!punto_ || !punto_->record) return nullptr;
  const fs::path* p = &punto_->percorso;
  const std::string& riga = punto_->riga;
  const int n = punto_->n;
  const DefinizioneRecord* rec = punto_->record;

  std::string testo = "**" + std::string(rec->nome) + "**: " + std::string(rec->frase) + "\n\n" +
                      descrizione_campi(*rec) + "\nPlaces: " + std::string(rec->dove) + ".";
  // Where it lands: the segment its position gives.
  const std::vector<std::string_view> f = campi(riga);
  const bool primo_posizione =
      !rec->campi.empty() && (rec->campi[0].nome == "posizione" || rec->campi[0].nome == "inizio");
  const std::optional<int64_t> scritto = f.size() > 1 && primo_posizione ? numero(f[1]) : std::nullopt;
  const bool posato = (rec->posa == Posa::kEvento || rec->posa == Posa::kTratto) &&
                      rec->tipo != TipoRecord::kStazione;
  const int64_t metri = scritto.value_or(0);
  if (scritto && posato && (metri < 0 || metri > kMetriPercorso)) {
    testo += "\n\nWritten at " + std::to_string(metri) + " m: outside the route (0 to " +
             std::to_string(kMetriPercorso) + " m), it lands on no segment.";
  } else if (scritto && posato) {
    const bool piu_uno = rec->posa == Posa::kEvento && rec->tipo != TipoRecord::kAbbattimento;
    const double s = round_half_even(static_cast<double>(metri) / 50.0 + (piu_uno ? 1.0 : 0.0));
    const int64_t segmento = static_cast<int64_t>(s);
    testo += "\n\nWritten at " + std::to_string(metri) + " m, it lands on segment " +
             std::to_string(segmento) + ", from " + std::to_string(segmento * 50) + " m to " +
             std::to_string(segmento * 50 + 50) + " m: round(" + std::to_string(metri) + " / 50" +
             (piu_uno ? " + 1" : "") + ").";
    if (std::optional<Coppia> c = coppia_di(*p)) {
      const auto fatto = compilati_.find(*c);
      if (fatto != compilati_.end() && fatto->second.valido && segmento >= 0 &&
          segmento <= fatto->second.modello.ultimo_segmento &&
          static_cast<size_t>(segmento) < fatto->second.modello.segmenti.size()) {
        const Segmento& seg = fatto->second.modello.segmenti[static_cast<size_t>(segmento)];
        testo += "\n\nIn the route file, record " + std::to_string(segmento) + ":";
        for_each_field(kCampiSegmento, [&](const auto& f) {
          testo += " " + std::string(f.name) + " " + std::to_string(+(seg.*f.member)) + ";";
        });
      }
    }
  }
  return {{"contents", {{"kind", "markdown"}, {"value", testo}}},
          {"range", intervallo(n, riga)}};
}

Json LanguageServer::completamento(const Json& params) const {
  const std::optional<fs::path> p = percorso_da_uri(params.at("textDocument").at("uri").get<std::string>());
  if (!p) return Json::array();
  const std::vector<std::string> r = righe_di(*p);
  const int n = params.at("position").at("line").get<int>();
  const int carattere = params.at("position").at("character").get<int>();
  if (n >= 0 && n < static_cast<int>(r.size())) {
    const std::string& riga = r[static_cast<size_t>(n)];
    // Keywords only at the start of a line, before its first comma.
    if (riga.substr(0, byte_a(riga, carattere)).find(',') != std::string::npos) return Json::array();
  }
  Json voci = Json::array();
  for (const DefinizioneRecord& rec : e_linea(*p) ? record_linea() : record_di(Parte::kTreno)) {
    std::string snippet(rec.nome);
    int k = 1;
    for (const CampoRecord& c : rec.campi) snippet += ", ${" + std::to_string(k++) + ":" + std::string(c.nome) + "}";
    voci.push_back({{"label", std::string(rec.nome)},
                    {"kind", kCompletamentoParolaChiave},
                    {"detail", firma_record(rec)},
                    {"documentation", {{"kind", "markdown"}, {"value", std::string(rec.frase)}}},
                    {"insertTextFormat", kFormatoSnippet},
                    {"insertText", snippet}});
  }
  return voci;
}

Json LanguageServer::firma(const Json& params) const {
  const std::optional<Punto> punto_ = punto(params);
  if (!punto_ || !punto_->record || punto_->record->campi.empty()) return nullptr;
  const std::string& riga = punto_->riga;
  const DefinizioneRecord* rec = punto_->record;
  const std::string prima = riga.substr(0, byte_a(riga, params.at("position").at("character").get<int>()));
  const int virgole = static_cast<int>(std::count(prima.begin(), prima.end(), ','));
  if (virgole == 0) return nullptr;
  Json parametri = Json::array();
  for (const CampoRecord& c : rec->campi) {
    std::string doc(c.significato);
    if (!c.unita.empty()) doc = std::string(c.unita) + "; " + doc;
    parametri.push_back({{"label", std::string(c.nome)}, {"documentation", doc}});
  }
  return {{"signatures", {{{"label", firma_record(*rec)}, {"parameters", parametri}}}},
          {"activeSignature", 0},
          {"activeParameter", std::min(virgole - 1, static_cast<int>(rec->campi.size()) - 1)}};
}

Json LanguageServer::simboli(const Json& params) const {
  const std::optional<fs::path> p = percorso_da_uri(params.at("textDocument").at("uri").get<std::string>());
  Json out = Json::array();
  if (!p) return out;
  const std::vector<std::string> r = righe_di(*p);
  const auto records = e_linea(*p) ? record_linea() : record_di(Parte::kTreno);
  for (size_t i = 0; i < r.size(); ++i) {
    const std::string& riga = r[i];
    const std::string_view inizio = spoglia(riga);
    std::string nome;
    int tipo = 0;
    if (inizio.starts_with("[") && inizio.size() > 2) {
      nome = std::string(inizio);
      tipo = kSimboloNamespace;
    } else if (const DefinizioneRecord* rec = record_della_riga(riga, records)) {
      const std::vector<std::string_view> f = campi(riga);
      const std::string dove = f.size() > 1 ? " at " + std::string(f[1]) + " m" : "";
      switch (rec->tipo) {
        case TipoRecord::kStazione:
          nome = f.size() > 17 ? std::string(f.back()) + dove : "stazione" + dove;
          tipo = kSimboloEvento;
          break;
        case TipoRecord::kSegnale: nome = "segnale" + dove; tipo = kSimboloCostante; break;
        case TipoRecord::kCartelloIndicatore:
          nome = (f.size() > 2 ? std::string(f[2]) : std::string("cartello")) + dove;
          tipo = kSimboloStringa;
          break;
        case TipoRecord::kRallentamento: nome = "rallentamento" + dove; tipo = kSimboloNumero; break;
        default: break;
      }
    }
    if (tipo == 0) continue;
    const Json dove = intervallo(static_cast<int>(i), riga);
    out.push_back({{"name", nome}, {"kind", tipo}, {"range", dove}, {"selectionRange", dove}});
  }
  return out;
}

}  // namespace tratta
