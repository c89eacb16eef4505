// The pair a command acts on: that of the file it was given (the
// explorer's or the editor title's), else of the active editor, else of the
// first description among the visible editors. Its open descriptions are
// saved first: the program reads the files, and compiles what the author
// sees.
'use strict';
const vscode = require('vscode');
const { pairOf } = require('./pair');

function isDescription(document) {
  return document && document.languageId === 'tratta' && document.uri.scheme === 'file';
}

function targetFile(uri) {
  if (uri instanceof vscode.Uri && uri.scheme === 'file') return uri.fsPath;
  const active = vscode.window.activeTextEditor;
  if (active && isDescription(active.document)) return active.document.uri.fsPath;
  const visible = vscode.window.visibleTextEditors.find((e) => isDescription(e.document));
  return visible ? visible.document.uri.fsPath : undefined;
}

// The pair, its descriptions saved; undefined once the author has been told
// why there is none.
async function pairForCommand(uri) {
  const file = targetFile(uri);
  if (!file) {
    vscode.window.showErrorMessage('tratta_valle3: open a line or train description first (NAME_linea.txt, NAME_NUMBER-.txt).');
    return undefined;
  }
  const pair = pairOf(file);
  if (pair.error) {
    vscode.window.showErrorMessage('tratta_valle3: ' + pair.error);
    return undefined;
  }
  for (const document of vscode.workspace.textDocuments) {
    if (!document.isDirty || document.uri.scheme !== 'file') continue;
    if (document.uri.fsPath !== pair.line && document.uri.fsPath !== pair.train) continue;
    if (!(await document.save())) {
      vscode.window.showErrorMessage(`tratta_valle3: ${document.uri.fsPath} could not be saved; nothing compiled.`);
      return undefined;
    }
  }
  return pair;
}

module.exports = { pairForCommand };
