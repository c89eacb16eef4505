// The route page served by `watch --serve`, driven in headless Chromium
// through puppeteer-core (tools/test-serve runs it):
//   node serve-check.js NODE_MODULES CHROMIUM OUT_DIR LINE TRAIN -- PROGRAM ARGS...
// PROGRAM ARGS is the watch, with `--serve 0`; it prints its address.
"use strict";
const fs = require("fs");
const http = require("http");
const path = require("path");
const { Fault, startWatch, launchBrowser } = require("./served-watch.js");

const [modules, browserPath, outDir, lineFile, trainFile, dashes, ...watch] = process.argv.slice(2);
if (dashes !== "--" || watch.length === 0) {
  console.error("usage: serve-check.js NODE_MODULES CHROMIUM OUT_DIR LINE TRAIN -- PROGRAM ARGS...");
  process.exit(2);
}
const puppeteer = require(path.join(modules, "puppeteer-core"));

let passed = 0;
const ok = (text) => {
  console.log("ok   " + text);
  passed++;
};
const fail = (text) => {
  throw new Fault(text);
};
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// A plain request, Host header as given.
function get(address, pathname, host) {
  const u = new URL(address);
  return new Promise((resolve, reject) => {
    const req = http.request(
      { host: u.hostname, port: u.port, path: pathname, headers: { Host: host || u.host } },
      (res) => {
        let body = "";
        res.on("data", (d) => (body += d));
        res.on("end", () => resolve({ status: res.statusCode, body }));
      });
    req.on("error", reject);
    req.end();
  });
}

// Rewrites the train description (Windows-1252, CR LF) through `edit`.
function editTrain(edit) {
  const text = fs.readFileSync(trainFile, "latin1");
  fs.writeFileSync(trainFile, edit(text), "latin1");
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  const original = fs.readFileSync(trainFile, "latin1");
  let watcher = startWatch(watch);
  const address = await watcher.address;
  const port = new URL(address).port;
  ok(`the watch serves the page at ${address}`);

  const browser = await launchBrowser(puppeteer, browserPath, 1280, 900);
  const consoleMessages = [];
  try {
    const page = await browser.newPage();
    page.on("console", (m) => { if (m.type() === "error" || m.type() === "warning") consoleMessages.push(m.text()); });
    page.on("pageerror", (e) => consoleMessages.push(String(e)));
    const body = (name) => page.evaluate((n) => document.body.dataset[n], name);
    const waitBody = async (test, what, timeout = 5000) => {
      try {
        await page.waitForFunction(test, { timeout, polling: 20 });
      } catch (e) {
        fail(`${what}: not within ${timeout} ms (body: ${JSON.stringify(await page.evaluate(() => ({ ...document.body.dataset })))})`);
      }
    };

    // 1. Opened on a stretch, once the first compile is in.
    await page.goto(address + "#2000-8000");
    await waitBody(() => document.body.dataset.livePage !== "0" && document.body.dataset.ready === "yes" &&
                          document.body.dataset.live === "connected", "the first route page");
    const range = await page.$eval("#range", (e) => e.textContent);
    if (!/^2,000 m to 8,000 m/.test(range)) fail(`the page does not show 2 to 8 km but '${range}'`);
    if (!(await page.$$eval('[data-kind="station"] .name', (ns) => ns.some((n) => n.textContent === "STAZ. PONTESELCE"))))
      fail("no station STAZ. PONTESELCE on the page");
    ok(`the route page, live, on the stretch ${range}`);

    // 2. A save shows on the page within a second, without a reload,
    // with the stretch and the scroll position kept.
    await page.evaluate(() => window.scrollTo(0, 120));
    const scrollBefore = await page.evaluate(() => window.scrollY);
    const pagesBefore = Number(await body("livePages"));
    await page.evaluate(() => { window.notReloaded = true; });
    const t0 = Date.now();
    editTrain((t) => t.replace("STAZ. PONTESELCE", "STAZ. PONTELIVE"));
    await waitBody(() => Array.from(document.querySelectorAll('[data-kind="station"] .name'))
      .some((n) => n.textContent === "STAZ. PONTELIVE"), "the renamed station", 1000);
    const took = Date.now() - t0;
    await waitBody(() => document.body.dataset.ready === "yes", "the new page's script");
    if (!(await page.evaluate(() => window.notReloaded === true))) fail("the page was reloaded, not redrawn in place");
    if (Number(await body("livePages")) <= pagesBefore) fail("data-live-pages did not count the new page");
    const hash = await page.evaluate(() => location.hash);
    const range2 = await page.$eval("#range", (e) => e.textContent);
    if (hash !== "#2000-8000" || range2 !== range) fail(`the stretch moved: ${hash}, '${range2}'`);
    const scrollAfter = await page.evaluate(() => window.scrollY);
    if (Math.abs(scrollAfter - scrollBefore) > 1) fail(`the scroll moved from ${scrollBefore} to ${scrollAfter}`);
    await waitBody(() => document.body.dataset.live === "connected", "listening again after the new page");
    ok(`a renamed station shows in ${took} ms, in place, on the same stretch (${hash}) and scroll (${scrollAfter} px)`);

    // 3. A broken description: the diagnostic with its file and line, and
    // the warnings, over the last good route.
    const lines = fs.readFileSync(trainFile, "latin1").split("\r\n");
    const at = lines.findIndex((l) => l.includes("STAZ. PONTELIVE"));
    editTrain((t) => {
      const ls = t.split("\r\n");
      ls[at] = ls[at].replace("4500,", "45x0,");
      ls.splice(at, 0, "segnal,  1000, 1");  // a mistyped keyword: a warning
      return ls.join("\r\n");
    });
    const where = `${trainFile}:${at + 2}:`;
    await waitBody(() => document.body.dataset.liveFailure === "yes", "the failure overlay", 1000);
    const overlay = await page.$eval("#live-overlay", (e) => ({ text: e.innerText, hidden: e.hidden }));
    if (overlay.hidden || !overlay.text.includes(where) || !overlay.text.includes("45x0"))
      fail(`the overlay does not name ${where} and the record: ${overlay.text}`);
    if (!overlay.text.includes(`${trainFile}:${at + 1}: warning:`)) fail(`the overlay lacks the warning: ${overlay.text}`);
    if (!(await page.evaluate(() => Array.from(document.querySelectorAll('[data-kind="station"] .name'))
      .some((n) => n.textContent === "STAZ. PONTELIVE"))))
      fail("the last good route is gone under the overlay");
    await page.screenshot({ path: path.join(outDir, "overlay.png") });
    ok(`a broken description: the overlay names ${where} and the warning, over the last good route (overlay.png)`);

    // 4. Mended: the overlay goes.
    editTrain(() => original);
    await waitBody(() => document.body.dataset.liveFailure === "no" && Array.from(
      document.querySelectorAll('[data-kind="station"] .name')).some((n) => n.textContent === "STAZ. PONTESELCE"),
    "the mended route without the overlay", 1000);
    if (await page.evaluate(() => location.hash) !== "#2000-8000") fail("the stretch moved");
    ok("mended: the overlay is gone, the route redrawn on the same stretch");

    // 4b. A save that compiles with a warning: the route redrawn, the
    // warning in a panel of its own with file and line; mended, it goes.
    editTrain((t) => {
      const ls = t.split("\r\n");
      ls.splice(at, 0, "segnal,  1000, 1");
      return ls.join("\r\n");
    });
    await waitBody(() => document.body.dataset.liveWarnings === "1" && document.body.dataset.liveFailure === "no",
      "the warnings panel", 1500);
    const panel = await page.$eval("#live-warnings", (e) => ({ text: e.innerText, hidden: e.hidden }));
    if (panel.hidden || !panel.text.includes(`${trainFile}:${at + 1}: warning:`) || !panel.text.includes("segnal"))
      fail(`the warnings panel does not name ${trainFile}:${at + 1}: ${panel.text}`);
    await page.screenshot({ path: path.join(outDir, "warnings.png") });
    editTrain(() => original);
    await waitBody(() => document.body.dataset.liveWarnings === "0" && Array.from(
      document.querySelectorAll('[data-kind="station"] .name')).some((n) => n.textContent === "STAZ. PONTESELCE"),
    "the mended route without the panel", 1500);
    ok(`a warning of a compile that succeeded shows in its panel with ${trainFile}:${at + 1} (warnings.png); mended, it goes`);

    // 5. Only this computer's own address, only the page and its events.
    const checks = [
      ["/", `evil.example:${port}`, 403], ["/events", `evil.example:${port}`, 403], ["/", "127.0.0.1", 403],
      ["/etc/passwd", null, 404], ["/../x", null, 404], ["/view_page.js", null, 404], ["/index.html", null, 404],
      ["/", `localhost:${port}`, 200],
    ];
    for (const [p, host, want] of checks) {
      const r = await get(address, p, host);
      if (r.status !== want) fail(`GET ${p} Host ${host || "own"}: ${r.status}, not ${want}`);
    }
    ok("a foreign Host is refused (403), a path outside the page is not found (404)");

    // 6. The watch ends: the page says so; a watch again on the port: live again.
    const before = Number(await body("livePages"));
    watcher.child.kill("SIGTERM");
    const status = await watcher.ended;
    await waitBody(() => document.body.dataset.live === "disconnected", "the page saying the watch ended");
    const note = await page.$eval("#live-status", (e) => e.textContent);
    ok(`the watch ended on SIGTERM (${status}): the page says '${note}'`);
    watcher = startWatch(watch.map((a, i) => (i > 0 && watch[i - 1] === "--serve" ? port : a)));
    await watcher.address;
    await waitBody(() => document.body.dataset.live === "connected" &&
                         Number(document.body.dataset.livePages) > 0, "listening again", 8000);
    await waitBody(() => document.body.dataset.ready === "yes", "the page of the new watch");
    if (Number(await body("livePages")) <= before) fail("the new watch's page was not taken");
    ok("the watch back on the same port: the page listens again and takes its page");

    const errors = consoleMessages.filter((m) => !/EventSource|ERR_CONNECTION_REFUSED|Failed to load resource/.test(m));
    if (errors.length) fail(`the browser's console: ${errors.slice(0, 3).join(" | ")}`);
    if (await page.evaluate(() => document.body.dataset.errors)) fail("the page caught errors of its own");
    ok("nothing on the browser's console, no error caught by the page");
  } finally {
    await browser.close();
    fs.writeFileSync(trainFile, original, "latin1");
    watcher.child.kill("SIGTERM");
  }
}

main().then(
  () => {
    console.log(`serve: ${passed} passed, 0 failed`);
    process.exit(0);
  },
  (e) => {
    console.error("FAIL " + (e instanceof Fault ? e.message : e.stack));
    console.log(`serve: ${passed} passed, 1 failed`);
    process.exit(1);
  });
