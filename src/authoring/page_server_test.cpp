// The page server as a browser and a hostile site meet it, over loopback:
// what it answers, what it refuses, the events a page gets, and its stop.
#include "authoring/page_server.h"

#include <gtest/gtest.h>

#include <httplib/httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef __linux__
#include <signal.h>
#include <unistd.h>
#endif

#include "authoring/commands.h"
#include "authoring/compile_command.h"
#include "authoring/pubblica_esito.h"
#include "testing/scratch_dir.h"
#include "testing/subcommand.h"

namespace tratta {

namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

constexpr char kPagina[] =
    "<!DOCTYPE html>\n<html><head></head><body data-ready=\"no\"><p>route one</p><script>\n"
    "\"use strict\";\nconst PLAN=null;\n</script></body></html>\n";

const auto ogni = [](const Json&) { return true; };
const auto fallito = [](const Json& j) {
  return j["outcome"].is_object() && j["outcome"].value("exit_status", 0) != 0;
};
auto pagina_n(int n) {
  return [n](const Json& j) { return j["page"] == n; };
}

/// A server started on any free port, stopped at the end.
struct Avviato {
  PageServer server;
  Avviato() { EXPECT_EQ(server.start({}), std::nullopt); }
  httplib::Client client() const {
    httplib::Client c("127.0.0.1", server.port());
    c.set_read_timeout(5, 0);
    return c;
  }
  std::string host() const { return "127.0.0.1:" + std::to_string(server.port()); }
};

/// An event stream read on a thread of its own, as a page reads it.
class Ascoltatore {
 public:
  explicit Ascoltatore(const PageServer& server) : client_("127.0.0.1", server.port()) {
    filo_ = std::thread([this] {
      client_.set_read_timeout(10, 0);
      auto r = client_.Get("/events", [this](const char* dati, size_t n) {
        std::lock_guard<std::mutex> lock(m_);
        testo_.append(dati, n);
        arrivato_.notify_all();
        return !basta_;
      });
      std::lock_guard<std::mutex> lock(m_);
      finito_ = true;
      arrivato_.notify_all();
    });
  }
  ~Ascoltatore() {
    {
      std::lock_guard<std::mutex> lock(m_);
      basta_ = true;
    }
    client_.stop();
    filo_.join();
  }
  /// The data of the latest state event once it satisfies `voluto`,
  /// waiting for it a while; null when none came. Events published close
  /// together may come as one, the latest state.
  template <typename Voluto>
  Json stato(Voluto voluto) {
    std::unique_lock<std::mutex> lock(m_);
    Json trovato;
    arrivato_.wait_for(lock, 5s, [&] {
      // The last event whole: "event: state\ndata: JSON\n\n".
      const std::string marca = "event: state\ndata: ";
      size_t da = testo_.rfind(marca);
      if (da != std::string::npos && testo_.find("\n\n", da) == std::string::npos)
        da = da == 0 ? std::string::npos : testo_.rfind(marca, da - 1);
      size_t fine;
      if (da != std::string::npos) {
        fine = testo_.find("\n\n", da);
        const Json j = Json::parse(testo_.substr(da + 19, fine - da - 19));
        if (voluto(j)) trovato = j;
      }
      return !trovato.is_null() || finito_;
    });
    if (trovato.is_null()) ADD_FAILURE() << "no such state; the stream:\n" << testo_;
    return trovato;
  }
  bool finito() {
    std::lock_guard<std::mutex> lock(m_);
    return finito_;
  }

 private:
  httplib::Client client_;
  std::thread filo_;
  std::mutex m_;
  std::condition_variable arrivato_;
  std::string testo_;
  bool basta_ = false, finito_ = false;
};

TEST(ServeAddress, TakesLoopbackOnlyAndRefusesTheRest) {
  struct Caso {
    const char* testo;
    std::optional<uint16_t> porta;  // nothing: refused
    const char* parola;             // in the refusal
  };
  const Caso casi[] = {
      {"0", 0, ""},
      {"8080", 8080, ""},
      {"127.0.0.1:8080", 8080, ""},
      {"localhost:65535", 65535, ""},
      {"0.0.0.0:8080", {}, "this computer only"},
      {"192.168.1.20:8080", {}, "this computer only"},
      {"[::]:8080", {}, "this computer only"},
      {"example.org:80", {}, "this computer only"},
      {"127.0.0.1:65536", {}, "65535"},
      {"", {}, "takes a port"},
      {"127.0.0.1:", {}, "takes a port"},
      {"-1", {}, "takes a port"},
      {"80x", {}, "takes a port"},
      {"1234567", {}, "takes a port"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.testo);
    const auto r = parse_serve_address(c.testo);
    if (c.porta) {
      ASSERT_TRUE(std::holds_alternative<ServeAddress>(r)) << std::get<std::string>(r);
      EXPECT_EQ(std::get<ServeAddress>(r).port, *c.porta);
    } else {
      ASSERT_TRUE(std::holds_alternative<std::string>(r));
      EXPECT_NE(std::get<std::string>(r).find(c.parola), std::string::npos) << std::get<std::string>(r);
    }
  }
}

TEST(PageServer, StartRefusesAnyHostButLoopbackAndATakenPort) {
  for (const char* host : {"0.0.0.0", "192.168.1.20", "::"}) {
    PageServer s;
    const auto errore = s.start({host, 0});
    ASSERT_TRUE(errore) << host;
    EXPECT_NE(errore->find("this computer only"), std::string::npos) << *errore;
    EXPECT_EQ(s.port(), 0);
  }
  Avviato primo;
  PageServer secondo;
  const auto errore = secondo.start({"localhost", primo.server.port()});
  ASSERT_TRUE(errore) << "two servers on one port";
  EXPECT_NE(errore->find("taken"), std::string::npos) << *errore;
  EXPECT_EQ(primo.server.address(), "http://" + primo.host() + "/");
}

TEST(PageServer, AnswersItsOwnHostOnlyAndOnlyThePageAndTheEvents) {
  Avviato a;
  httplib::Client c = a.client();
  const std::string porta = std::to_string(a.server.port());
  struct Caso {
    std::string path, host, origine;
    int stato;
  };
  const Caso casi[] = {
      {"/", a.host(), "", 200},
      {"/", "localhost:" + porta, "", 200},
      {"/?x=1", a.host(), "", 200},
      // A site whose name was pointed at 127.0.0.1, or another port.
      {"/", "evil.example:" + porta, "", 403},
      {"/", "evil.example", "", 403},
      {"/", "127.0.0.1", "", 403},
      {"/", "127.0.0.1:" + std::to_string(a.server.port() + 1), "", 403},
      {"/", "127.0.0.1:" + porta + ".evil.example", "", 403},
      {"/events", "evil.example:" + porta, "", 403},
      {"/events", a.host(), "http://evil.example", 403},
      {"/", a.host(), "http://localhost:" + porta, 200},
      // Nothing else, and no file.
      {"/etc/passwd", a.host(), "", 404},
      {"/../x", a.host(), "", 404},
      {"/%2e%2e/etc/passwd", a.host(), "", 404},
      {"/view_page.js", a.host(), "", 404},
      {"/index.html", a.host(), "", 404},
      {"//", a.host(), "", 404},
      {"/events/x", a.host(), "", 404},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.path + " Host: " + k.host + " Origin: " + k.origine);
    httplib::Headers h{{"Host", k.host}};
    if (!k.origine.empty()) h.emplace("Origin", k.origine);
    auto r = c.Get(k.path.c_str(), h);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, k.stato);
    if (k.stato != 200) {
      EXPECT_EQ(r->body.find("<html"), std::string::npos);
    }
  }
  auto post = c.Post("/", "x", "text/plain");
  ASSERT_TRUE(post);
  EXPECT_EQ(post->status, 404);
}

TEST(PageServer, APublishedPageReachesTheStreamAndTheAddress) {
  Avviato a;
  httplib::Client c = a.client();
  auto prima = c.Get("/");
  ASSERT_TRUE(prima);
  EXPECT_NE(prima->body.find("No route yet"), std::string::npos);
  EXPECT_NE(prima->body.find("data-live-page=\"0\""), std::string::npos);

  Ascoltatore pagina(a.server);
  EXPECT_EQ(pagina.stato(ogni), (Json{{"page", 0}, {"outcome", nullptr}, {"text", ""}}));

  // A compile that wrote its files, with a warning: page and warning in
  // one state.
  a.server.pubblica(kPagina, R"({"exit_status": 0, "warnings": [{"file": "T_30-.txt", "line": 84, "message": "x"}]})");
  Json stato = pagina.stato(pagina_n(1));
  EXPECT_EQ(stato["outcome"]["warnings"][0]["line"], 84);
  auto r = c.Get("/");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_EQ(r->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(r->get_header_value("Cache-Control"), "no-store");
  EXPECT_NE(r->body.find("<p>route one</p>"), std::string::npos);
  EXPECT_NE(r->body.find("data-live-page=\"1\""), std::string::npos);

  // A failure: told to the stream; the last good page stays at "/".
  a.server.pubblica(std::nullopt,
      R"({"file": "work/T_30-.txt", "line": 194, "message": "code abatement", "warnings": [], "exit_status": 3})");
  stato = pagina.stato(fallito);
  EXPECT_EQ(stato["page"], 1);
  EXPECT_EQ(stato["outcome"]["file"], "work/T_30-.txt");
  EXPECT_EQ(stato["outcome"]["line"], 194);
  r = c.Get("/");
  ASSERT_TRUE(r);
  EXPECT_NE(r->body.find("data-live-page=\"1\""), std::string::npos);

  // What is no JSON still reaches the page, as its message.
  a.server.pubblica(std::nullopt, "broken\n{");
  const auto rotto = [](const Json& j) {
    return j["outcome"].is_object() && j["outcome"].value("message", "") == "broken\n{";
  };
  EXPECT_EQ(pagina.stato(rotto)["outcome"]["exit_status"], 4);

  // A page that connects now learns the state at once.
  Ascoltatore dopo(a.server);
  EXPECT_EQ(dopo.stato(ogni)["outcome"]["message"], "broken\n{");
}

TEST(PageServer, StopsWhileAPageListens) {
  Avviato a;
  Ascoltatore pagina(a.server);
  ASSERT_FALSE(pagina.stato(ogni).is_null());
  const auto t0 = std::chrono::steady_clock::now();
  // From another thread, as a thread woken by a signal stops it.
  std::thread([&] { a.server.stop(); }).join();
  EXPECT_LT(std::chrono::steady_clock::now() - t0, 2s);
  for (int i = 0; i < 200 && !pagina.finito(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(pagina.finito()) << "the stream stays open after stop()";
  a.server.stop();  // again: nothing to do
}

/// A raw connection to the server, as a client that writes what it likes.
class Presa {
 public:
  explicit Presa(uint16_t porta) {
    sock_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(porta);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connessa_ = ::connect(sock_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~Presa() { httplib::detail::close_socket(sock_); }
  Presa(const Presa&) = delete;
  Presa& operator=(const Presa&) = delete;

  bool connessa() const { return connessa_; }
  bool manda(std::string_view byte) {
    return httplib::detail::send_socket(sock_, byte.data(), byte.size(), 0) ==
           static_cast<ssize_t>(byte.size());
  }
  /// What the server sent within `attesa`, up to the first `n` bytes; and
  /// whether it closed the connection.
  std::string ricevi(std::size_t n, std::chrono::milliseconds attesa, bool* chiusa = nullptr) {
    std::string out;
    const auto fine = std::chrono::steady_clock::now() + attesa;
    while (out.size() < n) {
      const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(fine - std::chrono::steady_clock::now());
      if (resto.count() <= 0 || httplib::detail::select_read(sock_, 0, resto.count() * 1000) <= 0) break;
      char b[4096];
      const ssize_t k = httplib::detail::read_socket(sock_, b, std::min(sizeof b, n - out.size()), 0);
      if (k <= 0) {
        if (chiusa) *chiusa = true;
        break;
      }
      out.append(b, static_cast<size_t>(k));
    }
    return out;
  }

 private:
  socket_t sock_ = INVALID_SOCKET;
  bool connessa_ = false;
};

// Whatever the other clients do, the page is answered: 200 pages that hold
// an event stream (64 follow it, the rest are refused with why) and 20
// clients that send their request one byte at a time (cut within a few
// seconds); then a stop ends all of it. (Both take milliseconds; the
// bounds leave room for the sanitizers' builds, where the page once went
// unanswered and the stop waited for the clients.)
TEST(PageServer, AnswersThePageWhateverTheOtherClientsDo) {
  Avviato a;
  const std::string host = "Host: " + a.host() + "\r\n";
  std::vector<std::unique_ptr<Presa>> flussi;
  int seguiti = 0, rifiutati = 0;
  for (int i = 0; i < 200; ++i) {
    flussi.push_back(std::make_unique<Presa>(a.server.port()));
    ASSERT_TRUE(flussi.back()->connessa());
    ASSERT_TRUE(flussi.back()->manda("GET /events HTTP/1.1\r\n" + host + "\r\n"));
    const std::string risposta = flussi.back()->ricevi(12, 2s);
    if (risposta == "HTTP/1.1 200") ++seguiti;
    if (risposta == "HTTP/1.1 503") ++rifiutati;
  }
  EXPECT_EQ(seguiti, 64);
  EXPECT_EQ(rifiutati, 136);

  std::vector<std::unique_ptr<Presa>> lenti;
  const std::string richiesta = "GET / HTTP/1.1\r\n" + host + "\r\n";
  for (int i = 0; i < 20; ++i) {
    lenti.push_back(std::make_unique<Presa>(a.server.port()));
    ASSERT_TRUE(lenti.back()->connessa());
  }
  std::atomic<bool> basta{false};
  std::thread goccia([&] {
    for (std::size_t k = 0; k < richiesta.size() && !basta; ++k) {
      for (auto& l : lenti) l->manda(richiesta.substr(k, 1));
      for (int i = 0; i < 10 && !basta; ++i) std::this_thread::sleep_for(50ms);
    }
  });
  std::this_thread::sleep_for(300ms);
  httplib::Client c = a.client();
  const auto t0 = std::chrono::steady_clock::now();
  auto r = c.Get("/");
  EXPECT_LT(std::chrono::steady_clock::now() - t0, 3s);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_NE(r->body.find("No route yet"), std::string::npos);

  // The slow ones are cut: their request never came whole in time.
  int tagliati = 0;
  for (auto& l : lenti) {
    bool chiusa = false;
    const std::string risposta = l->ricevi(1 << 16, 4s, &chiusa);
    if (chiusa && risposta.find("200 OK") == std::string::npos) ++tagliati;
  }
  EXPECT_EQ(tagliati, 20);
  basta = true;
  goccia.join();

  // A new slow client, the streams still open: a stop cuts them all.
  Presa ultimo(a.server.port());
  ultimo.manda("GET /");
  const auto t1 = std::chrono::steady_clock::now();
  a.server.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - t1, 3s);
}

#ifdef __linux__
// The interrupts are held in every thread of the server, so that only the
// main thread ever runs the interrupt path.
TEST(PageServer, HoldsTheInterruptsInEveryThread) {
  Avviato a;
  // A page that follows it, on a connection of the test's own thread: the
  // server then has its listener and a connection's thread.
  Presa pagina(a.server.port());
  ASSERT_TRUE(pagina.manda("GET /events HTTP/1.1\r\nHost: " + a.host() + "\r\n\r\n"));
  ASSERT_EQ(pagina.ricevi(12, 2s), "HTTP/1.1 200");
  sigset_t propri;
  ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, nullptr, &propri), 0);
  ASSERT_FALSE(sigismember(&propri, SIGINT)) << "the test's own thread holds SIGINT";
  const std::string pid = std::to_string(::getpid());
  int altri = 0;
  for (const auto& t : std::filesystem::directory_iterator("/proc/self/task")) {
    const std::string tid = t.path().filename().string();
    const std::string stato = testing::read_bytes(t.path() / "status");
    const std::size_t da = stato.find("SigBlk:");
    ASSERT_NE(da, std::string::npos);
    const unsigned long long bloccati = std::stoull(stato.substr(da + 7), nullptr, 16);
    const unsigned long long interruzioni = (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1)) | (1ull << (SIGHUP - 1));
    const std::string nome = testing::read_bytes(t.path() / "comm");
    if (tid == pid) continue;
    if ((bloccati & interruzioni) != interruzioni) {
      ADD_FAILURE() << "thread " << tid << " (" << nome << ") takes interrupts: SigBlk " << std::hex << bloccati;
    }
    ++altri;
  }
  EXPECT_GE(altri, 2);
}
#endif

TEST(PubblicaEsito, PublishesThePageOfAGoodCompileAndKeepsItOnAFailure) {
  testing::ScratchDir dir;
  const std::string d = dir.path().string();
  ASSERT_EQ(testing::esegui({"emit", d}).stato, kUscitaOk);
  ASSERT_EQ(testing::esegui({"compile", d + "/Tratta_Valle3_linea.txt", d + "/Tratta_Valle3_30-.txt",
                             "--out", d})
                .stato,
            kUscitaOk);
  Avviato a;
  Ascoltatore pagina(a.server);
  httplib::Client c = a.client();

  EsitoComando buono;
  buono.avvertenze.push_back({"work/Tratta_Valle3_30-.txt", 84, "line skipped"});
  pubblica_esito(a.server, buono, dir.path());
  Json stato = pagina.stato(pagina_n(1));
  EXPECT_EQ(stato["outcome"]["exit_status"], 0);
  EXPECT_EQ(stato["outcome"]["warnings"][0]["line"], 84);
  auto r = c.Get("/");
  ASSERT_TRUE(r);
  EXPECT_NE(r->body.find("data-kind=\"station\""), std::string::npos);
  EXPECT_NE(r->body.find("(function () {\n\"use strict\";"), std::string::npos);
  const std::string buona = r->body;

  EsitoComando guasto;
  guasto.stato = kUscitaDiagnosi;
  guasto.codice_errore = 7;
  guasto.file = "work/Tratta_Valle3_30-.txt";
  guasto.riga = 194;
  guasto.messaggio = "code abatement on a segment that is not free";
  guasto.avvertenze.push_back({"work/Tratta_Valle3_30-.txt", 84, "line skipped"});
  pubblica_esito(a.server, guasto, dir.path());
  stato = pagina.stato(fallito);
  EXPECT_EQ(stato["page"], 1);
  EXPECT_EQ(stato["outcome"]["line"], 194);
  EXPECT_EQ(stato["outcome"]["warnings"][0]["line"], 84);
  EXPECT_EQ(stato["text"], riga_fallimento(guasto));
  EXPECT_NE(stato["text"].get<std::string>().find("work/Tratta_Valle3_30-.txt:194: code 7: "), std::string::npos);

  // A stamp field taken: said as the terminal says it, over the last page.
  EsitoComando fatale;
  fatale.stato = kUscitaErroreFatale;
  fatale.fatale = 1250;
  pubblica_esito(a.server, fatale, dir.path());
  stato = pagina.stato([](const Json& j) { return j["outcome"]["fatal"] == 1250; });
  EXPECT_EQ(stato["page"], 1);
  EXPECT_EQ(stato["text"], riga_fallimento(fatale));
  EXPECT_EQ(stato["text"].get<std::string>().rfind(" Errore n. 1250 (a stamp field was already taken); no file written. ", 0), 0u);
  r = c.Get("/");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, buona);

  // --strict with warnings: the page of the files written and the warnings
  // over it, in one state.
  EsitoComando severo = guasto;
  severo.stato = kUscitaAvvertenze;
  pubblica_esito(a.server, severo, dir.path());
  stato = pagina.stato([](const Json& j) { return j["page"] != 1; });
  EXPECT_EQ(stato["outcome"]["exit_status"], 5);
  const Json pagina_severa = stato["page"];

  // Files that are gone by the time they are read back: a failure.
  testing::ScratchDir vuota;
  pubblica_esito(a.server, buono, vuota.path());
  stato = pagina.stato([](const Json& j) { return j["outcome"].is_object() && j["outcome"].value("exit_status", 0) == 4; });
  EXPECT_EQ(stato["page"], pagina_severa);
  EXPECT_TRUE(stato["outcome"]["error"].is_string());
}

}  // namespace

}  // namespace tratta
