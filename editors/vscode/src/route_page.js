// The command tratta.openRoutePage: `watch LINE TRAIN --serve 0 --json`
// for the pair (one watch a pair, kept while the editor runs), its address
// (the first line it prints) opened in the editor's Simple Browser or the
// default browser. Each save of either description is compiled by the
// watch and its outcome shown in the status bar. The watches end with the
// editor (deactivate), or with tratta.stopRoutePage.
'use strict';
const readline = require('readline');
const vscode = require('vscode');
const { pairForCommand } = require('./command_target');
const { outputOptions } = require('./pair');
const { start, startFailure } = require('./program');
const { describe } = require('./outcome');

// How long the watch may take to serve; it serves before its first
// compile, so this is only its start.
const SERVE_WITHIN_MS = 20000;
// How long a stopped watch may take to finish a compile under way.
const STOP_WITHIN_MS = 3000;

class Watch {
  constructor(host, pair) {
    const program = host.program();
    const args = ['watch', pair.line, pair.train, ...outputOptions(pair), '--serve', '0', '--json'];
    host.output.appendLine(`> ${program} ${args.join(' ')}`);
    this.child = start(program, args, pair.folder);
    this.stopping = false;
    this.ended = new Promise((resolve) => {
      this.child.on('close', (status, signal) => resolve({ status, signal }));
      this.child.on('error', () => resolve({ status: null, signal: null }));
    });
    this.address = new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        reject(new Error(`the watch did not serve within ${SERVE_WITHIN_MS / 1000} s`));
        this.stop();
      }, SERVE_WITHIN_MS);
      this.child.on('error', (e) => {
        clearTimeout(timer);
        reject(new Error(startFailure(program, e)));
      });
      this.ended.then(({ status, signal }) => {
        clearTimeout(timer);
        reject(new Error(`the watch ended (${signal || 'status ' + status}) before it served`));
      });
      readline.createInterface({ input: this.child.stdout }).on('line', (text) => {
        let o;
        try {
          o = JSON.parse(text);
        } catch (_) {
          // below
        }
        if (!o || typeof o !== 'object') {
          host.output.appendLine(text);
          return;
        }
        if (typeof o.serving === 'string') {
          clearTimeout(timer);
          resolve(o.serving);
          return;
        }
        // An outcome: of a save, or the bad use that ends the watch at once.
        const d = describe(o);
        for (const line of d.lines) host.output.appendLine(`${o.time || ''} ${line}`.trim());
        host.status.show(o, 'route page');
        if (o.exit_status === 2) reject(new Error(d.lines[0]));
      });
    });
    readline.createInterface({ input: this.child.stderr }).on('line', (text) => host.output.appendLine(text));
  }

  // Ends the watch: SIGTERM lets it finish a compile under way (Windows has
  // no such signal for a program without a console: it is terminated).
  stop() {
    if (this.child.exitCode === null && this.child.signalCode === null && !this.stopping) {
      this.stopping = true;
      this.child.kill('SIGTERM');
      setTimeout(() => {
        if (this.child.exitCode === null && this.child.signalCode === null) this.child.kill('SIGKILL');
      }, STOP_WITHIN_MS).unref();
    }
    return this.ended;
  }
}

class RoutePages {
  constructor(host) {
    this.host = host; // program(), output, status
    this.watches = new Map();
  }

  // The address opened, or undefined when there was none to open.
  async execute(uri) {
    const pair = await pairForCommand(uri);
    if (!pair) return undefined;
    const key = pair.line + '\n' + pair.train;
    let watch = this.watches.get(key);
    if (!watch) {
      watch = new Watch(this.host, pair);
      this.watches.set(key, watch);
      this.served();
      watch.ended.then(({ status, signal }) => {
        if (this.watches.get(key) === watch) this.watches.delete(key);
        this.served();
        if (!watch.stopping && status !== 0)
          this.host.output.appendLine(`the watch of ${pair.train} ended (${signal || 'status ' + status})`);
      });
    }
    let address;
    try {
      address = await watch.address;
    } catch (e) {
      vscode.window.showErrorMessage('tratta_valle3: the route page is not served: ' + e.message, 'Show Output')
        .then((choice) => choice && this.host.output.show(true));
      return undefined;
    }
    await this.open(address);
    return address;
  }

  async open(address) {
    const uri = await vscode.env.asExternalUri(vscode.Uri.parse(address));
    const where = vscode.workspace.getConfiguration('tratta').get('routePage.openIn');
    if (where !== 'browser') {
      try {
        await vscode.commands.executeCommand('simpleBrowser.show', uri.toString(true));
        return;
      } catch (_) {
        // An editor without the Simple Browser: the default browser.
      }
    }
    if (!(await vscode.env.openExternal(uri)))
      vscode.window.showInformationMessage(`tratta_valle3: the route page is served on ${address}`);
  }

  served() {
    const serving = this.watches.size > 0;
    vscode.commands.executeCommand('setContext', 'tratta.routePageServed', serving).then(undefined, () => undefined);
    this.host.status.setServing(serving);
  }

  // Every watch ended.
  async stopAll() {
    const watches = [...this.watches.values()];
    await Promise.all(watches.map((w) => w.stop()));
  }

  dispose() {
    return this.stopAll();
  }
}

module.exports = { RoutePages };
