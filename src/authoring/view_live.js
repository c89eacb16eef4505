// The live part of the route page served while the author edits. It
// listens to the server's events (/events): each tells, for the last
// compile, the number of the page of "/", the compile's outcome (compile's
// JSON) and the outcome in the words the watch prints. A page of another
// number is fetched and written into this window in place of this one: the
// address, and with it the stretch in view (#FROM-TO), stays, and so does
// the scroll position. A compile that failed is shown over the last good
// route, as the terminal tells it, with the warnings; one that succeeded
// with warnings lists them in a small panel; the next compile without them
// takes either away. When the stream breaks (the watch ended) a discreet
// note says so, and the page listens again once the server is back.
//
// For a check from outside, on the body: data-live (connecting,
// connected, disconnected), data-live-pages (pages written in so far),
// data-live-page (this page's number), data-live-failure (yes, no),
// data-live-warnings (how many the panel lists).
(function () {
  "use strict";
  const PAGE = Number(document.currentScript.dataset.livePage);
  // Kept on the window, which outlives the documents written into it.
  const live = window.trattaLive || (window.trattaLive = { pages: 0, replacing: false });
  const body = document.body;
  body.dataset.livePage = String(PAGE);
  body.dataset.livePages = String(live.pages);
  body.dataset.liveFailure = "no";
  body.dataset.liveWarnings = "0";

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
#live-warnings { position: fixed; left: 10px; bottom: 8px; z-index: 19; max-width: min(720px, calc(100% - 180px));
  max-height: 30vh; overflow: auto; background: #fffdf5; color: #222; border: 1px solid #c9a227;
  border-radius: 6px; padding: 6px 12px; font: 12px/1.4 system-ui, sans-serif;
  box-shadow: 0 3px 12px rgba(0, 0, 0, 0.12); }
#live-warnings[hidden] { display: none; }
#live-warnings h2 { margin: 0 0 4px; font-size: 12px; color: #6b4e00; }
#live-warnings ul { margin: 0; padding-left: 18px; }
#live-warnings li { font-family: ui-monospace, monospace; white-space: pre-wrap; overflow-wrap: anywhere; }
#live-status { position: fixed; right: 10px; bottom: 8px; z-index: 21; font: 12px system-ui, sans-serif;
  color: #666; background: rgba(255, 255, 255, 0.85); border-radius: 4px; padding: 2px 8px; }
#live-status.off { color: #8a5a00; }
`;
  document.head.appendChild(style);

  const overlay = document.createElement("div");
  overlay.id = "live-overlay";
  overlay.hidden = true;
  overlay.setAttribute("role", "alert");
  const panel = document.createElement("div");
  panel.id = "live-warnings";
  panel.hidden = true;
  panel.setAttribute("role", "status");
  const status = document.createElement("div");
  status.id = "live-status";
  body.append(overlay, panel, status);

  // "file:line: " before a message, as far as the outcome names them.
  function where(file, line) {
    if (!file) return "";
    return line ? `${file}:${line}: ` : `${file}: `;
  }

  // The warnings of an outcome as a list, each as the terminal prints it.
  function warningList(outcome) {
    const warnings = Array.isArray(outcome.warnings) ? outcome.warnings : [];
    const list = document.createElement("ul");
    for (const w of warnings) {
      const item = document.createElement("li");
      item.textContent = where(w.file, w.line) + "warning: " + w.message;
      list.append(item);
    }
    return { list, count: warnings.length };
  }

  // What the title says of each exit status of a compile that failed.
  const TITLES = {
    1: "The scenario files cannot be written",
    2: "The descriptions cannot be compiled",
    3: "The descriptions do not compile",
    4: "The scenario files could not be written",
    5: "The descriptions drew warnings (--strict)",
    6: "A description is too large",
  };

  function showFailure(outcome, text) {
    const box = document.createElement("div");
    box.className = "box";
    const title = document.createElement("h2");
    title.textContent = TITLES[outcome.exit_status] || "The compile failed";
    box.append(title);
    if (text && outcome.exit_status !== 5) {
      const p = document.createElement("p");
      p.className = "diagnostic";
      p.textContent = text;
      box.append(p);
    }
    const { list, count } = warningList(outcome);
    if (count) box.append(list);
    const note = document.createElement("p");
    note.className = "note";
    note.textContent = PAGE > 0 ? "Under this note, the route as last compiled; it is redrawn once the descriptions compile."
                                : "No compile has succeeded yet; the route appears once the descriptions compile.";
    box.append(note);
    overlay.replaceChildren(box);
    overlay.hidden = false;
    body.dataset.liveFailure = "yes";
    hideWarnings();
  }

  function hideFailure() {
    overlay.hidden = true;
    overlay.replaceChildren();
    body.dataset.liveFailure = "no";
  }

  function showWarnings(outcome) {
    const { list, count } = warningList(outcome);
    if (!count) return hideWarnings();
    const title = document.createElement("h2");
    title.textContent = count === 1 ? "1 warning" : `${count} warnings`;
    panel.replaceChildren(title, list);
    panel.hidden = false;
    body.dataset.liveWarnings = String(count);
  }

  function hideWarnings() {
    panel.hidden = true;
    panel.replaceChildren();
    body.dataset.liveWarnings = "0";
  }

  // The state of the last compile: shown over this page.
  function show(state) {
    const outcome = state.outcome;
    if (!outcome || typeof outcome !== "object") {
      hideFailure();
      hideWarnings();
    } else if (outcome.exit_status === 0) {
      hideFailure();
      showWarnings(outcome);
    } else {
      showFailure(outcome, typeof state.text === "string" ? state.text : outcome.message || outcome.error);
    }
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
      } else {
        show(state);
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
