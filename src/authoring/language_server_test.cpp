#include "authoring/language_server.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "testing/descriptions.h"
#include "testing/scratch_dir.h"

namespace tratta {

namespace {

using Json = LanguageServer::Json;
using testing::linea;
using testing::treno;

/// A server over a folder of its own, the editor's side of the talk.
struct Sessione {
  testing::ScratchDir dir;
  LanguageServer server{std::chrono::milliseconds(0)};
  int prossimo_id = 1;
  std::vector<Json> ricevuti;

  std::string uri(const std::string& nome) const { return uri_da_percorso(dir / nome); }

  /// Sends one message; keeps and gives back what came back, compiles
  /// that came due included.
  std::vector<Json> invia(const Json& m) {
    std::vector<Json> r = server.ricevi(m.dump());
    std::vector<Json> c = server.compila_dovuti(LanguageServer::Orologio::now() + std::chrono::hours(1));
    r.insert(r.end(), c.begin(), c.end());
    ricevuti.insert(ricevuti.end(), r.begin(), r.end());
    return r;
  }
  Json richiesta(const std::string& metodo, Json params) {
    const int id = prossimo_id++;
    for (const Json& r : invia({{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", params}}))
      if (r.contains("id") && r["id"] == id) return r;
    return nullptr;
  }
  std::vector<Json> notifica(const std::string& metodo, Json params) {
    return invia({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", params}});
  }
  void inizia() { richiesta("initialize", {{"capabilities", Json::object()}}); }
  std::vector<Json> apri(const std::string& nome, const std::string& testo) {
    return notifica("textDocument/didOpen",
                    {{"textDocument",
                      {{"uri", uri(nome)}, {"languageId", "tratta"}, {"version", 1}, {"text", testo}}}});
  }
  std::vector<Json> cambia(const std::string& nome, const std::string& testo) {
    return notifica("textDocument/didChange", {{"textDocument", {{"uri", uri(nome)}, {"version", 2}}},
                                               {"contentChanges", {{{"text", testo}}}}});
  }
};

/// The diagnostics of `uri` among `messaggi`: the last list published.
std::optional<Json> diagnostiche(const std::vector<Json>& messaggi, const std::string& uri) {
  std::optional<Json> out;
  for (const Json& m : messaggi)
    if (m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri)
      out = m["params"]["diagnostics"];
  return out;
}

const std::string kLinea = linea("pendeza, 500, 3\r\n");
const std::string kTreno = treno("velocita, 0, 100\r\nsegnale, 1000, 2,4,0,0, 0, 2,2,0,0, 0\r\n"
                                 "abbattimento codice, 1050, 270\r\n");

}  // namespace

// The protocol as a table: what each message gives back, in order.
TEST(LanguageServer, ProtocolTable) {
  struct Caso {
    const char* caso;
    std::string messaggio;  // as bytes, so that broken ones can be sent
    int errore;             // the error code of the response; 0 for a result, -1 for nothing
  } casi[] = {
      {"a request before initialize", R"({"jsonrpc":"2.0","id":1,"method":"textDocument/hover","params":{}})", -32002},
      {"a notification before initialize", R"({"jsonrpc":"2.0","method":"initialized","params":{}})", -1},
      {"initialize", R"({"jsonrpc":"2.0","id":2,"method":"initialize","params":{"capabilities":{}}})", 0},
      {"not JSON", "{\"jsonrpc\": ", -32700},
      {"not an object", "[1, 2]", -32600},
      {"an unknown request", R"({"jsonrpc":"2.0","id":3,"method":"workspace/nothing"})", -32601},
      {"an unknown notification", R"({"jsonrpc":"2.0","method":"$/cancelRequest","params":{"id":3}})", -1},
      {"parameters of the wrong shape", R"({"jsonrpc":"2.0","id":4,"method":"textDocument/hover","params":{"textDocument":7}})", -32602},
      {"the editor's response", R"({"jsonrpc":"2.0","id":99,"result":null})", -1},
      {"shutdown", R"({"jsonrpc":"2.0","id":5,"method":"shutdown"})", 0},
      {"a request after shutdown", R"({"jsonrpc":"2.0","id":6,"method":"textDocument/hover","params":{}})", -32600},
  };
  LanguageServer server;
  for (const Caso& c : casi) {
    const std::vector<Json> r = server.ricevi(c.messaggio);
    if (c.errore == -1) {
      EXPECT_TRUE(r.empty()) << c.caso;
      continue;
    }
    ASSERT_EQ(r.size(), 1u) << c.caso;
    if (c.errore == 0) {
      EXPECT_TRUE(r[0].contains("result")) << c.caso << ": " << r[0].dump();
    } else {
      EXPECT_EQ(r[0]["error"]["code"], c.errore) << c.caso << ": " << r[0].dump();
    }
  }
  EXPECT_FALSE(server.finito());
  EXPECT_TRUE(server.ricevi(R"({"jsonrpc":"2.0","method":"exit"})").empty());
  EXPECT_TRUE(server.finito());
  EXPECT_EQ(server.stato_uscita(), 0);

  LanguageServer senza_shutdown;
  (void)senza_shutdown.ricevi(R"({"jsonrpc":"2.0","method":"exit"})");
  EXPECT_EQ(senza_shutdown.stato_uscita(), 1);
}

// Both descriptions of a pair get their own diagnostics at their lines:
// the warning of the mistyped keyword on the line description, the code of
// the abatement on the signal's segment on the train description; mended,
// they clear.
TEST(LanguageServer, DiagnosticsAtTheirLinesAndClearedWhenMended) {
  Sessione s;
  s.inizia();
  testing::write_bytes(s.dir / "P_1-.txt", kTreno);
  s.apri("P_linea.txt", kLinea);
  std::optional<Json> l = diagnostiche(s.ricevuti, s.uri("P_linea.txt"));
  std::optional<Json> t = diagnostiche(s.ricevuti, s.uri("P_1-.txt"));
  ASSERT_TRUE(l && t);
  ASSERT_EQ(l->size(), 1u) << l->dump();
  EXPECT_EQ((*l)[0]["severity"], 2);
  EXPECT_EQ((*l)[0]["range"]["start"]["line"], 7);
  EXPECT_NE((*l)[0]["message"].get<std::string>().find("did you mean \"pendenza\""), std::string::npos);
  ASSERT_EQ(t->size(), 1u) << t->dump();
  EXPECT_EQ((*t)[0]["severity"], 1);
  EXPECT_EQ((*t)[0]["code"], 7);
  EXPECT_EQ((*t)[0]["range"]["start"]["line"], 4);
  // As compile tells it: what took the segment, and how to mend it.
  EXPECT_EQ((*t)[0]["message"],
            "code 7: code abatement on a segment that is not free (at 1050 m): the segment of "
            "1050 m is taken by the signal written at line 4 (1000 m). Move the abatement 50 m off "
            "the mark that took its segment (a signal's or a sign's).");

  // The train description opened and mended in the editor, never saved.
  s.apri("P_1-.txt", kTreno);
  std::string mended = kTreno;
  mended.replace(mended.find("1050"), 4, "1100");
  s.cambia("P_1-.txt", mended);
  t = diagnostiche(s.ricevuti, s.uri("P_1-.txt"));
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->empty()) << t->dump();
  s.cambia("P_linea.txt", linea("pendenza, 500, 3\r\n"));
  l = diagnostiche(s.ricevuti, s.uri("P_linea.txt"));
  ASSERT_TRUE(l);
  EXPECT_TRUE(l->empty()) << l->dump();
  EXPECT_EQ(testing::read_bytes(s.dir / "P_1-.txt"), kTreno);

  // A value outside its field's range is a Warning at its line.
  std::string fuori = mended;
  fuori.replace(fuori.find("segnale, 1000, 2"), 16, "segnale, 1000, 5");
  s.cambia("P_1-.txt", fuori);
  t = diagnostiche(s.ricevuti, s.uri("P_1-.txt"));
  ASSERT_TRUE(t && t->size() == 1u) << (t ? t->dump() : "");
  EXPECT_EQ((*t)[0]["severity"], 2);
  EXPECT_EQ((*t)[0]["range"]["start"]["line"], 3);
  EXPECT_NE((*t)[0]["message"].get<std::string>().find(
                "the \"segnale\" field 'sx' is 5, outside 0 to 2: stored in the side value"),
            std::string::npos)
      << t->dump();

  // The editor's Unicode goes into Windows-1252: "À" does, "Ω" cannot.
  s.cambia("P_1-.txt", treno("stazione, 4500, 2, 600, 0,1,0, 1,1,0, 4,1,1, 0, 0,0,0, CITT\xC3\x80\r\n"));
  t = diagnostiche(s.ricevuti, s.uri("P_1-.txt"));
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->empty()) << t->dump();
  s.cambia("P_1-.txt", treno("sabbia, 3\r\nstazione, 4500, 2, 600, 0,1,0, 1,1,0, 4,1,1, 0, 0,0,0, \xCE\xA9\r\n"));
  t = diagnostiche(s.ricevuti, s.uri("P_1-.txt"));
  ASSERT_TRUE(t && t->size() == 1u) << (t ? t->dump() : "");
  EXPECT_EQ((*t)[0]["range"]["start"]["line"], 3);
  EXPECT_EQ((*t)[0]["message"], "'\xCE\xA9' has no Windows-1252 form: the description cannot hold it");
}

// A change waits for the pause in typing; a burst of changes is one compile.
TEST(LanguageServer, ChangesAreCompiledOnceTheTypingPauses) {
  testing::ScratchDir dir;
  testing::write_bytes(dir / "P_1-.txt", kTreno);
  LanguageServer server(std::chrono::milliseconds(100));
  const auto t0 = LanguageServer::Orologio::now();
  (void)server.ricevi(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})", t0);
  const std::string uri = uri_da_percorso(dir / "P_linea.txt");
  for (int i = 0; i < 5; ++i) {
    Json m = {{"jsonrpc", "2.0"},
              {"method", "textDocument/didChange"},
              {"params", {{"textDocument", {{"uri", uri}}}, {"contentChanges", {{{"text", kLinea}}}}}}};
    (void)server.ricevi(m.dump(), t0 + std::chrono::milliseconds(20 * i));
  }
  EXPECT_TRUE(server.compila_dovuti(t0 + std::chrono::milliseconds(150)).empty());
  ASSERT_TRUE(server.scadenza());
  EXPECT_EQ(*server.scadenza(), t0 + std::chrono::milliseconds(180));
  EXPECT_EQ(server.compila_dovuti(t0 + std::chrono::milliseconds(180)).size(), 2u);
  EXPECT_FALSE(server.scadenza());
}

// Hover tells what a record is and where it lands; completion offers the
// records of the description with their fields; the outline lists the
// sections, stations, signals, signs and slowdowns.
TEST(LanguageServer, HoverCompletionSignatureAndOutline) {
  Sessione s;
  s.inizia();
  testing::write_bytes(s.dir / "P_linea.txt", linea(""));
  s.apri("P_1-.txt", kTreno);
  const std::string t = s.uri("P_1-.txt");

  Json h = s.richiesta("textDocument/hover", {{"textDocument", {{"uri", t}}}, {"position", {{"line", 3}, {"character", 2}}}});
  const std::string hover = h["result"]["contents"]["value"];
  EXPECT_NE(hover.find("**segnale**"), std::string::npos) << hover;
  EXPECT_NE(hover.find("Written at 1000 m, it lands on segment 21, from 1050 m to 1100 m"),
            std::string::npos)
      << hover;
  EXPECT_NE(hover.find("In the route file, record 21: tipo "), std::string::npos) << hover;

  Json c = s.richiesta("textDocument/completion", {{"textDocument", {{"uri", t}}}, {"position", {{"line", 6}, {"character", 0}}}});
  std::vector<std::string> etichette;
  for (const Json& v : c["result"]) etichette.push_back(v["label"]);
  EXPECT_NE(std::find(etichette.begin(), etichette.end(), "stazione"), etichette.end());
  EXPECT_EQ(std::find(etichette.begin(), etichette.end(), "pendenza"), etichette.end());
  for (const Json& v : c["result"]) {
    if (v["label"] == "velocita") {
      EXPECT_EQ(v["insertText"], "velocita, ${1:posizione}, ${2:velocita}");
    }
  }

  Json f = s.richiesta("textDocument/signatureHelp", {{"textDocument", {{"uri", t}}}, {"position", {{"line", 3}, {"character", 16}}}});
  EXPECT_EQ(f["result"]["activeParameter"], 1) << f.dump();
  EXPECT_EQ(f["result"]["signatures"][0]["parameters"][1]["label"], "sx");

  Json o = s.richiesta("textDocument/documentSymbol", {{"textDocument", {{"uri", t}}}});
  std::vector<std::string> nomi;
  for (const Json& v : o["result"]) nomi.push_back(v["name"]);
  EXPECT_EQ(nomi, (std::vector<std::string>{"[generale]", "segnale at 1000 m", "[fine]"}));
}

// What an editor, or something posing as one, may send: each case gets its
// answer and the server goes on to answer the next request.
TEST(LanguageServer, SurvivesWhatTheEditorSends) {
  struct Caso {
    const char* caso;
    std::string messaggio;
    int errore;  // the error code of the response; 0 for a result, -1 for no response
  } casi[] = {
      {"a pair of empty names", R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"initializationOptions":{"line":"","train":"x"}}})", 0},
      {"a pair of one file", R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"initializationOptions":{"line":"a","train":"a"}}})", 0},
      {"an id that is an object", R"({"jsonrpc":"2.0","id":{"a":[1]},"method":"shutdown"})", -32600},
      {"an id nested deep", R"({"jsonrpc":"2.0","id":)" + std::string(100000, '[') +
                                std::string(100000, ']') + R"(,"method":"shutdown"})", -32600},
      {"a position that is no number", R"({"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///x/P_1-.txt"},"position":{"line":"a"}}})", -32602},
      {"a line past any int", R"({"jsonrpc":"2.0","id":3,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///x/P_1-.txt"},"position":{"line":99999999999,"character":-7}}})", 0},
      {"a URI of another scheme", R"({"jsonrpc":"2.0","id":4,"method":"textDocument/documentSymbol","params":{"textDocument":{"uri":"http://x/"}}})", 0},
  };
  for (const Caso& c : casi) {
    LanguageServer server(std::chrono::milliseconds(0));
    if (std::string(c.caso).find("pair") == std::string::npos)
      (void)server.ricevi(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})");
    const std::vector<Json> r = server.ricevi(c.messaggio);
    const auto risposta = std::find_if(r.begin(), r.end(), [](const Json& j) { return j.contains("id"); });
    if (c.errore == -1) {
      EXPECT_EQ(risposta, r.end()) << c.caso;
    } else if (c.errore == 0) {
      ASSERT_NE(risposta, r.end()) << c.caso;
      EXPECT_TRUE(risposta->contains("result")) << c.caso << ": " << risposta->dump();
    } else {
      ASSERT_NE(risposta, r.end()) << c.caso;
      EXPECT_EQ((*risposta)["error"]["code"], c.errore) << c.caso << ": " << risposta->dump();
    }
    // And it goes on.
    const std::vector<Json> dopo = server.ricevi(R"({"jsonrpc":"2.0","id":9,"method":"shutdown"})");
    ASSERT_EQ(dopo.size(), 1u) << c.caso;
    EXPECT_TRUE(dopo[0].contains("result")) << c.caso << ": " << dopo[0].dump();
  }
}

// A partner description that is no file to read (a FIFO with no writer, a
// device, one larger than the bound) is refused at once, with a diagnostic
// that says why; the server keeps answering.
TEST(LanguageServer, PartnersThatAreNoFileAreRefusedWithoutWaiting) {
#ifndef _WIN32
  struct Caso {
    const char* caso;
    std::function<void(const std::filesystem::path&)> prepara;
    const char* parola;  // in the diagnostic
  } casi[] = {
      {"a FIFO with no writer", [](const std::filesystem::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
       "is not a regular file"},
      {"a link to /dev/zero", [](const std::filesystem::path& p) { std::filesystem::create_symlink("/dev/zero", p); },
       "is not a regular file"},
      {"larger than 64 MiB", [](const std::filesystem::path& p) {
         testing::write_bytes(p, "");
         std::filesystem::resize_file(p, (std::uintmax_t{64} << 20) + 1);
       }, "is larger than 64 MiB"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.caso);
    Sessione s;
    s.inizia();
    c.prepara(s.dir / "P_1-.txt");
    const auto t0 = std::chrono::steady_clock::now();
    s.apri("P_linea.txt", kLinea);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
    const std::optional<Json> l = diagnostiche(s.ricevuti, s.uri("P_linea.txt"));
    ASSERT_TRUE(l && l->size() == 1u) << (l ? l->dump() : "");
    const std::string messaggio = (*l)[0]["message"];
    EXPECT_NE(messaggio.find("the train description '" + (s.dir / "P_1-.txt").string() + "' " + c.parola),
              std::string::npos)
        << messaggio;
    // Hover on the partner's name reads it the same way: nothing, at once.
    const Json h = s.richiesta("textDocument/hover", {{"textDocument", {{"uri", s.uri("P_1-.txt")}}},
                                                       {"position", {{"line", 0}, {"character", 0}}}});
    EXPECT_TRUE(h.contains("result")) << h.dump();
  }
#endif
}

// A request that fails inside the server (here the disk's reading throws)
// gets the protocol's internal error; a notification's failure goes to the
// editor's log; the server answers what comes next.
TEST(LanguageServer, AFailingRequestEndsThatRequestOnly) {
  LanguageServer server(std::chrono::milliseconds(0), [](const std::filesystem::path&, bool) -> LanguageServer::FileLetto {
    throw std::runtime_error("the disk went away");
  });
  (void)server.ricevi(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
  std::vector<Json> r = server.ricevi(
      R"({"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///x/P_1-.txt"},"position":{"line":0,"character":0}}})");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0]["error"]["code"], -32603);
  EXPECT_NE(r[0]["error"]["message"].get<std::string>().find("the disk went away"), std::string::npos);
  r = server.ricevi(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///x/P_1-.txt","text":""}}})");
  r = server.compila_dovuti(LanguageServer::Orologio::now() + std::chrono::hours(1));
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0]["method"], "window/logMessage");
  r = server.ricevi(R"({"jsonrpc":"2.0","id":3,"method":"shutdown"})");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_TRUE(r[0].contains("result"));
}

// Pairs opened and closed leave nothing behind: an editor that goes
// through many scenarios in a day does not grow the server.
TEST(LanguageServer, ClosedPairsAreForgotten) {
  Sessione s;
  s.inizia();
  for (int i = 0; i < 20; ++i) {
    const std::string n = "S" + std::to_string(i);
    testing::write_bytes(s.dir / (n + "_1-.txt"), kTreno);
    s.apri(n + "_linea.txt", kLinea);
    s.apri(n + "_1-.txt", kTreno);
    EXPECT_GT(s.server.ricordati(), 0u);
    s.notifica("textDocument/didClose", {{"textDocument", {{"uri", s.uri(n + "_linea.txt")}}}});
    s.notifica("textDocument/didClose", {{"textDocument", {{"uri", s.uri(n + "_1-.txt")}}}});
    EXPECT_EQ(s.server.ricordati(), 0u) << n;
  }
  // The diagnostics of a closed pair were taken back, both documents.
  EXPECT_EQ(diagnostiche(s.ricevuti, s.uri("S0_linea.txt")), Json::array());
  EXPECT_EQ(diagnostiche(s.ricevuti, s.uri("S0_1-.txt")), Json::array());
}

// Hover on a position outside the route says so, whatever the number.
TEST(LanguageServer, HoverOutsideTheRouteSaysSo) {
  Sessione s;
  s.inizia();
  testing::write_bytes(s.dir / "P_linea.txt", linea(""));
  for (const char* metri : {"9223372036854775807", "-9223372036854775808", "-50", "1000001"}) {
    s.apri("P_1-.txt", treno("velocita, " + std::string(metri) + ", 95\r\n"));
    const Json h = s.richiesta("textDocument/hover", {{"textDocument", {{"uri", s.uri("P_1-.txt")}}},
                                                       {"position", {{"line", 2}, {"character", 2}}}});
    const std::string testo = h["result"]["contents"]["value"];
    EXPECT_NE(testo.find("Written at " + std::string(metri) + " m: outside the route (0 to 1000000 m)"),
              std::string::npos)
        << testo;
  }
}

}  // namespace tratta
