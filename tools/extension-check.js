// Driven by tools/test-editors: the VS Code package as unpacked from its
// .vsix, run in Node.js against a stand-in of the editor's API
// (tools/vscode-standin.js), with the program it carries underneath:
//   1. activated on a pair named otherwise than the built-in one (Valle_linea.txt,
//      Valle_12-.txt, in a folder with a blank and a non-ASCII letter), it
//      starts the carried program's language server, whose diagnostic
//      (code 7 on line 194 of the train description) and warning (line 19)
//      reach the Problems panel;
//   2. tratta.compile reports the code 7 in the status bar and opens the
//      Problems panel; once the author mends the record in the editor (not
//      saved), it saves the description and compiles it: the scenario's
//      files named after the pair in its folder, "compiled, 1 warning";
//   3. the problem matcher of the package's manifest reads compile's own
//      lines: the diagnostic as an error with its code, the warning;
//   4. tratta.openRoutePage starts the watch, opens its address in the
//      editor's browser view, the page answers there, and a save is
//      compiled by the watch and shown in the status bar; asked again,
//      the same address;
//   5. deactivate ends the watch (the address no longer answers) and the
//      language server: no carried program is left running;
//   6. no description open, or a program that does not exist: the author is
//      told, nothing runs.
//   node extension-check.js EXTENSION_DIR WORK_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const http = require('http');
const Module = require('module');
const { execFileSync } = require('child_process');
const { create } = require('./vscode-standin');

const [extensionDir, workDir] = process.argv.slice(2).map((p) => path.resolve(p));
const manifest = JSON.parse(fs.readFileSync(path.join(extensionDir, 'package.json'), 'utf8'));
const carried = path.join(extensionDir, 'bin', 'tratta_valle3');

let failures = 0;
function check(ok, what) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what);
  if (!ok) failures++;
  return ok;
}

async function until(what, predicate, ms = 10000) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    if (predicate()) return check(true, what);
    await new Promise((r) => setTimeout(r, 20));
  }
  return check(false, `${what} (waited ${ms / 1000} s)`);
}

function get(address) {
  return new Promise((resolve) => {
    http.get(address, (res) => {
      let body = '';
      res.on('data', (d) => (body += d));
      res.on('end', () => resolve({ status: res.statusCode, type: res.headers['content-type'], body }));
    }).on('error', (e) => resolve({ status: 0, error: e.code }));
  });
}

// The processes that run the carried program.
function carriedRunning() {
  const found = [];
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      if (fs.readlinkSync(`/proc/${pid}/exe`) === carried) found.push(pid);
    } catch (_) {
      // gone, or not ours to read
    }
  }
  return found;
}

// The extension loaded with `settings`, the stand-in its "vscode".
function load(settings) {
  const standin = create({ extensionPath: extensionDir, settings });
  const resolve = Module._resolveFilename;
  Module._resolveFilename = function (request, ...rest) {
    return request === 'vscode' ? 'vscode' : resolve.call(this, request, ...rest);
  };
  require.cache.vscode = { id: 'vscode', filename: 'vscode', loaded: true, exports: standin.vscode };
  const main = path.join(extensionDir, manifest.main);
  delete require.cache[require.resolve(main)];
  standin.extension = require(main);
  return standin;
}

(async () => {
  // The pair, from the built-in descriptions: a code abatement moved onto a
  // signal's segment (code 7, line 194), a mistyped keyword (line 19).
  const folder = path.join(workDir, 'città e binari');
  execFileSync(carried, ['emit', folder]);
  const line = path.join(folder, 'Valle_linea.txt');
  const train = path.join(folder, 'Valle_12-.txt');
  fs.renameSync(path.join(folder, 'Tratta_Valle3_linea.txt'), line);
  const builtIn = fs.readFileSync(path.join(folder, 'Tratta_Valle3_30-.txt'), 'latin1');
  fs.unlinkSync(path.join(folder, 'Tratta_Valle3_30-.txt'));
  const lines = builtIn.split('\r\n');
  lines[18] = lines[18].replace(/^velocita,/, 'velocta,');
  const broken = lines.join('\r\n').replace(/^abbattimento codice, 7250,270/m, 'abbattimento codice, 7300,270');
  if (!broken.includes('abbattimento codice, 7300,270') || !lines[18].startsWith('velocta,'))
    throw new Error('the built-in train description changed: no record to break');
  fs.writeFileSync(train, broken, 'latin1');

  // 1. Activation.
  const s = load({});
  const { state } = s;
  const trainDoc = s.open(train);
  s.open(line);
  s.open(train);
  await s.extension.activate(s.context);
  for (const name of ['tratta.compile', 'tratta.openRoutePage', 'tratta.stopRoutePage', 'tratta.program'])
    check(state.commands.has(name), `command ${name} registered`);
  const program = await s.vscode.commands.executeCommand('tratta.program');
  check(program === carried, `the program run is the one the package carries: ${program}`);
  check(carriedRunning().length === 1, 'its language server started');
  const problems = (file) => state.diagnostics.get(file) || [];
  await until('the diagnostic reaches the Problems panel', () => problems(train).some((d) => d.code === 7));
  const error = problems(train).find((d) => d.code === 7);
  check(error && error.range.start.line === 193 && error.severity === s.vscode.DiagnosticSeverity.Error,
    `code 7 as an error on line 194: ${error && error.message}`);
  check(problems(train).some((d) => d.range.start.line === 18 && d.severity === s.vscode.DiagnosticSeverity.Warning),
    'the mistyped keyword as a warning on line 19');

  // 2. Compile: the diagnostic, then the mended pair.
  const status = state.statusItems.find((i) => i.id === 'tratta.outcome');
  check(status && status.visible, 'the status-bar item shows with a description active');
  let o = await s.vscode.commands.executeCommand('tratta.compile');
  check(o && o.exit_status === 3 && o.codice_errore === 7, `compile: status ${o && o.exit_status}, code ${o && o.codice_errore}`);
  check(/code 7, Valle_12-\.txt:194/.test(status.text), `status bar: ${status.text}`);
  check(state.executed.some(([c]) => c === 'workbench.panel.markers.view.focus'), 'the Problems panel opened');
  check(state.output.join('').includes(`${train}:194: code 7: `), 'the output holds compile\'s diagnostic line');

  trainDoc.edit(trainDoc.getText().replace(/^abbattimento codice, 7300,270/m, 'abbattimento codice, 7250,270'));
  o = await s.vscode.commands.executeCommand('tratta.compile');
  check(!trainDoc.isDirty, 'the edited description saved before the compile');
  check(o && o.exit_status === 0, `compile of the mended pair: status ${o && o.exit_status} ${o && o.error || ''}`);
  const written = ['Valle_linea.dat', 'Valle_12.sim', 'Valle_12.dat'];
  check(written.every((f) => fs.existsSync(path.join(folder, f))), `${written.join(', ')} written beside the descriptions`);
  check(status.text.includes('compiled, 1 warning'), `status bar: ${status.text}`);
  await until('the mended code 7 leaves the Problems panel', () => !problems(train).some((d) => d.code === 7));

  // 3. The problem matcher, on compile's lines (the broken pair again).
  fs.writeFileSync(train, broken, 'latin1');
  const { pattern } = manifest.contributes.problemMatchers.find((m) => m.name === 'tratta');
  let printed = '';
  try {
    execFileSync(carried, ['compile', line, train, '--out', path.join(workDir, 'out')], { stdio: 'pipe' });
  } catch (e) {
    printed = e.stderr.toString();
  }
  const matched = printed.split('\n').map((l) => new RegExp(pattern.regexp).exec(l)).filter(Boolean)
    .map((m) => ({ file: m[pattern.file], line: m[pattern.line], severity: m[pattern.severity] || 'error',
      code: m[pattern.code] }));
  check(matched.length === 2 && matched[0].file === train && matched[0].line === '19' && matched[0].severity === 'warning' &&
    matched[1].file === train && matched[1].line === '194' && matched[1].code === '7' && matched[1].severity === 'error',
    `the problem matcher reads compile's warning and diagnostic: ${JSON.stringify(matched)}`);
  await trainDoc.save();

  // 4. The route page.
  const address = await s.vscode.commands.executeCommand('tratta.openRoutePage');
  check(/^http:\/\/127\.0\.0\.1:\d+\/$/.test(address || ''), `the route page served on ${address}`);
  check(state.opened.some(([where, a]) => where === 'editor' && a === address), 'opened in the editor\'s browser view');
  const page = await get(address);
  check(page.status === 200 && /^text\/html/.test(page.type) && page.body.includes('<html'),
    `the page answers at its address: ${page.status} ${page.type}, ${page.body.length} bytes`);
  check(state.contexts.get('tratta.routePageServed') === true, 'the stop command offered while it serves');
  await until('the watch\'s first compile in the status bar', () => /^route page, /.test(status.tooltip));
  const first = status.tooltip;
  trainDoc.edit(trainDoc.getText().replace('velocta,', 'velocita,'));
  await trainDoc.save();
  await until('a save compiled by the watch, in the status bar',
    () => status.tooltip !== first && /^route page, .*done: /.test(status.tooltip) && status.text.endsWith('compiled'));
  check(await s.vscode.commands.executeCommand('tratta.openRoutePage') === address, 'asked again: the same watch, the same address');

  // 5. The editor closes.
  await s.extension.deactivate();
  for (const d of s.context.subscriptions) d.dispose();
  check((await get(address)).status === 0, 'the watch ended with the editor: the address no longer answers');
  await until('no carried program left running', () => carriedRunning().length === 0, 5000);

  // 6. Nothing to compile, a program that is not there.
  const t = load({ 'tratta.path': path.join(workDir, 'no-such-program') });
  await t.extension.activate(t.context);
  check(t.state.messages.some(([kind, m]) => kind === 'error' && m.includes('did not start')),
    'a missing program: the language server is said not to start');
  check(await t.vscode.commands.executeCommand('tratta.compile') === undefined &&
    t.state.messages.some(([, m]) => m.includes('open a line or train description first')),
  'compile with no description open: the author is told');
  t.open(train);
  o = await t.vscode.commands.executeCommand('tratta.compile');
  check(o && o.exit_status === null && /no such program/.test(o.error) &&
    t.state.messages.some(([, m]) => m.includes('not compiled')),
  `compile with a program that is not there: ${o && o.error}`);
  await t.extension.deactivate();

  if (failures && state.missing.size) console.log(`     (members of the API the stand-in lacks: ${[...state.missing].join(', ')})`);
  console.log(failures ? `extension: ${failures} FAILED` : 'extension: passed');
  process.exit(failures ? 1 : 0);
})().catch((e) => {
  console.log('FAIL ' + (e.stack || e));
  process.exit(1);
});
