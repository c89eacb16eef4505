#include "authoring/page_server.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <httplib/httplib.h>
#include <nlohmann/json.hpp>

#include "authoring/view_live.h"

namespace tratta {

namespace {

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

struct PageServer::Impl {
  httplib::Server http;
  std::thread filo;
  std::atomic<uint16_t> porta{0};
  std::mutex fermata;  // one stop() at a time

  /// What the pages are told: the number of the page of `/` and the
  /// failure shown over it, if any. Guarded by `m`.
  std::mutex m;
  std::condition_variable cambiato;
  uint64_t versione = 0;  // counts every publication
  uint64_t numero_pagina = 0;
  std::string pagina = pagina_in_attesa(0);
  nlohmann::json fallimento;  // null when the last compile succeeded
  bool fermo = false;

  /// The state as one event of the stream.
  std::string evento() const {
    const nlohmann::json stato{{"page", numero_pagina}, {"failure", fallimento}};
    return "event: state\ndata: " +
           stato.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n\n";
  }

  /// True when the request names this server as the browser reached it.
  bool host_proprio(const httplib::Request& req) const {
    const std::string host = req.get_header_value("Host");
    const std::string p = ":" + std::to_string(porta.load());
    return host == "127.0.0.1" + p || host == "localhost" + p;
  }

  void servi_eventi(const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "no-store");
    auto visto = std::make_shared<std::optional<uint64_t>>();
    res.set_chunked_content_provider(
        "text/event-stream", [this, visto](size_t, httplib::DataSink& sink) {
          const auto battito = std::chrono::steady_clock::now() + kBattito;
          std::string da_mandare;
          while (da_mandare.empty()) {
            {
              std::unique_lock<std::mutex> lock(m);
              if (*visto)
                cambiato.wait_for(lock, kControlloFlusso,
                                  [&] { return fermo || versione != **visto; });
              if (fermo) return false;
              if (!*visto || versione != **visto) {
                // The first event tells the page to come back after a
                // second when the stream breaks.
                da_mandare = (*visto ? "" : "retry: 1000\n\n") + evento();
                *visto = versione;
              } else if (std::chrono::steady_clock::now() >= battito) {
                da_mandare = ": still here\n\n";
              }
            }
            if (da_mandare.empty() && !sink.is_writable()) return false;  // the page is gone
          }
          return sink.write(da_mandare.data(), da_mandare.size());
        });
  }
};

PageServer::PageServer() : impl_(std::make_unique<Impl>()) {}

PageServer::~PageServer() { stop(); }

std::optional<std::string> PageServer::start(const ServeAddress& where) {
  if (!host_locale(where.host))
    return "the page is served on this computer only (127.0.0.1 or localhost), not on '" +
           where.host + "'";
  Impl& s = *impl_;
  if (s.filo.joinable() || s.porta != 0) return "the page server is already started";

  s.http.set_socket_options(opzioni_socket);
  // Each response closes its connection: no idle connection keeps a
  // thread, and stop() does not wait for one.
  s.http.set_keep_alive_max_count(1);
  s.http.set_keep_alive_timeout(1);
  s.http.set_read_timeout(2, 0);
  s.http.set_pre_routing_handler([&s](const httplib::Request& req, httplib::Response& res) {
    if (s.host_proprio(req)) {
      // An event stream or a page asked for by a page of another origin
      // is not answered either.
      const std::string origine = req.get_header_value("Origin");
      const std::string p = ":" + std::to_string(s.porta.load());
      if (origine.empty() || origine == "http://127.0.0.1" + p || origine == "http://localhost" + p)
        return httplib::Server::HandlerResponse::Unhandled;
    }
    res.status = 403;
    res.set_content("refused: this server answers only at http://127.0.0.1:" +
                        std::to_string(s.porta.load()) + "/\n",
                    "text/plain; charset=utf-8");
    return httplib::Server::HandlerResponse::Handled;
  });
  s.http.Get("/", [&s](const httplib::Request&, httplib::Response& res) {
    std::string pagina;
    {
      std::lock_guard<std::mutex> lock(s.m);
      pagina = s.pagina;
    }
    res.set_header("Cache-Control", "no-store");
    res.set_content(std::move(pagina), "text/html; charset=utf-8");
  });
  s.http.Get("/events", [&s](const httplib::Request& req, httplib::Response& res) {
    s.servi_eventi(req, res);
  });
  s.http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty()) res.set_content("not found\n", "text/plain; charset=utf-8");
  });

  const int porta = where.port == 0 ? s.http.bind_to_any_port("127.0.0.1")
                                    : (s.http.bind_to_port("127.0.0.1", where.port) ? where.port : -1);
  if (porta <= 0)
    return "cannot serve on 127.0.0.1:" + std::to_string(where.port) +
           " (the port is taken, or not allowed)";
  s.porta = static_cast<uint16_t>(porta);
  s.filo = std::thread([&s] { s.http.listen_after_bind(); });
  // stop() acts on a server that runs: wait until it does.
  while (!s.http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return std::nullopt;
}

uint16_t PageServer::port() const { return impl_->porta; }

std::string PageServer::address() const {
  return "http://127.0.0.1:" + std::to_string(impl_->porta.load()) + "/";
}

void PageServer::publish_page(const std::string& page) {
  Impl& s = *impl_;
  {
    std::lock_guard<std::mutex> lock(s.m);
    ++s.versione;
    s.numero_pagina = s.versione;
    s.pagina = pagina_servita(page, s.numero_pagina);
    s.fallimento = nullptr;
  }
  s.cambiato.notify_all();
}

void PageServer::publish_failure(const std::string& outcome_json) {
  Impl& s = *impl_;
  nlohmann::json esito = nlohmann::json::parse(outcome_json, nullptr, false);
  if (!esito.is_object()) esito = {{"message", outcome_json}};
  {
    std::lock_guard<std::mutex> lock(s.m);
    ++s.versione;
    s.fallimento = std::move(esito);
  }
  s.cambiato.notify_all();
}

void PageServer::stop() {
  Impl& s = *impl_;
  std::lock_guard<std::mutex> una_volta(s.fermata);
  {
    std::lock_guard<std::mutex> lock(s.m);
    s.fermo = true;
  }
  s.cambiato.notify_all();
  if (!s.filo.joinable()) return;
  s.http.stop();
  s.filo.join();
}

}  // namespace tratta
