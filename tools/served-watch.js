// What the scripts that drive `watch --serve` in a browser share
// (tools/serve-check.js, bench/save_to_redraw.js): the watch started as a
// child with its address read from what it prints, and headless Chromium.
"use strict";
const { spawn } = require("child_process");

class Fault extends Error {}

// The watch, started with `args`; `address` resolves with its address once
// it prints it, `ended` with how it ended.
function startWatch(args) {
  const child = spawn(args[0], args.slice(1), { stdio: ["ignore", "pipe", "pipe"] });
  let out = "", err = "";
  child.stderr.on("data", (d) => (err += d));
  const address = new Promise((resolve, reject) => {
    child.stdout.on("data", (d) => {
      out += d;
      const m = /http:\/\/127\.0\.0\.1:(\d+)\//.exec(out);
      if (m) resolve(m[0]);
    });
    child.on("exit", (code) => reject(new Fault(`the watch ended (status ${code}) before it served: ${err.trim()}`)));
    setTimeout(() => reject(new Fault("the watch printed no address within 10 s")), 10000);
  });
  const ended = new Promise((resolve) => child.on("exit", (code, signal) => resolve(signal || `status ${code}`)));
  return { child, address, ended, stderr: () => err };
}

// Debian's Chromium, headless, with the flags that keep it off the network.
function launchBrowser(puppeteer, executablePath, width, height) {
  return puppeteer.launch({
    executablePath,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--hide-scrollbars"],
    defaultViewport: { width, height },
  });
}

module.exports = { Fault, startWatch, launchBrowser };
