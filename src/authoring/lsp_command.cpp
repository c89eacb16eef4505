#include "authoring/lsp_command.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string>

#include "authoring/lsp_framing.h"
#include "platform/thread.h"

namespace tratta {

namespace {

/// The frames read so far, handed from the reader's thread to the server's.
struct Coda {
  std::mutex m;
  std::condition_variable cv;
  std::deque<Frame> frame;
  bool chiusa = false;

  void metti(Frame f) {
    {
      std::lock_guard<std::mutex> l(m);
      if (f.kind == Frame::Kind::kEnd) {
        chiusa = true;
        if (!f.body.empty()) frame.push_back({Frame::Kind::kBroken, std::move(f.body)});
      } else {
        frame.push_back(std::move(f));
      }
    }
    cv.notify_one();
  }
};

/// Ends the reader's wait when the server is done, before its thread is
/// joined (declared after the thread, so gone before it).
struct FineLettura {
  platform::ByteStream& in;
  ~FineLettura() { in.cancel(); }
};

}  // namespace

int serve_lsp(platform::ByteStream& in, std::ostream& out, std::chrono::milliseconds ritardo,
              LanguageServer::LettoreFile leggi) {
  Coda coda;
  // The messages are read on a thread of their own, so that a compile
  // waits for the editor's pause in typing without polling.
  const std::jthread lettore = platform::start_thread([&coda, &in](std::stop_token) {
    try {
      MessageReader letti(in);
      for (;;) {
        Frame f = letti.next();
        const bool fine = f.kind == Frame::Kind::kEnd;
        coda.metti(std::move(f));
        if (fine) return;
      }
    } catch (const std::exception& e) {
      // No memory for a message: the stream is given up, and said so.
      coda.metti({Frame::Kind::kEnd, std::string("the editor's messages cannot be read: ") + e.what()});
    }
  });
  const FineLettura fine_lettura{in};

  LanguageServer server(ritardo, std::move(leggi));
  auto invia = [&out](const std::vector<LanguageServer::Json>& messaggi) {
    for (const LanguageServer::Json& j : messaggi)
      write_message(out, j.dump(-1, ' ', false, LanguageServer::Json::error_handler_t::replace));
  };
  while (!server.finito()) {
    std::optional<Frame> f;
    bool chiusa = false;
    {
      std::unique_lock<std::mutex> l(coda.m);
      const auto pronto = [&] { return !coda.frame.empty() || coda.chiusa; };
      if (const auto scadenza = server.scadenza()) {
        coda.cv.wait_until(l, *scadenza, pronto);
      } else {
        coda.cv.wait(l, pronto);
      }
      if (!coda.frame.empty()) {
        f = std::move(coda.frame.front());
        coda.frame.pop_front();
      } else {
        chiusa = coda.chiusa;
      }
    }
    if (f && f->kind == Frame::Kind::kMessage) {
      invia(server.ricevi(f->body));
    } else if (f) {
      // What broke the framing goes to the editor's log; the next message
      // is read as usual.
      invia({messaggio_log(f->body)});
    }
    invia(server.compila_dovuti());
    if (chiusa) break;
  }
  return server.stato_uscita();
}

}  // namespace tratta
