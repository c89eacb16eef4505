#include "authoring/lsp_command.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "authoring/language_server.h"
#include "authoring/lsp_framing.h"

namespace tratta {

int serve_lsp(std::istream& in, std::ostream& out, std::chrono::milliseconds ritardo) {
  // The messages are read on a thread of their own, so that a compile
  // waits for the editor's pause in typing without polling.
  struct Coda {
    std::mutex m;
    std::condition_variable cv;
    std::deque<MessaggioLetto> messaggi;
    bool chiusa = false;
  };
  auto coda = std::make_shared<Coda>();
  std::thread lettore([coda, &in] {
    LettoreMessaggi letti(in);
    for (;;) {
      MessaggioLetto m = letti.leggi();
      const bool fine = m.tipo == MessaggioLetto::Tipo::kFine;
      {
        std::lock_guard<std::mutex> l(coda->m);
        if (!fine) coda->messaggi.push_back(std::move(m));
        coda->chiusa = fine;
      }
      coda->cv.notify_one();
      if (fine) return;
    }
  });

  LanguageServer server(ritardo);
  auto invia = [&out](const std::vector<LanguageServer::Json>& messaggi) {
    for (const LanguageServer::Json& j : messaggi)
      scrivi_messaggio(out, j.dump(-1, ' ', false, LanguageServer::Json::error_handler_t::replace));
  };
  bool chiusa = false;
  while (!server.finito()) {
    std::optional<MessaggioLetto> m;
    {
      std::unique_lock<std::mutex> l(coda->m);
      const auto pronto = [&] { return !coda->messaggi.empty() || coda->chiusa; };
      if (const auto scadenza = server.scadenza()) {
        coda->cv.wait_until(l, *scadenza, pronto);
      } else {
        coda->cv.wait(l, pronto);
      }
      if (!coda->messaggi.empty()) {
        m = std::move(coda->messaggi.front());
        coda->messaggi.pop_front();
      } else {
        chiusa = coda->chiusa;
      }
    }
    if (m && m->tipo == MessaggioLetto::Tipo::kMessaggio) {
      invia(server.ricevi(m->corpo));
    } else if (m) {
      invia({{{"jsonrpc", "2.0"},
              {"method", "window/logMessage"},
              {"params", {{"type", 1}, {"message", m->corpo}}}}});
    }
    invia(server.compila_dovuti());
    if (chiusa && !m) break;
  }
  // The reader may still wait on an editor that keeps its end open: it is
  // given a moment to see the end, then left to the process's end.
  {
    std::unique_lock<std::mutex> l(coda->m);
    coda->cv.wait_for(l, std::chrono::milliseconds(200), [&] { return coda->chiusa; });
    if (coda->chiusa) {
      lettore.join();
    } else {
      lettore.detach();
    }
  }
  return server.stato_uscita();
}

}  // namespace tratta
