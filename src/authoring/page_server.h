// The route page served on this computer while the author edits (`watch
// --serve`): a small HTTP server on 127.0.0.1 that answers two requests
// only, `GET /` with the current route page (its live variant, which
// redraws itself) and `GET /events` with a stream of server-sent events
// that tells the open pages when a compile brought a new page or failed.
// No file of the disk is ever served. A request whose Host header is not
// this server's own address is refused, so that a site of elsewhere whose
// name has been pointed at 127.0.0.1 (DNS rebinding) cannot read the page.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tratta {

/// Where the page is served: on this computer only.
struct ServeAddress {
  std::string host = "127.0.0.1";  ///< 127.0.0.1 or localhost
  uint16_t port = 0;               ///< 0: any free port
};

/// Reads the value of `--serve`: `PORT`, `127.0.0.1:PORT` or
/// `localhost:PORT`, PORT from 0 (any free port) to 65535. Any other host
/// (0.0.0.0, an address of the network, a name) is refused: the page is
/// served to this computer only. Gives the address or why it is refused.
std::variant<ServeAddress, std::string> parse_serve_address(std::string_view text);

/// Whether a request with these Host and Origin headers is one this
/// server answers on `porta`: the browser reached it as 127.0.0.1:PORT or
/// localhost:PORT, from no page or from one of its own.
bool richiesta_ammessa(std::string_view host, std::string_view origine, uint16_t porta);

/// The server. Each connection has a thread of its own and is served one
/// request, which must come whole within a second; at most 64 pages
/// follow the watch at once (one more is refused with 503 and why), so
/// that however many pages listen and however slowly a client writes,
/// `GET /` is answered. The interrupts are held in all of its threads.
class PageServer {
 public:
  PageServer();
  ~PageServer();  ///< stops the server
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  /// Starts serving on its own threads. Nothing when it serves, else why
  /// not (a host that is not this computer's loopback, a port taken, a
  /// server already started).
  std::optional<std::string> start(const ServeAddress& where);
  /// The port it serves on; 0 before start().
  uint16_t port() const;
  /// "http://127.0.0.1:PORT/"
  std::string address() const;

  /// What one compile brought, told to the open pages at once, as one
  /// state: `pagina`, the route page of the files it wrote as `view`
  /// writes it, becomes the page of `/` (its live variant), which the pages
  /// fetch; without one (the compile failed) the last good page stays.
  /// `esito_json` is the compile's outcome as compile's JSON, `detto` what
  /// went wrong as the terminal tells it (empty when nothing did): the
  /// pages show it, or the warnings, over the route.
  void pubblica(const std::optional<std::string>& pagina, const std::string& esito_json,
                const std::string& detto = {});

  /// Stops serving and joins its threads: every connection is cut and the
  /// event streams are ended, whatever their clients do. Safe to call more
  /// than once and from any thread but the server's own.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tratta
