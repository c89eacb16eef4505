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

  /// The route page of a compile that succeeded, as `view` writes it: it
  /// becomes the page of `/` (its live variant), and the open pages fetch
  /// it. A failure shown before is cleared.
  void publish_page(const std::string& page);
  /// The outcome of a compile that failed, as compile's JSON: the open
  /// pages show it over the last good route, which stays the page of `/`.
  void publish_failure(const std::string& outcome_json);

  /// Stops serving and joins its threads; the event streams still open
  /// are ended. Safe to call more than once and from any thread but the
  /// server's own.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tratta
