// The outcome of a compile (compile's --json object, or one line of
// watch --json) in words: one line as watch prints it, each warning as
// compile prints it, and the few words of the status bar.
'use strict';
const path = require('path');

function plural(n, word) {
  return `${n} ${word}${n === 1 ? '' : 's'}`;
}

// ok: the files were written; brief: for the status bar; lines: for the
// output.
function describe(o) {
  const warnings = Array.isArray(o.warnings) ? o.warnings : [];
  const counted = '; ' + plural(warnings.length, 'warning');
  const status = o.exit_status;
  let ok = false, brief, line;
  if (status === 0 || status === 5) {
    ok = true;
    brief = 'compiled' + (warnings.length ? ', ' + plural(warnings.length, 'warning') : '');
    line = `done: ${(o.files || []).join(' ')} written` + counted;
  } else if (status === 3) {
    const where = o.file ? `${o.file}${o.line ? ':' + o.line : ''}: ` : '';
    brief = `code ${o.codice_errore}` + (o.file ? `, ${path.basename(o.file)}${o.line ? ':' + o.line : ''}` : '');
    line = `${where}code ${o.codice_errore}: ${o.message}` + counted;
  } else if (status === 1) {
    brief = `Errore n. ${o.fatal}`;
    line = ` Errore n. ${o.fatal} (a stamp field was already taken); no file written` + counted;
  } else {
    brief = 'not compiled';
    line = o.error || o.message || `ended with status ${status}`;
  }
  const lines = [line, ...warnings.map((w) => `${w.file}:${w.line}: warning: ${w.message}`)];
  return { ok, brief, lines };
}

// The outcome printed by a run of compile --json, or, when the run printed
// none (it could not start, it was killed), one made of its failure.
function outcomeOfRun(r) {
  try {
    const o = JSON.parse(r.stdout);
    if (o && typeof o === 'object' && 'exit_status' in o) return o;
  } catch (_) {
    // below
  }
  const why = r.failure || r.stderr.trim() || `ended with status ${r.status} and printed no outcome`;
  return { exit_status: r.status, error: why, warnings: [], files: [] };
}

module.exports = { describe, outcomeOfRun };
