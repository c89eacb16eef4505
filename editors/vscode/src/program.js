// The tratta_valle3 program the extension runs: the one named by the
// setting tratta.path, else the one this package carries (bin/), else
// tratta_valle3 on the PATH. Every run goes through here, without a shell
// and, on Windows, without a console window of its own.
'use strict';
const fs = require('fs');
const path = require('path');
const { spawn } = require('child_process');
const vscode = require('vscode');

// What the package for each system carries: on Windows the console twin,
// which prints into pipes and gives its exit status.
const CARRIED = process.platform === 'win32' ? 'tratta_valle3.com' : 'tratta_valle3';

function programPath(extensionPath) {
  const configured = (vscode.workspace.getConfiguration('tratta').get('path') || '').trim();
  if (configured) return configured;
  const carried = path.join(extensionPath, 'bin', CARRIED);
  return fs.existsSync(carried) ? carried : 'tratta_valle3';
}

// The carried program must be executable; an installer that dropped the
// mode bits of the package's files is mended here, once.
function makeRunnable(program) {
  if (process.platform === 'win32' || !path.isAbsolute(program)) return;
  try {
    const mode = fs.statSync(program).mode;
    if ((mode & 0o111) === 0) fs.chmodSync(program, mode | 0o755);
  } catch (_) {
    // Reported by the first run that fails to start it.
  }
}

const SPAWN_OPTIONS = { windowsHide: true, shell: false };

function start(program, args, cwd) {
  return spawn(program, args, { ...SPAWN_OPTIONS, cwd, stdio: ['ignore', 'pipe', 'pipe'] });
}

// Runs the program to its end: { status, stdout, stderr }, status null and
// `failure` set when it could not be started or was ended by a signal.
function run(program, args, cwd) {
  return new Promise((resolve) => {
    let child;
    try {
      child = start(program, args, cwd);
    } catch (e) {
      resolve({ status: null, stdout: '', stderr: '', failure: e.message });
      return;
    }
    const out = [], err = [];
    child.stdout.on('data', (d) => out.push(d));
    child.stderr.on('data', (d) => err.push(d));
    child.on('error', (e) => resolve({ status: null, stdout: '', stderr: '', failure: startFailure(program, e) }));
    child.on('close', (status, signal) => resolve({
      status,
      stdout: Buffer.concat(out).toString('utf8'),
      stderr: Buffer.concat(err).toString('utf8'),
      failure: signal ? `ended by ${signal}` : undefined,
    }));
  });
}

function startFailure(program, e) {
  if (e && e.code === 'ENOENT') return `cannot start '${program}': no such program (see the setting tratta.path)`;
  return `cannot start '${program}': ${e && e.message}`;
}

module.exports = { programPath, makeRunnable, start, run, startFailure, SPAWN_OPTIONS };
