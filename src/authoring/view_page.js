const pageErrors = document.getElementById("page-errors");
function pageError(text) {
  pageErrors.hidden = false;
  pageErrors.textContent += text + "\n";
  document.body.dataset.errors = String((Number(document.body.dataset.errors) || 0) + 1);
}
window.addEventListener("error", (e) => pageError("error: " + e.message));
window.addEventListener("unhandledrejection", (e) => pageError("error: " + e.reason));

(function () {
  const svg = document.getElementById("profile");
  const [PL, PR, END, AXIS] = svg.dataset.geometry.split(" ").map(Number);
  const P = PR - PL;
  const MIN_SPAN = Math.min(END, 400);
  const LANES = svg.dataset.lanes.split(" ").map((t) => {
    const [kind, y0, y1] = t.split(":");
    return { kind, y0: Number(y0), y1: Number(y1) };
  });
  const xScaled = Array.from(svg.querySelectorAll(".xs"));
  const heightScale = document.getElementById("height-scale");
  const [H0, H1] = heightScale.dataset.range.split(" ").map(Number);
  const heightLane = LANES.find((l) => l.kind === "height");
  const grid = document.getElementById("grid");
  const axis = document.getElementById("axis");
  const cursor = document.getElementById("cursor");
  const tip = document.getElementById("tip");
  const range = document.getElementById("range");
  const fmt = (m) => Math.round(m).toLocaleString("en-US");

  function entry(el) {
    const m = Number(el.dataset.metre);
    const ext = el.querySelector(".ext");
    return {
      el, m, ext,
      kind: el.dataset.kind || "station",
      from: el.dataset.from !== undefined ? Number(el.dataset.from) : m,
      end: el.dataset.end !== undefined ? Number(el.dataset.end) : m,
      label: el.querySelector("text.name"),
      val: el.querySelector("text.val"),
      place: el.classList.contains("place"),
      width: 0, shown: true,
    };
  }
  const marks = Array.from(svg.querySelectorAll("g.mk, g.place")).map(entry);
  const byKind = {};
  for (const o of marks) (byKind[o.kind] = byKind[o.kind] || []).push(o);
  // Station names before the names of other places, each in route order.
  const labelled = marks.filter((o) => o.label)
    .sort((a, b) => (a.place === b.place ? a.m - b.m : a.place ? 1 : -1));
  const ROWS = svg.dataset.rows.split(" ");
  for (const o of labelled) o.width = o.label.getComputedTextLength();
  for (const o of marks) if (o.val) o.width = o.val.getComputedTextLength();
  const limitLane = LANES.find((l) => l.kind === "speed");
  const VMAX = Number(svg.dataset.limitTop);
  const limitValues = document.getElementById("limit-values");

  let v0 = 0, v1 = END, pending = false;

  function niceStep(span) {
    const raw = span / 9;
    const p = Math.pow(10, Math.floor(Math.log10(raw)));
    for (const f of [1, 2, 5, 10]) if (f * p >= raw) return Math.max(50, f * p);
    return 10 * p;
  }
  function kmText(m, step) {
    if (step >= 1000) return fmt(m / 1000) + " km";
    const d = step >= 100 ? 1 : 2;
    return (m / 1000).toFixed(d) + " km";
  }

  function drawAxis(k) {
    const step = niceStep(v1 - v0);
    let g = "", a = "";
    for (let m = Math.ceil(v0 / step) * step; m <= v1; m += step) {
      const x = (PL + (m - v0) * k).toFixed(2);
      g += `<line x1="${x}" x2="${x}" y1="0" y2="${AXIS}"/>`;
      const anchor = x > PR - 24 ? ' style="text-anchor:end"' : "";
      a += `<line x1="${x}" x2="${x}" y1="${AXIS}" y2="${AXIS + 5}"/><text x="${x}" y="${AXIS + 18}"${anchor}>${kmText(m, step)}</text>`;
    }
    grid.innerHTML = g;
    axis.innerHTML = `<line x1="${PL}" x2="${PR}" y1="${AXIS}" y2="${AXIS}"/>` + a;
  }

  // What is taken of a row of labels, by buckets of 50 units across, so
  // that a label is tested against its neighbours only: placing the labels
  // of a view takes time in proportion to their number.
  class Taken {
    constructor() { this.buckets = new Map(); }
    each(x0, x1, f) {
      const e = Math.floor(Math.min(x1, PR + 50) / 50);
      for (let i = Math.floor(Math.max(x0, PL - 50) / 50); i <= e; i++) f(i);
    }
    // Free of what others hold; `owner` may overlap what it holds itself.
    free(x0, x1, owner) {
      let ok = true;
      this.each(x0, x1, (i) => {
        const list = this.buckets.get(i);
        if (ok && list) ok = list.every(([a, b, o]) => o === owner || x1 <= a || x0 >= b);
      });
      return ok;
    }
    add(x0, x1, owner) {
      this.each(x0, x1, (i) => {
        const list = this.buckets.get(i);
        if (list) list.push([x0, x1, owner]); else this.buckets.set(i, [[x0, x1, owner]]);
      });
    }
  }

  // Names under the flags, each in the first row where it has room, right
  // of its mark or else left of it, whole inside the plot; a name with no
  // room is hidden until the view is zoomed in far enough.
  function placeLabels(k) {
    const taken = ROWS.map(() => new Taken());
    for (const o of labelled) {
      if (!o.shown) continue;
      const x = PL + (o.m - v0) * k;
      let row = -1, right = true, x0 = 0, x1 = 0;
      for (const side of [true, false]) {
        x0 = side ? x + 3 : x - 3 - o.width;
        x1 = x0 + o.width;
        if (x0 < PL || x1 > PR) continue;
        for (let r = 0; r < ROWS.length && row < 0; r++)
          if (taken[r].free(x0 - 4, x1 + 4, o)) row = r;
        if (row >= 0) { right = side; break; }
      }
      o.label.style.visibility = row < 0 ? "hidden" : "";
      if (row < 0) continue;
      taken[row].add(x0 - 4, x1 + 4, o);
      o.label.setAttribute("y", ROWS[row]);
      o.label.setAttribute("x", right ? 3 : -3 - o.width);
    }
    // A slowdown's speed and a montagna stretch's class inside its band,
    // where the band has room for it and no other band or value lies there.
    for (const kind of ["slowdown", "montagna"]) {
      const lane = new Taken();
      const withValue = (byKind[kind] || []).filter((o) => o.shown && o.val);
      for (const o of withValue) lane.add(PL + (o.from - v0) * k, PL + (o.end - v0) * k, o);
      for (const o of withValue) {
        const a = Math.max(PL, PL + (o.from - v0) * k), b = Math.min(PR, PL + (o.end - v0) * k);
        const x0 = PL + (o.m - v0) * k + 2, x1 = x0 + o.width + 2;
        const fits = x0 >= a && x1 <= b && lane.free(x0, x1, o);
        o.val.style.visibility = fits ? "" : "hidden";
        if (fits) lane.add(x0, x1, o);
      }
    }
    // A sign's text and an indicator's speeds right of the mark, where they
    // clear the marks and the texts after it.
    for (const kind of ["sign", "indicator"]) {
      const lane = new Taken();
      const shown = (byKind[kind] || []).filter((o) => o.shown);
      for (const o of shown) { const x = PL + (o.m - v0) * k; lane.add(x - 7, x + 7, o); }
      for (const o of shown) {
        if (!o.val) continue;
        const x0 = PL + (o.m - v0) * k + 8, x1 = x0 + o.width;
        const fits = x1 <= PR && lane.free(x0 - 2, x1 + 3, o);
        o.val.style.visibility = fits ? "" : "hidden";
        if (fits) lane.add(x0 - 2, x1 + 3, o);
      }
    }
  }

  // The value of each step of the speed limit in view, above its line
  // (below it at the top of the lane), where the step is wide enough.
  function drawLimitValues(k) {
    let t = "";
    for (const [from, end, kmh] of SPEED) {
      if (end <= v0 || from >= v1 || !kmh) continue;
      const a = PL + (Math.max(from, v0) - v0) * k, b = PL + (Math.min(end, v1) - v0) * k;
      const text = String(kmh), w = text.length * 6.1;
      if (b - a < w + 4) continue;
      const y = limitLane.y1 - kmh / VMAX * (limitLane.y1 - limitLane.y0);
      const base = y - 12 < limitLane.y0 - 4 ? y + 11 : y - 3;
      t += `<text x="${((a + b) / 2).toFixed(1)}" y="${base.toFixed(1)}">${text}</text>`;
    }
    limitValues.innerHTML = t;
  }

  function pointAt(line, m) {
    let lo = 0, hi = line.length - 1;
    if (m <= line[0][0]) return line[0];
    if (m >= line[hi][0]) return line[hi];
    while (hi - lo > 1) {
      const mid = (lo + hi) >> 1;
      if (line[mid][0] <= m) lo = mid; else hi = mid;
    }
    const a = line[lo], b = line[hi], t = (m - a[0]) / (b[0] - a[0]);
    return [m, a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2])];
  }

  function drawPlanView() {
    if (!PLAN) return;
    const pts = [];
    for (const line of PLAN) {
      if (line[line.length - 1][0] < v0 || line[0][0] > v1) continue;
      pts.push(pointAt(line, v0));
      for (const p of line) if (p[0] > v0 && p[0] < v1) pts.push(p);
      pts.push(pointAt(line, v1));
    }
    const whole = v1 - v0 >= END * 0.999;
    // The whole route in view is the whole plan in red.
    document.getElementById("plan-view").setAttribute("points",
      pts.map((p) => p[1] + "," + p[2]).join(" "));
    const here = document.getElementById("plan-here");
    const mid = (v0 + v1) / 2;
    const line = PLAN.find((l) => l[0][0] <= mid && l[l.length - 1][0] >= mid);
    if (whole || !line) { here.setAttribute("visibility", "hidden"); return; }
    const c = pointAt(line, mid);
    here.setAttribute("cx", c[1]);
    here.setAttribute("cy", c[2]);
    here.setAttribute("visibility", "visible");
  }

  function heightAt(m) {
    const g = lookup(GRAD, m);
    return g ? g[3] + g[2] / 1000 * (m - g[0]) : null;
  }
  // The height lane spans the heights of the stretch in view.
  function fitHeight() {
    let lo = Infinity, hi = -Infinity;
    const take = (h) => { if (h !== null) { lo = Math.min(lo, h); hi = Math.max(hi, h); } };
    take(heightAt(v0));
    take(heightAt(Math.min(v1, END - 0.001)));
    for (const g of GRAD) {
      if (g[1] < v0 || g[0] > v1) continue;
      if (g[0] >= v0) take(g[3]);
      if (g[1] <= v1) take(g[3] + g[2] / 1000 * (g[1] - g[0]));
    }
    if (!(hi >= lo)) { lo = H0; hi = H1; }
    if (hi - lo < 10) { const c = (hi + lo) / 2; lo = c - 5; hi = c + 5; }
    const pad = (hi - lo) * 0.04;
    lo -= pad; hi += pad;
    if (v1 - v0 >= END * 0.999) { lo = H0; hi = H1; }
    const y1 = heightLane.y1, px = (y1 - heightLane.y0);
    // Drawn for H0..H1 over the lane; y' = y1 - (h - lo) * px / (hi - lo).
    const ky = (H1 - H0) / (hi - lo);
    const ty = y1 * (1 - ky) - (H0 - lo) * px / (hi - lo);
    heightScale.setAttribute("transform", `matrix(1,0,0,${ky},0,${ty})`);
    document.getElementById("height-top").textContent = Math.round(hi) + " m";
    document.getElementById("height-bottom").textContent = Math.round(lo) + " m";
  }

  function render() {
    pending = false;
    const k = P / (v1 - v0);
    for (const g of xScaled) g.setAttribute("transform", `matrix(${k},0,0,1,${PL - v0 * k},0)`);
    fitHeight();
    const pad = 40 / k;
    for (const o of marks) {
      const show = o.end >= v0 - pad && o.from <= v1 + pad;
      if (show !== o.shown) { o.el.style.display = show ? "" : "none"; o.shown = show; }
      if (!show) continue;
      o.el.setAttribute("transform", `translate(${(PL + (o.m - v0) * k).toFixed(2)},0)`);
      if (o.ext) {
        o.ext.setAttribute("x", ((o.from - o.m) * k).toFixed(2));
        const w = Math.max(1.5, (o.end - o.from) * k);
        o.ext.setAttribute("width", w.toFixed(2));
      }
    }
    placeLabels(k);
    drawLimitValues(k);
    drawAxis(k);
    drawPlanView();
    const whole = v1 - v0 >= END * 0.999;
    range.textContent = `${fmt(v0)} m to ${fmt(v1)} m` + (whole ? " (the whole route)" : "");
    // The stretch in view stays in the address (#FROM-TO), to come back to.
    try {
      history.replaceState(null, "", whole ? location.pathname + location.search
                                           : `#${Math.round(v0)}-${Math.round(v1)}`);
    } catch (e) { /* a page opened where its address cannot change */ }
  }
  // Drawn at the next frame; a browser that draws no frames (a page in
  // the background, a headless check) gets it a little later all the same.
  function schedule() {
    if (pending) return;
    pending = true;
    requestAnimationFrame(() => { if (pending) render(); });
    setTimeout(() => { if (pending) render(); }, 100);
  }
  function setView(a, span) {
    span = Math.min(END, Math.max(MIN_SPAN, span));
    v0 = Math.min(END - span, Math.max(0, a));
    v1 = v0 + span;
    schedule();
  }

  function svgPoint(e) {
    const p = new DOMPoint(e.clientX, e.clientY).matrixTransform(svg.getScreenCTM().inverse());
    return [p.x, p.y];
  }
  function zoomAt(px, factor) {
    px = Math.min(PR, Math.max(PL, px));
    const m = v0 + (px - PL) * (v1 - v0) / P;
    const span = Math.min(END, Math.max(MIN_SPAN, (v1 - v0) * factor));
    setView(m - (px - PL) / P * span, span);
  }

  function lookup(list, m) {
    let lo = 0, hi = list.length - 1;
    while (lo <= hi) {
      const mid = (lo + hi) >> 1;
      if (m < list[mid][0]) hi = mid - 1; else if (m >= list[mid][1]) lo = mid + 1; else return list[mid];
    }
    return null;
  }
  function readout(m) {
    let t = `at ${fmt(m)} m`;
    const g = lookup(GRAD, m);
    if (g) t += ` · height ${(g[3] + g[2] / 1000 * (m - g[0])).toFixed(1)} m · gradient ${g[2]} ‰`;
    const v = lookup(SPEED, m);
    if (v) t += v[2] ? ` · limit ${v[2]} km/h` : " · no limit set";
    const a = lookup(ADH, m);
    if (a) t += ` · adhesion ${a[2]}`;
    return t;
  }
  function markAt(px, py) {
    const lane = LANES.find((l) => py >= l.y0 - 4 && py <= l.y1 + 4);
    if (!lane || !byKind[lane.kind]) return null;
    const k = P / (v1 - v0);
    let best = null, bestD = 7;
    for (const o of byKind[lane.kind]) {
      if (!o.shown) continue;
      const x = PL + (o.m - v0) * k;
      let d = Math.abs(px - x);
      if (o.ext && px >= PL + (o.from - v0) * k && px <= PL + (o.end - v0) * k) d = Math.min(d, 3);
      if (d < bestD) { bestD = d; best = o; }
    }
    return best;
  }
  function showTip(e, text) {
    tip.textContent = text;
    tip.hidden = false;
    const w = tip.offsetWidth, h = tip.offsetHeight;
    let x = e.clientX + 14, y = e.clientY + 16;
    if (x + w > window.innerWidth - 4) x = e.clientX - w - 14;
    if (y + h > window.innerHeight - 4) y = e.clientY - h - 12;
    tip.style.left = Math.max(4, x) + "px";
    tip.style.top = Math.max(4, y) + "px";
  }
  let hot = null;
  function setHot(o) {
    if (hot === o) return;
    if (hot) hot.el.classList.remove("hot");
    hot = o;
    if (hot) hot.el.classList.add("hot");
  }

  let drag = null;
  svg.addEventListener("wheel", (e) => {
    e.preventDefault();
    zoomAt(svgPoint(e)[0], Math.exp(Math.max(-300, Math.min(300, e.deltaY)) * 0.0015));
  }, { passive: false });
  svg.addEventListener("pointerdown", (e) => {
    if (e.button !== 0) return;
    drag = { x: svgPoint(e)[0], v0, span: v1 - v0 };
    try {
      svg.setPointerCapture(e.pointerId);
    } catch (err) { /* a pointer that is no longer down */ }
    svg.classList.add("dragging");
  });
  svg.addEventListener("pointermove", (e) => {
    const [px, py] = svgPoint(e);
    if (drag) {
      setView(drag.v0 - (px - drag.x) * drag.span / P, drag.span);
      tip.hidden = true;
      return;
    }
    if (px < PL || px > PR || py > AXIS) {
      cursor.setAttribute("visibility", "hidden");
      tip.hidden = true;
      setHot(null);
      return;
    }
    cursor.setAttribute("x1", px);
    cursor.setAttribute("x2", px);
    cursor.setAttribute("visibility", "visible");
    const o = markAt(px, py);
    setHot(o);
    showTip(e, o ? o.el.dataset.info : readout(v0 + (px - PL) * (v1 - v0) / P));
  });
  const endDrag = () => { drag = null; svg.classList.remove("dragging"); };
  svg.addEventListener("pointerup", endDrag);
  svg.addEventListener("pointercancel", endDrag);
  svg.addEventListener("pointerleave", () => {
    cursor.setAttribute("visibility", "hidden");
    tip.hidden = true;
    setHot(null);
  });
  svg.addEventListener("dblclick", () => setView(0, END));
  document.addEventListener("keydown", (e) => {
    const span = v1 - v0;
    if (e.key === "+" || e.key === "=") zoomAt((PL + PR) / 2, 1 / 1.5);
    else if (e.key === "-") zoomAt((PL + PR) / 2, 1.5);
    else if (e.key === "ArrowLeft") setView(v0 - span / 5, span);
    else if (e.key === "ArrowRight") setView(v0 + span / 5, span);
    else if (e.key === "0" || e.key === "Home") setView(0, END);
  });

  const plan = document.getElementById("plan");
  if (plan && PLAN) {
    const nearest = (e) => {
      const p = new DOMPoint(e.clientX, e.clientY).matrixTransform(plan.getScreenCTM().inverse());
      let best = null, bestD = Infinity;
      for (const line of PLAN)
        for (let i = 0; i < line.length; i++) {
          const q = line[i], d = (q[1] - p.x) ** 2 + (q[2] - p.y) ** 2;
          if (d < bestD) { bestD = d; best = { line, i }; }
        }
      if (!best) return null;
      // Between the two drawn points around the nearest one, the metre of
      // the closest point on the stretch that joins them.
      let m = best.line[best.i][0];
      for (const j of [best.i - 1, best.i + 1]) {
        if (j < 0 || j >= best.line.length) continue;
        const a = best.line[best.i], b = best.line[j];
        const dx = b[1] - a[1], dy = b[2] - a[2], l2 = dx * dx + dy * dy;
        if (!l2) continue;
        const t = Math.max(0, Math.min(1, ((p.x - a[1]) * dx + (p.y - a[2]) * dy) / l2));
        const cand = [a[1] + t * dx, a[2] + t * dy];
        const d = (cand[0] - p.x) ** 2 + (cand[1] - p.y) ** 2;
        if (d < bestD) { bestD = d; m = a[0] + t * (b[0] - a[0]); }
      }
      return { m, d: Math.sqrt(bestD) / Number(plan.dataset.unit) };
    };
    plan.addEventListener("pointermove", (e) => {
      const n = nearest(e);
      if (n && n.d < 30) showTip(e, `plan near ${fmt(n.m)} m; click to show it in the profile`);
      else tip.hidden = true;
    });
    plan.addEventListener("pointerleave", () => { tip.hidden = true; });
    plan.addEventListener("click", (e) => {
      const n = nearest(e);
      if (!n) return;
      const span = Math.min(v1 - v0, Math.max(MIN_SPAN, END / 20));
      setView(n.m - span / 2, span);
    });
  }

  const start = /^#(\d+)-(\d+)$/.exec(location.hash);
  if (start && Number(start[2]) > Number(start[1])) {
    const span = Math.min(END, Math.max(MIN_SPAN, start[2] - start[1]));
    v0 = Math.min(END - span, Math.max(0, Number(start[1])));
    v1 = v0 + span;
  }
  const t0 = performance.now();
  render();
  document.body.dataset.renderMs = (performance.now() - t0).toFixed(1);
  document.body.dataset.ready = "yes";
})();
