// Helper of tools/test-serve, built with the tests, not part of the
// product: stands in for `tratta_valle3 watch LINE TRAIN --out DIR --serve
// [HOST:]PORT` where the program has no watch yet. It serves the route page,
// prints its address on start, compiles the descriptions at start and
// after every save (it looks at their size and time ten times a second),
// publishes each outcome as watch does, and ends on SIGINT or SIGTERM.
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "authoring/commands.h"
#include "authoring/page_server.h"
#include "authoring/pubblica_esito.h"

namespace {

std::atomic<bool> fine{false};
void segnale(int) { fine = true; }

/// What tells a save: each description's size and time of change.
std::string impronta(const std::vector<std::string>& file) {
  std::string out;
  for (const std::string& f : file) {
    std::error_code ec;
    const auto t = std::filesystem::last_write_time(f, ec);
    const auto n = std::filesystem::file_size(f, ec);
    out += std::to_string(t.time_since_epoch().count()) + ":" + std::to_string(ec ? 0 : n) + ";";
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tratta;
  const std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() != 7 || a[0] != "watch" || a[3] != "--out" || a[5] != "--serve") {
    std::cerr << "usage: tratta_serve_stand_in watch LINE TRAIN --out DIR --serve [HOST:]PORT\n";
    return kUscitaUsoErrato;
  }
  const std::string linea = a[1], treno = a[2], cartella = a[4];
  const auto indirizzo = parse_serve_address(a[6]);
  if (const std::string* e = std::get_if<std::string>(&indirizzo)) {
    std::cerr << "tratta_valle3: " << *e << "\n";
    return kUscitaUsoErrato;
  }
  PageServer server;
  if (const auto e = server.start(std::get<ServeAddress>(indirizzo))) {
    std::cerr << "tratta_valle3: " << *e << "\n";
    return kUscitaErroreSistema;
  }
  std::signal(SIGINT, segnale);
  std::signal(SIGTERM, segnale);
  std::cout << "serving the route page at " << server.address() << std::endl;

  std::string vista;
  while (!fine) {
    const std::string ora = impronta({linea, treno});
    if (ora != vista) {
      vista = ora;
      std::ostringstream out, err;
      const int stato =
          esegui_comando({"compile", linea, treno, "--out", cartella, "--json"}, out, err);
      std::cerr << err.str();
      if (stato == kUscitaOk || stato == kUscitaAvvertenze) pubblica_esito(server, {}, cartella);
      if (stato != kUscitaOk) server.publish_failure(out.str());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  server.stop();
  return 0;
}
