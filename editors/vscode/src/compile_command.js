// The command tratta.compile: compile LINE TRAIN --json for the pair, the
// scenario's files written into the pair's folder and named after it. The
// language server shows the diagnostic and the warnings of the saved pair
// in the Problems panel; the outcome goes to the status bar and the
// output, and a failure that is no problem of the descriptions (bad use,
// the system) to a message too.
'use strict';
const vscode = require('vscode');
const { pairForCommand } = require('./command_target');
const { outputOptions } = require('./pair');
const { run } = require('./program');
const { describe, outcomeOfRun } = require('./outcome');

class CompileCommand {
  constructor(host) {
    this.host = host; // program(), output, status
    this.running = new Map(); // one compile of a pair at a time
  }

  // The outcome (compile's JSON object), or undefined when there was no
  // pair to compile.
  async execute(uri) {
    const pair = await pairForCommand(uri);
    if (!pair) return undefined;
    const key = pair.line + '\n' + pair.train;
    if (!this.running.has(key)) {
      this.running.set(key, this.compile(pair).finally(() => this.running.delete(key)));
    }
    return this.running.get(key);
  }

  async compile(pair) {
    const { output, status } = this.host;
    const program = this.host.program();
    const args = ['compile', pair.line, pair.train, ...outputOptions(pair), '--json'];
    status.busy('compiling');
    output.appendLine(`> ${program} ${args.join(' ')}`);
    const r = await run(program, args, pair.folder);
    const o = outcomeOfRun(r);
    // compile prints its warnings and its diagnostic on stderr as an author
    // reads them; a failure to start has only its reason.
    if (r.stderr) output.append(r.stderr.endsWith('\n') ? r.stderr : r.stderr + '\n');
    const d = describe(o);
    output.appendLine(d.lines[0]);
    status.show(o, 'compile');
    if (o.exit_status === 3 || o.exit_status === 1) {
      vscode.commands.executeCommand('workbench.panel.markers.view.focus').then(undefined, () => undefined);
    } else if (!d.ok) {
      vscode.window.showErrorMessage('tratta_valle3: not compiled: ' + d.lines[0], 'Show Output')
        .then((choice) => choice && output.show(true));
    }
    return o;
  }
}

module.exports = { CompileCommand };
