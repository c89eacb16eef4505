// From a save of a description to the route page redrawn: `watch --serve`
// and its page in headless Chromium, driven through puppeteer-core.
//   node save_to_redraw.js NODE_MODULES CHROMIUM REPS LINE TRAIN -- PROGRAM ARGS...
// PROGRAM ARGS is the watch, with `--serve 0`. The train description is
// saved REPS times, in place, alternately with and without a blank line at
// its end; each time, the time from the write to the page drawn anew (its
// script run to the end) is taken. Prints the best and the median.
"use strict";
const fs = require("fs");
const path = require("path");
const { startWatch, launchBrowser } = require("../tools/served-watch.js");

const [modules, browserPath, repsText, lineFile, trainFile, dashes, ...watch] = process.argv.slice(2);
const reps = Number(repsText);
if (dashes !== "--" || watch.length === 0 || !(reps > 0)) {
  console.error("usage: save_to_redraw.js NODE_MODULES CHROMIUM REPS LINE TRAIN -- PROGRAM ARGS...");
  process.exit(2);
}
const puppeteer = require(path.join(modules, "puppeteer-core"));
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function main() {
  const watcher = startWatch(watch);
  const address = await watcher.address;
  const browser = await launchBrowser(puppeteer, browserPath, 1400, 900);
  const original = fs.readFileSync(trainFile);
  const times = [];
  try {
    const page = await browser.newPage();
    await page.goto(address);
    await page.waitForFunction(() => document.body.dataset.livePage !== "0" && document.body.dataset.ready === "yes" &&
                                     document.body.dataset.live === "connected", { timeout: 60000 });
    for (let r = 0; r < reps; r++) {
      const before = Number(await page.evaluate(() => document.body.dataset.livePages));
      // Past the watch's quiet time, so that each save is a compile of its own.
      await sleep(300);
      const t0 = process.hrtime.bigint();
      fs.writeFileSync(trainFile, r % 2 === 0 ? Buffer.concat([original, Buffer.from("\r\n")]) : original);
      await page.waitForFunction(
        (n) => Number(document.body.dataset.livePages) > n && document.body.dataset.ready === "yes" &&
               document.body.dataset.live === "connected",
        { timeout: 30000, polling: 5 }, before);
      times.push(Number(process.hrtime.bigint() - t0) / 1e6);
    }
  } finally {
    fs.writeFileSync(trainFile, original);
    await browser.close();
    watcher.child.kill("SIGTERM");
  }
  times.sort((a, b) => a - b);
  const median = times[Math.floor(times.length / 2)];
  console.log(`best ${times[0].toFixed(0)} ms   median ${median.toFixed(0)} ms   (${reps} saves; the watch's quiet time of 100 ms included)`);
}

main().catch((e) => {
  console.error(String(e && e.stack || e));
  process.exit(1);
});
