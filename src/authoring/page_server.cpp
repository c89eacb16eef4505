#include "authoring/page_server.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <list>
#include <mutex>
#include <set>

#include <httplib/httplib.h>
#include <nlohmann/json.hpp>

#include "authoring/view_live.h"
#include "platform/thread.h"

namespace tratta {

namespace {

using Orologio = std::chrono::steady_clock;

bool host_locale(std::string_view host) { return host == "127.0.0.1" || host == "localhost"; }

/// The socket of the server: the address may be taken again at once after
/// a run (SO_REUSEADDR), but never shared with another server listening on
/// the same port (no SO_REUSEPORT; on Windows, exclusive use).
void opzioni_socket(socket_t sock) {
  int si = 1;
#ifdef _WIN32
  setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&si), sizeof si);
#else
  setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &si, sizeof si);
#endif
}

/// How often an event stream looks whether its page is still there.
constexpr auto kControlloFlusso = std::chrono::milliseconds(250);
/// How often an idle event stream sends a comment, for the proxies and
/// the browsers that drop a silent stream.
constexpr auto kBattito = std::chrono::seconds(15);
/// A request must have come whole within this time of its connection: a
/// browser on this computer sends it at once, a client that trickles it
/// is cut.
constexpr auto kTempoRichiesta = std::chrono::seconds(1);
/// How long a write to a page may wait for the page to read.
constexpr time_t kTempoScrittura = 5;
/// The pages that may follow the watch at once (each holds a stream); one
/// more is refused, and told why.
constexpr std::size_t kMassimoFlussi = 64;
/// The connections served at once, streams included: each has a thread of
/// its own, so that no stream and no slow client holds up the others (a
/// thread waiting on its connection costs little more than its stack's
/// address space). The ones beyond wait for a thread.
constexpr std::size_t kMassimoConnessioni = kMassimoFlussi + 256;

#ifdef MSG_NOSIGNAL
constexpr int kFlagInvio = MSG_NOSIGNAL;
#else
constexpr int kFlagInvio = 0;
#endif

/// One connection's socket as httplib reads and writes it, with a deadline
/// for the request: the reads that take the request line and headers give
/// up once kTempoRichiesta has passed since the connection came, however
/// the bytes trickle in.
class FlussoConScadenza final : public httplib::Stream {
 public:
  FlussoConScadenza(socket_t sock, Orologio::time_point scadenza) : sock_(sock), scadenza_(scadenza) {}

  /// The request has been read: no deadline from now on.
  void richiesta_letta() { letta_ = true; }

  bool is_readable() const override { return attendi_lettura(); }
  bool is_writable() const override {
    return httplib::detail::select_write(sock_, kTempoScrittura, 0) > 0 &&
           httplib::detail::is_socket_alive(sock_);
  }
  ssize_t read(char* ptr, size_t size) override {
    if (inizio_ == fine_) {
      if (!attendi_lettura()) return -1;
      const ssize_t n = httplib::detail::read_socket(sock_, buffer_, sizeof buffer_, 0);
      if (n <= 0) return n;
      inizio_ = 0;
      fine_ = static_cast<size_t>(n);
    }
    const size_t k = std::min(size, fine_ - inizio_);
    std::copy_n(buffer_ + inizio_, k, ptr);
    inizio_ += k;
    return static_cast<ssize_t>(k);
  }
  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable()) return -1;
    return httplib::detail::send_socket(sock_, ptr, size, kFlagInvio);
  }
  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    httplib::detail::get_remote_ip_and_port(sock_, ip, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    httplib::detail::get_local_ip_and_port(sock_, ip, port);
  }
  socket_t socket() const override { return sock_; }

 private:
  /// Whether bytes can be read before the deadline (or, once the request
  /// is read, within a write's time).
  bool attendi_lettura() const {
    auto resto = std::chrono::duration_cast<std::chrono::microseconds>(
        letta_ ? std::chrono::seconds(kTempoScrittura) : scadenza_ - Orologio::now());
    if (resto.count() <= 0) return false;
    return httplib::detail::select_read(sock_, static_cast<time_t>(resto.count() / 1000000),
                                        static_cast<time_t>(resto.count() % 1000000)) > 0;
  }

  socket_t sock_;
  Orologio::time_point scadenza_;
  bool letta_ = false;
  char buffer_[4096];
  size_t inizio_ = 0, fine_ = 0;
};

/// The connections being served: a stop cuts them all at once, whatever
/// their clients do, and closes at once any that comes after it.
class Connessioni {
 public:
  /// False once stopped: the connection is not to be served.
  bool entra(socket_t s) {
    std::lock_guard<std::mutex> l(m_);
    if (chiuse_) return false;
    vive_.insert(s);
    return true;
  }
  /// Before the socket is closed, so that a stop never cuts another's.
  void esce(socket_t s) {
    std::lock_guard<std::mutex> l(m_);
    vive_.erase(s);
  }
  void chiudi_tutte() {
    std::lock_guard<std::mutex> l(m_);
    chiuse_ = true;
    for (socket_t s : vive_) httplib::detail::shutdown_socket(s);
  }

 private:
  std::mutex m_;
  std::set<socket_t> vive_;
  bool chiuse_ = false;
};

/// The connections' threads: one each, up to kMassimoConnessioni at once;
/// the ones beyond wait in line. Every thread is joined, finished ones as
/// new ones start, the rest when the server ends.
class ThreadsConnessioni final : public httplib::TaskQueue {
 public:
  void enqueue(std::function<void()> fn) override {
    std::lock_guard<std::mutex> l(m_);
    in_fila_.push_back(std::move(fn));
    raccogli();
    if (attivi_ < kMassimoConnessioni) {
      ++attivi_;
      filo_.emplace_back();
      Filo& f = filo_.back();
      f.thread = platform::start_thread([this, &f](std::stop_token) { lavora(f); });
    }
  }
  void shutdown() override {
    std::unique_lock<std::mutex> l(m_);
    finito_.wait(l, [&] { return attivi_ == 0; });
    l.unlock();
    filo_.clear();  // each joined
  }

 private:
  struct Filo {
    std::jthread thread;
    bool fatto = false;
  };
  /// Serves connections until none waits.
  void lavora(Filo& f) {
    for (;;) {
      std::function<void()> fn;
      {
        std::lock_guard<std::mutex> l(m_);
        if (in_fila_.empty()) {
          f.fatto = true;
          --attivi_;
          finito_.notify_all();
          return;
        }
        fn = std::move(in_fila_.front());
        in_fila_.pop_front();
      }
      fn();  // never throws: the connection's own catch
    }
  }
  /// Joins the threads that are done (under the lock).
  void raccogli() {
    filo_.remove_if([](Filo& f) {
      if (!f.fatto) return false;
      f.thread.join();
      return true;
    });
  }

  std::mutex m_;
  std::condition_variable finito_;
  std::list<std::function<void()>> in_fila_;
  std::list<Filo> filo_;
  std::size_t attivi_ = 0;
};

/// httplib's server with each connection served as above: one request,
/// read within its deadline, then the connection closed.
class ServerPagina final : public httplib::Server {
 public:
  Connessioni connessioni;

 private:
  bool process_and_close_socket(socket_t sock) override {
    bool servita = false;
    if (connessioni.entra(sock)) {
      try {
        FlussoConScadenza flusso(sock, Orologio::now() + kTempoRichiesta);
        bool chiusa = false;
        servita = process_request(flusso, true, chiusa,
                                  [&](httplib::Request&) { flusso.richiesta_letta(); });
      } catch (...) {
        // A connection that fails is closed; the others and the server go on.
      }
      connessioni.esce(sock);
    }
    httplib::detail::shutdown_socket(sock);
    httplib::detail::close_socket(sock);
    return servita;
  }
};

}  // namespace

std::variant<ServeAddress, std::string> parse_serve_address(std::string_view text) {
  ServeAddress a;
  std::string_view porta = text;
  if (const size_t due_punti = text.rfind(':'); due_punti != std::string_view::npos) {
    const std::string_view host = text.substr(0, due_punti);
    if (!host_locale(host))
      return "--serve serves the page on this computer only (127.0.0.1 or localhost), not on '" +
             std::string(host) + "'";
    a.host = std::string(host);
    porta = text.substr(due_punti + 1);
  }
  if (porta.empty() || porta.size() > 5 ||
      !std::all_of(porta.begin(), porta.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return "--serve takes a port (0 for any free port), 127.0.0.1:PORT or localhost:PORT, not '" +
           std::string(text) + "'";
  const unsigned long numero = std::stoul(std::string(porta));
  if (numero > 65535) return "--serve: no port " + std::string(porta) + " (at most 65535)";
  a.port = static_cast<uint16_t>(numero);
  return a;
}

bool richiesta_ammessa(std::string_view host, std::string_view origine, uint16_t porta) {
  const std::string p = ":" + std::to_string(porta);
  if (host != "127.0.0.1" + p && host != "localhost" + p) return false;
  // An event stream or a page asked for by a page of another origin is
  // not answered either.
  return origine.empty() || origine == "http://127.0.0.1" + p || origine == "http://localhost" + p;
}

struct PageServer::Impl {
  ServerPagina http;
  std::atomic<uint16_t> porta{0};

  /// The listener's thread and whether it has ended; guarded by `vita`.
  std::mutex vita;
  std::condition_variable cambiata_vita;
  std::jthread ascolto;
  bool ascolto_finito = false;

  /// What the pages are told: the number of the page of `/` and the
  /// outcome of the last compile. Guarded by `m`.
  std::mutex m;
  std::condition_variable cambiato;
  uint64_t versione = 0;  // counts every publication
  uint64_t numero_pagina = 0;
  std::string pagina = pagina_in_attesa(0);
  nlohmann::json esito;  // null before the first compile
  std::string detto;     // what went wrong, as the terminal tells it
  bool fermo = false;
  std::size_t flussi = 0;  // event streams open

  /// The state as one event of the stream.
  std::string evento() const {
    const nlohmann::json stato{{"page", numero_pagina}, {"outcome", esito}, {"text", detto}};
    return "event: state\ndata: " +
           stato.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n\n";
  }

  void servi_pagina(httplib::Response& res) {
    std::string copia;
    {
      std::lock_guard<std::mutex> lock(m);
      copia = pagina;
    }
    res.set_header("Cache-Control", "no-store");
    res.set_content(std::move(copia), "text/html; charset=utf-8");
  }

  void servi_eventi(httplib::Response& res) {
    res.set_header("Cache-Control", "no-store");
    {
      std::lock_guard<std::mutex> lock(m);
      if (flussi >= kMassimoFlussi) {
        res.status = 503;
        res.set_content("refused: " + std::to_string(kMassimoFlussi) +
                            " pages already follow this watch; close one of them and reload\n",
                        "text/plain; charset=utf-8");
        return;
      }
      ++flussi;
    }
    auto visto = std::make_shared<std::optional<uint64_t>>();
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, visto](size_t, httplib::DataSink& sink) {
          try {
            return manda_evento(*visto, sink);
          } catch (...) {
            return false;  // the stream ends; the page reconnects
          }
        },
        [this](bool) {
          std::lock_guard<std::mutex> lock(m);
          --flussi;
        });
  }

  /// Sends the next event of a stream once there is one: a new state, or
  /// now and then a sign of life. False when the stream is over.
  bool manda_evento(std::optional<uint64_t>& visto, httplib::DataSink& sink) {
    const auto battito = Orologio::now() + kBattito;
    std::string da_mandare;
    while (da_mandare.empty()) {
      {
        std::unique_lock<std::mutex> lock(m);
        if (visto) cambiato.wait_for(lock, kControlloFlusso, [&] { return fermo || versione != *visto; });
        if (fermo) return false;
        if (!visto || versione != *visto) {
          // The first event tells the page to come back after a second
          // when the stream breaks.
          da_mandare = (visto ? "" : "retry: 1000\n\n") + evento();
          visto = versione;
        } else if (Orologio::now() >= battito) {
          da_mandare = ": still here\n\n";
        }
      }
      if (da_mandare.empty() && !sink.is_writable()) return false;  // the page is gone
    }
    return sink.write(da_mandare.data(), da_mandare.size());
  }
};

PageServer::PageServer() : impl_(std::make_unique<Impl>()) {}

PageServer::~PageServer() { stop(); }

std::optional<std::string> PageServer::start(const ServeAddress& where) {
  if (!host_locale(where.host))
    return "the page is served on this computer only (127.0.0.1 or localhost), not on '" +
           where.host + "'";
  Impl& s = *impl_;
  std::unique_lock<std::mutex> vita(s.vita);
  if (s.ascolto.joinable() || s.porta != 0) return "the page server is already started";

  s.http.set_socket_options(opzioni_socket);
  s.http.new_task_queue = [] { return new ThreadsConnessioni(); };
  s.http.set_pre_routing_handler([&s](const httplib::Request& req, httplib::Response& res) {
    if (richiesta_ammessa(req.get_header_value("Host"), req.get_header_value("Origin"), s.porta.load()))
      return httplib::Server::HandlerResponse::Unhandled;
    res.status = 403;
    res.set_content("refused: this server answers only at http://127.0.0.1:" +
                        std::to_string(s.porta.load()) + "/\n",
                    "text/plain; charset=utf-8");
    return httplib::Server::HandlerResponse::Handled;
  });
  s.http.Get("/", [&s](const httplib::Request&, httplib::Response& res) { s.servi_pagina(res); });
  s.http.Get("/events", [&s](const httplib::Request&, httplib::Response& res) { s.servi_eventi(res); });
  s.http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty()) res.set_content("not found\n", "text/plain; charset=utf-8");
  });
  s.http.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
    res.status = 500;
    res.set_content("the page server failed on this request\n", "text/plain; charset=utf-8");
  });

  const int porta = where.port == 0 ? s.http.bind_to_any_port("127.0.0.1")
                                    : (s.http.bind_to_port("127.0.0.1", where.port) ? where.port : -1);
  if (porta <= 0)
    return "cannot serve on 127.0.0.1:" + std::to_string(where.port) +
           " (the port is taken, or not allowed)";
  s.porta = static_cast<uint16_t>(porta);
  s.ascolto = platform::start_thread([&s](std::stop_token) {
    try {
      s.http.listen_after_bind();
    } catch (...) {
      // No thread for a connection: the server ends, and stop() finds it so.
    }
    std::lock_guard<std::mutex> l(s.vita);
    s.ascolto_finito = true;
    s.cambiata_vita.notify_all();
  });
  // Serving once it listens (a moment); a listener that ends before, or
  // does not listen within seconds, is a failure.
  const auto limite = Orologio::now() + std::chrono::seconds(5);
  while (!s.http.is_running() && !s.ascolto_finito && Orologio::now() < limite)
    s.cambiata_vita.wait_for(vita, std::chrono::milliseconds(1));
  if (!s.http.is_running()) {
    vita.unlock();
    stop();
    return "cannot serve on 127.0.0.1:" + std::to_string(porta) + " (the server did not start)";
  }
  return std::nullopt;
}

uint16_t PageServer::port() const { return impl_->porta; }

std::string PageServer::address() const {
  return "http://127.0.0.1:" + std::to_string(impl_->porta.load()) + "/";
}

void PageServer::pubblica(const std::optional<std::string>& pagina, const std::string& esito_json,
                          const std::string& detto) {
  Impl& s = *impl_;
  nlohmann::json esito = nlohmann::json::parse(esito_json, nullptr, false);
  if (!esito.is_object()) esito = {{"message", esito_json}, {"exit_status", 4}};
  {
    std::lock_guard<std::mutex> lock(s.m);
    ++s.versione;
    if (pagina) {
      s.numero_pagina = s.versione;
      s.pagina = pagina_servita(*pagina, s.numero_pagina);
    }
    s.esito = std::move(esito);
    s.detto = detto;
  }
  s.cambiato.notify_all();
}

void PageServer::stop() {
  Impl& s = *impl_;
  std::unique_lock<std::mutex> vita(s.vita);
  {
    std::lock_guard<std::mutex> lock(s.m);
    s.fermo = true;
  }
  s.cambiato.notify_all();
  // Every connection cut, whatever its client does: the listener's end
  // then waits for no one.
  s.http.connessioni.chiudi_tutte();
  if (!s.ascolto.joinable()) return;
  // The listener may not be listening yet: it is stopped once it does
  // (httplib's stop acts on a server that runs, once), then waited for.
  for (bool fermato = false; !s.ascolto_finito;) {
    if (!fermato && s.http.is_running()) {
      s.http.stop();
      fermato = true;
    }
    s.cambiata_vita.wait_for(vita, std::chrono::milliseconds(10));
  }
  vita.unlock();
  s.ascolto.join();
}

}  // namespace tratta
