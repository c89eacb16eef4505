// libFuzzer target: the page server of `watch --serve` as any local client
// may reach it. Each input is sent whole over a connection of its own to
// one server started for the run, the writing side then closed; "{port}"
// in it becomes the server's port, so that inputs can name the server as
// a browser would. The server must answer with an HTTP status line or
// close the connection, within seconds, and never with the page or its
// events unless the request's Host names it and no page of another origin
// asks (the server's own test of the two headers, on the headers as the
// input gives them); a 200 is the page or the head of its event stream;
// the server answers the next input, whatever this one did. A broken
// property aborts.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "authoring/page_server.h"

namespace {

using tratta::PageServer;

PageServer& server() {
  static PageServer* s = [] {
    auto* p = new PageServer();
    if (p->start({})) std::abort();
    p->pubblica(std::string("<!DOCTYPE html><html><body><p>route</p><script>\n</script></body></html>"),
                R"({"exit_status": 0, "warnings": []})");
    return p;
  }();
  return *s;
}

void rotto(const char* perche, const std::string& richiesta, const std::string& risposta) {
  std::fprintf(stderr, "PROPERTY BROKEN: %s\nrequest:\n%s\nresponse:\n%s\n", perche, richiesta.c_str(),
               risposta.substr(0, 400).c_str());
  std::abort();
}

/// The value of the first header `nome` of `richiesta` as httplib takes
/// it: lines end at a line feed, and count only when it follows a carriage
/// return (any other is passed over); a blank one ends the header; the
/// name in any case, spaces and tabs around the value dropped. "" when
/// there is none.
std::string intestazione(const std::string& richiesta, const std::string& nome) {
  std::size_t inizio = richiesta.find('\n');  // past the request line
  while (inizio != std::string::npos && inizio + 1 < richiesta.size()) {
    const std::size_t fine = richiesta.find('\n', inizio + 1);
    if (fine == std::string::npos) break;
    const std::string riga = richiesta.substr(inizio + 1, fine - inizio - 1);
    inizio = fine;
    if (riga.empty() || riga.back() != '\r') continue;
    const std::string corpo = riga.substr(0, riga.size() - 1);
    if (corpo.empty()) break;
    const std::size_t due = corpo.find(':');
    if (due != nome.size()) continue;
    bool uguale = true;
    for (std::size_t i = 0; i < due; ++i)
      uguale = uguale && std::tolower(static_cast<unsigned char>(corpo[i])) ==
                             std::tolower(static_cast<unsigned char>(nome[i]));
    if (!uguale) continue;
    std::string v = corpo.substr(due + 1);
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.erase(0, 1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.pop_back();
    return v;
  }
  return "";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PageServer& s = server();
  const std::string porta = std::to_string(s.port());
  std::string richiesta(reinterpret_cast<const char*>(data), size);
  for (std::size_t at; (at = richiesta.find("{port}")) != std::string::npos;)
    richiesta.replace(at, 6, porta);

  const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(s.port());
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(sock, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) rotto("no connection", richiesta, "");
  for (std::size_t fatti = 0; fatti < richiesta.size();) {
    const ssize_t n = ::send(sock, richiesta.data() + fatti, richiesta.size() - fatti, MSG_NOSIGNAL);
    if (n <= 0) break;  // the server may close once it has answered
    fatti += static_cast<std::size_t>(n);
  }
  ::shutdown(sock, SHUT_WR);

  // The answer: its head, and of an event stream its first event.
  std::string risposta;
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    if (risposta.find("event: state") != std::string::npos && risposta.find("\n\n", risposta.find("event: state")) != std::string::npos)
      break;
    const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(limite - std::chrono::steady_clock::now());
    if (resto.count() <= 0) rotto("no answer and no close within 5 s", richiesta, risposta);
    pollfd p{sock, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(resto.count())) <= 0) continue;
    char b[4096];
    const ssize_t n = ::recv(sock, b, sizeof b, 0);
    if (n <= 0) break;
    risposta.append(b, static_cast<std::size_t>(n));
  }
  ::close(sock);

  if (!risposta.empty() && risposta.rfind("HTTP/1.1 ", 0) != 0) rotto("no status line", richiesta, risposta);
  const bool servita = risposta.rfind("HTTP/1.1 200", 0) == 0;
  if (servita && !tratta::richiesta_ammessa(intestazione(richiesta, "Host"), intestazione(richiesta, "Origin"),
                                            s.port()))
    rotto("served to a Host or Origin that is not its own", richiesta, risposta);
  // The page whole, or the head of its event stream (a client that has
  // closed its side is sent no event: its connection counts as gone).
  if (servita && risposta.find("Content-Type: text/event-stream") == std::string::npos &&
      (risposta.find("Content-Type: text/html") == std::string::npos ||
       risposta.find("<p>route</p>") == std::string::npos))
    rotto("a 200 that is neither the page nor its events", richiesta, risposta);
  return 0;
}
