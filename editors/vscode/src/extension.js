// The extension for the line and train descriptions: the language client
// of `tratta_valle3 lsp`, the commands that compile the pair and open its
// route page, the status-bar item with the last outcome. It runs the
// program this package carries unless the setting tratta.path names
// another.
'use strict';
const vscode = require('vscode');
const { programPath, makeRunnable } = require('./program');
const { createClient } = require('./language_client');
const { StatusItem } = require('./status_item');
const { CompileCommand } = require('./compile_command');
const { RoutePages } = require('./route_page');

let client;
let pages;

async function startClient(host) {
  client = createClient(host.program(), host.output);
  try {
    await client.start();
  } catch (e) {
    host.output.appendLine(`the language server did not start: ${e.message}`);
    vscode.window.showErrorMessage(`tratta_valle3: the language server did not start (${host.program()}): ${e.message}`);
  }
}

async function activate(context) {
  const output = vscode.window.createOutputChannel('tratta_valle3');
  const status = new StatusItem();
  const host = {
    output,
    status,
    program() {
      const p = programPath(context.extensionPath);
      makeRunnable(p);
      return p;
    },
  };
  const compile = new CompileCommand(host);
  pages = new RoutePages(host);
  const command = (name, f) => vscode.commands.registerCommand(name, f);
  context.subscriptions.push(
    output,
    status,
    command('tratta.compile', (uri) => compile.execute(uri)),
    command('tratta.openRoutePage', (uri) => pages.execute(uri)),
    command('tratta.stopRoutePage', () => pages.stopAll()),
    command('tratta.showOutput', () => output.show(true)),
    command('tratta.program', () => host.program()),
    vscode.window.onDidChangeActiveTextEditor((editor) => status.follow(editor)),
    vscode.workspace.onDidChangeConfiguration(async (e) => {
      if (!e.affectsConfiguration('tratta.path')) return;
      // Another program: its server from now on.
      if (client) await client.stop().catch(() => undefined);
      await startClient(host);
    }));
  await startClient(host);
}

// The editor closes: the server and every watch end with it.
async function deactivate() {
  await Promise.all([
    client ? client.stop().catch(() => undefined) : undefined,
    pages ? pages.stopAll() : undefined,
  ]);
  client = undefined;
}

module.exports = { activate, deactivate };
