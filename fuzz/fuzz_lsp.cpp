// libFuzzer target: the language server as `lsp` runs it. The input is the
// editor's side of the stream, read on the server's reader thread through
// the framing, `initialize` and its options included: an input that starts
// with a header ("Content-Length") is the stream itself, any other is sent
// as the body of one message after an initialize. Descriptions not open in
// the editor are read from the disk by the server's own reader, inside a
// folder the target makes once (/tmp/tratta-fuzz-lsp, named by the seeds
// and the dictionary), which holds a pair of descriptions, a FIFO with no
// writer, a link to /dev/zero and a file past the bound; a path elsewhere
// reads as missing. Every message the server writes must be a JSON-RPC
// object (a response with exactly one of result and error, or a
// notification with a method), the stream must end with status 0 or 1,
// and the reader thread must be joined. A broken property aborts.

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "authoring/lsp_command.h"
#include "authoring/lsp_framing.h"
#include "testing/descriptions.h"

namespace {

namespace fs = std::filesystem;
using tratta::LanguageServer;
using Json = LanguageServer::Json;

const fs::path kCartella = "/tmp/tratta-fuzz-lsp";

void scrivi(const fs::path& p, const std::string& byte) {
  std::ofstream(p, std::ios::binary) << byte;
}

/// The folder of files that are and are not descriptions, made once.
bool prepara_cartella() {
  std::error_code ec;
  fs::create_directories(kCartella, ec);
  scrivi(kCartella / "A_linea.txt", tratta::testing::linea("pendenza, 500, 3\r\n"));
  scrivi(kCartella / "A_1-.txt", tratta::testing::treno("velocita, 0, 100\r\n"));
  scrivi(kCartella / "F_1-.txt", tratta::testing::treno("velocita, 0, 100\r\n"));
  scrivi(kCartella / "Z_1-.txt", tratta::testing::treno("velocita, 0, 100\r\n"));
  scrivi(kCartella / "G_1-.txt", tratta::testing::treno("velocita, 0, 100\r\n"));
  if (!fs::exists(kCartella / "F_linea.txt", ec)) ::mkfifo((kCartella / "F_linea.txt").c_str(), 0600);
  if (!fs::is_symlink(kCartella / "Z_linea.txt", ec)) fs::create_symlink("/dev/zero", kCartella / "Z_linea.txt", ec);
  scrivi(kCartella / "G_linea.txt", "");
  fs::resize_file(kCartella / "G_linea.txt", (std::uintmax_t{64} << 20) + 1, ec);
  return true;
}

void rotto(const char* perche, const std::string& cosa) {
  std::fprintf(stderr, "PROPERTY BROKEN: %s\n%s\n", perche, cosa.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool pronta = prepara_cartella();
  (void)pronta;
  std::string byte(reinterpret_cast<const char*>(data), size);
  std::string inizio = byte.substr(0, 14);
  for (char& c : inizio) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (inizio != "content-length") {
    const std::string init = R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})";
    byte = "Content-Length: " + std::to_string(init.size()) + "\r\n\r\n" + init +
           "Content-Length: " + std::to_string(byte.size()) + "\r\n\r\n" + byte;
  }
  tratta::platform::BytesInMemory in(byte, 1 + size % 4096);
  std::ostringstream out;
  const int stato = tratta::serve_lsp(in, out, std::chrono::milliseconds(0),
                                      [](const fs::path& p, bool linea) -> LanguageServer::FileLetto {
                                        if (p.parent_path() != kCartella) return {};
                                        return LanguageServer::leggi_da_disco(p, linea);
                                      });
  if (stato != 0 && stato != 1) rotto("an exit status other than 0 and 1", std::to_string(stato));

  const std::string scritto = out.str();
  tratta::platform::BytesInMemory risposte(scritto);
  tratta::MessageReader letti(risposte);
  for (tratta::Frame f = letti.next(); f.kind != tratta::Frame::Kind::kEnd; f = letti.next()) {
    if (f.kind != tratta::Frame::Kind::kMessage) rotto("a frame that is no message", f.body);
    const Json m = Json::parse(f.body, nullptr, false);
    const bool forma = m.is_object() && m.value("jsonrpc", "") == "2.0" &&
                       (m.contains("id") ? m.contains("result") != m.contains("error")
                                         : m.contains("method"));
    if (!forma) rotto("not a JSON-RPC message", f.body);
  }
  return 0;
}
