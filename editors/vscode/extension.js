// Starts `tratta_valle3 lsp` for the descriptions (language "tratta").
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function activate(context) {
  const command = vscode.workspace.getConfiguration('tratta').get('path') || 'tratta_valle3';
  client = new LanguageClient(
    'tratta',
    'tratta_valle3',
    { command, args: ['lsp'] },
    { documentSelector: [{ scheme: 'file', language: 'tratta' }] });
  context.subscriptions.push({ dispose: () => client && client.stop() });
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
