// libFuzzer target: the language server's input. The bytes go in twice,
// after an initialize: as a stream of framed messages (the framing, then
// each message), and as the body of one message. The descriptions it may
// compile come from memory. Every message the server gives back must be a
// JSON-RPC object: a response with exactly one of result and error, or a
// notification with a method. A broken property aborts.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/language_server.h"
#include "authoring/lsp_framing.h"
#include "testing/descriptions.h"

namespace {

using tratta::LanguageServer;
using Json = LanguageServer::Json;

void controlla(const std::vector<Json>& messaggi) {
  for (const Json& m : messaggi) {
    const bool forma = m.is_object() && m.value("jsonrpc", "") == "2.0" &&
                       (m.contains("id") ? m.contains("result") != m.contains("error")
                                         : m.contains("method"));
    if (!forma) {
      std::fprintf(stderr, "PROPERTY BROKEN: not a JSON-RPC message\n%s\n",
                   m.dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
      std::abort();
    }
    (void)m.dump(-1, ' ', false, Json::error_handler_t::replace);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string byte(reinterpret_cast<const char*>(data), size);
  LanguageServer server(std::chrono::milliseconds(0), [](const std::filesystem::path& p)
                                                          -> std::optional<std::string> {
    const std::string nome = p.filename().string();
    if (nome.ends_with("_linea.txt")) return tratta::testing::linea("pendenza, 500, 3\r\n");
    if (nome.ends_with("-.txt")) return tratta::testing::treno("velocita, 0, 100\r\n");
    return std::nullopt;
  });
  const auto dopo = LanguageServer::Orologio::now() + std::chrono::hours(1);
  controlla(server.ricevi(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})"));

  std::istringstream in(byte);
  tratta::LettoreMessaggi letti(in, 1 << 16);
  for (int i = 0; i < 32; ++i) {
    const tratta::MessaggioLetto m = letti.leggi();
    if (m.tipo == tratta::MessaggioLetto::Tipo::kFine) break;
    if (m.tipo == tratta::MessaggioLetto::Tipo::kMessaggio) controlla(server.ricevi(m.corpo));
    controlla(server.compila_dovuti(dopo));
  }
  controlla(server.ricevi(byte));
  controlla(server.compila_dovuti(dopo));
  return 0;
}
