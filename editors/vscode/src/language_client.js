// The language client: `tratta_valle3 lsp` for the descriptions (language
// "tratta"), its diagnostics in the Problems panel, its hover, completion,
// signature help and outline. Its messages share the extension's output.
'use strict';
const { LanguageClient } = require('vscode-languageclient/node');
const { SPAWN_OPTIONS } = require('./program');

function createClient(program, output) {
  return new LanguageClient(
    'tratta',
    'tratta_valle3',
    // The options go to the spawn as they are: no console window on Windows.
    { command: program, args: ['lsp'], options: { ...SPAWN_OPTIONS } },
    {
      documentSelector: [{ scheme: 'file', language: 'tratta' }],
      outputChannel: output,
    });
}

module.exports = { createClient };
