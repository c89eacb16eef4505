// The live part of the route page served while the author edits. It
// listens to the server's events (/events): each tells the number of the
// page of "/" and the failure of the last compile, if it failed. A page
// of another number is fetched and written into this window in place of
// this one: the address, and with it the stretch in view (#FROM-TO), stays,
// and so does the scroll position. A failure is shown over the last good
// route, with the diagnostic and the warnings; the next good page takes it
// away. When the stream breaks (the watch ended) a discreet note says so,
// and the page listens again once the server is back.
//
// For a check from outside, on the body: data-live (connecting,
// connected, disconnected), data-live-pages (pages written in so far),
// data-live-page (this page's number), data-live-failure (yes, no).
(function () {
  "use strict";
  const PAGE = Number(document.currentScript.dataset.livePage);
  // Kept on the window, which outlives the documents written into it.
  const live = window.trattaLive || (window.trattaLive = { pages: 0, replacing: false });
  const body = document.body;
  body.dataset.livePage = String(PAGE);
  body.dataset.livePages = String(live.pages);
  body.dataset.liveFailure = "no";

  const style = document.createElement("style");
  style.textContent = `
#live-overlay { position: fixed; inset: 0; background: rgba(246, 246, 243, 0.72); z-index: 20;
  display: flex; align-items: flex-start; justify-content: center; padding-top: 72px; }
#live-overlay[hidden] { display: none; }
#live-overlay .box { max-width: 900px; width: calc(100% - 64px); background: #fff; color: #222;
  border: 2px solid #b3261e; border-radius: 6px; padding: 14px 20px; font: 14px/1.45 system-ui, sans-serif;
  box-shadow: 0 6px 24px rgba(0, 0, 0, 0.18); }
#live-overlay h2 { margin: 0 0 8px; font-size: 16px; color: #b3261e; }
#live-overlay .diagnostic, #live-overlay li { font-family: ui-monospace, monospace; font-size: 13px;
  white-space: pre-wrap; overflow-wrap: anywhere; }
#live-overlay .diagnostic { margin: 0 0 8px; }
#live-overlay ul { margin: 0 0 8px; padding-left: 20px; color: #6b4e00; }
#live-overlay .note { margin: 0; color: #666; font-size: 12px; }
#live-status { position: fixed; right: 10px; bottom: 8px; z-index: 21; font: 12px system-ui, sans-serif;
  color: #666; background: rgba(255, 255, 255, 0.85); border-radius: 4px; padding: 2px 8px; }
#live-status.off { color: #8a5a00; }
`;
  document.head.appendChild(style);

  const overlay = document.createElement("div");
  overlay.id = "live-overlay";
  overlay.hidden = true;
  overlay.setAttribute("role", "alert");
  const status = document.createElement("div");
  status.id = "live-status";
  body.append(overlay, status);

  // "file:line: " before a message, as far as the outcome names them.
  function where(file, line) {
    if (!file) return "";
    return line ? `${file}:${line}: ` : `${file}: `;
  }

  function showFailure(f) {
    const box = document.createElement("div");
    box.className = "box";
    const title = document.createElement("h2");
    title.textContent = f.exit_status === 5 ? "The descriptions drew warnings (--strict)"
                                            : "The descriptions do not compile";
    box.append(title);
    const message = f.message || f.error;
    if (message && f.exit_status !== 5) {
      const p = document.createElement("p");
      p.className = "diagnostic";
      const code = Number.isInteger(f.codice_errore) && f.codice_errore !== 0 ? `code ${f.codice_errore}: ` : "";
      p.textContent = where(f.file, f.line) + code + message;
      box.append(p);
    }
    const warnings = Array.isArray(f.warnings) ? f.warnings : [];
    if (warnings.length) {
      const list = document.createElement("ul");
      for (const w of warnings) {
        const item = document.createElement("li");
        item.textContent = where(w.file, w.line) + "warning: " + w.message;
        list.append(item);
      }
      box.append(list);
    }
    const note = document.createElement("p");
    note.className = "note";
    note.textContent = PAGE > 0 ? "Under this note, the route as last compiled; it is redrawn once the descriptions compile."
                                : "No compile has succeeded yet; the route appears once the descriptions compile.";
    box.append(note);
    overlay.replaceChildren(box);
    overlay.hidden = false;
    body.dataset.liveFailure = "yes";
  }

  function hideFailure() {
    overlay.hidden = true;
    overlay.replaceChildren();
    body.dataset.liveFailure = "no";
  }

  function setStatus(state, text) {
    body.dataset.live = state;
    status.textContent = text;
    status.className = state === "disconnected" ? "off" : "";
  }

  let source = null;
  let retry = 0;
  function listenLater() {
    clearTimeout(retry);
    retry = setTimeout(listen, 1000);
  }

  // The next page, written into this window in place of this one.
  async function replace() {
    if (live.replacing) return;
    live.replacing = true;
    source.close();
    clearTimeout(retry);
    let text;
    try {
      const response = await fetch("/", { cache: "no-store" });
      if (!response.ok) throw new Error(String(response.status));
      text = await response.text();
    } catch (e) {
      live.replacing = false;
      setStatus("disconnected", "not live: the watch has ended");
      listenLater();
      return;
    }
    const x = window.scrollX, y = window.scrollY;
    live.pages++;
    live.replacing = false;
    document.open();
    document.write(text);
    document.close();
    window.scrollTo(x, y);
  }

  function listen() {
    setStatus("connecting", "connecting…");
    source = new EventSource("/events");
    source.addEventListener("open", () => setStatus("connected", "live"));
    source.addEventListener("state", (e) => {
      let state;
      try {
        state = JSON.parse(e.data);
      } catch (err) {
        return;
      }
      if (state.page !== PAGE) {
        replace();
      } else if (state.failure) {
        showFailure(state.failure);
      } else {
        hideFailure();
      }
    });
    source.addEventListener("error", () => {
      setStatus("disconnected", "not live: the watch has ended (it reconnects when it is back)");
      // The browser tries again by itself while it can; once it has given
      // up, so as not to stay deaf, a new stream.
      if (source.readyState === EventSource.CLOSED) listenLater();
    });
  }
  listen();
})();
