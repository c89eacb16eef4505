// The language server's whole loop, as `lsp` runs it: the reader's thread,
// the framing, the server, and the end of both.
#include "authoring/lsp_command.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>
#include <sstream>

#include "authoring/lsp_framing.h"
#include "testing/descriptions.h"
#include "testing/scratch_dir.h"

namespace tratta {

namespace {

using Json = LanguageServer::Json;
using namespace std::chrono_literals;

std::string framed(const Json& j) {
  const std::string s = j.dump();
  return "Content-Length: " + std::to_string(s.size()) + "\r\n\r\n" + s;
}

Json richiesta(int id, const std::string& metodo, Json params = Json::object()) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", std::move(params)}};
}

/// The messages the server wrote.
std::vector<Json> scritti(const std::string& out) {
  platform::BytesInMemory in(out);
  MessageReader letti(in);
  std::vector<Json> r;
  for (Frame f = letti.next(); f.kind == Frame::Kind::kMessage; f = letti.next())
    r.push_back(Json::parse(f.body));
  return r;
}

/// The ids of the responses among `messaggi`, in order.
std::vector<int> risposte(const std::vector<Json>& messaggi) {
  std::vector<int> ids;
  for (const Json& m : messaggi)
    if (m.contains("id") && m["id"].is_number()) ids.push_back(m["id"]);
  return ids;
}

/// A stream that an editor keeps open: its bytes, then a wait that only
/// cancel() ends.
class TenutoAperto final : public platform::ByteStream {
 public:
  explicit TenutoAperto(std::string byte) : dati_(std::move(byte)) {}
  platform::FileResult<std::size_t> read_some(char* into, std::size_t n) override {
    if (!dati_.empty()) {
      const std::size_t k = std::min(n, dati_.size());
      std::copy_n(dati_.begin(), k, into);
      dati_.erase(0, k);
      return k;
    }
    std::unique_lock<std::mutex> l(m_);
    cv_.wait(l, [&] { return annullato_; });
    return std::size_t{0};
  }
  void cancel() noexcept override {
    std::lock_guard<std::mutex> l(m_);
    annullato_ = true;
    cv_.notify_all();
  }

 private:
  std::string dati_;
  std::mutex m_;
  std::condition_variable cv_;
  bool annullato_ = false;
};

}  // namespace

// The whole loop: initialize, a description opened, its diagnostics,
// shutdown and exit, status 0.
TEST(ServeLsp, ServesOverStreams) {
  testing::ScratchDir dir;
  testing::write_bytes(dir / "P_1-.txt", testing::treno("velocita, 0, 100\r\nsegnale, 1000, 2,4,0,0, 0, 2,2,0,0, 0\r\n"
                                                        "abbattimento codice, 1050, 270\r\n"));
  platform::BytesInMemory in(
      framed(richiesta(1, "initialize")) +
      framed({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", Json::object()}}) +
      framed({{"jsonrpc", "2.0"},
              {"method", "textDocument/didOpen"},
              {"params",
               {{"textDocument",
                 {{"uri", uri_da_percorso(dir / "P_linea.txt")}, {"text", testing::linea("pendeza, 1, 1\r\n")}}}}}}) +
      framed(richiesta(2, "shutdown")) + framed({{"jsonrpc", "2.0"}, {"method", "exit"}}));
  std::ostringstream out;
  EXPECT_EQ(serve_lsp(in, out, 0ms), 0);
  const std::vector<Json> r = scritti(out.str());
  EXPECT_EQ(risposte(r), (std::vector<int>{1, 2}));
  EXPECT_TRUE(std::any_of(r.begin(), r.end(), [&](const Json& m) {
    return m.value("method", "") == "textDocument/publishDiagnostics" &&
           m["params"]["uri"] == uri_da_percorso(dir / "P_1-.txt");
  }));
}

// Broken frames and options that name no file, as a hostile or broken
// client sends them, among requests: every well-framed request is
// answered, what broke goes to the log, and exit ends the loop although
// the stream stays open.
TEST(ServeLsp, AnswersEveryRequestAfterWhatBreaksItAndEndsOnExit) {
  const std::string stream =
      framed(richiesta(1, "initialize", {{"initializationOptions", {{"line", ""}, {"train", "x"}}}})) +
      "Content-Length: -5\r\n\r\n{\"a\":1}" + framed(richiesta(2, "textDocument/documentSymbol",
                                                              {{"textDocument", {{"uri", "file:///x/P_1-.txt"}}}})) +
      "Content-Length: abc\r\n\r\n" + framed(richiesta(3, "workspace/nothing")) +
      "{\"jsonrpc\":\"2.0\",\"id\":99,\"method\":\"shutdown\"}" + framed(richiesta(4, "shutdown")) +
      framed({{"jsonrpc", "2.0"}, {"method", "exit"}});
  TenutoAperto in(stream);
  std::ostringstream out;
  auto fatto = std::async(std::launch::async, [&] { return serve_lsp(in, out, 0ms); });
  ASSERT_EQ(fatto.wait_for(10s), std::future_status::ready) << "exit did not end the loop";
  EXPECT_EQ(fatto.get(), 0);
  const std::vector<Json> r = scritti(out.str());
  EXPECT_EQ(risposte(r), (std::vector<int>{1, 2, 3, 4}));
  const auto log = std::count_if(r.begin(), r.end(), [](const Json& m) {
    return m.value("method", "") == "window/logMessage";
  });
  EXPECT_GE(log, 3) << out.str();
}

}  // namespace tratta
