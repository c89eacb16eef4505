// The status-bar item: the last outcome, of the compile command or of a
// save compiled by the route page's watch. Shown while a description is
// the active editor or a route page is served; a click shows the output.
'use strict';
const vscode = require('vscode');
const { describe } = require('./outcome');

class StatusItem {
  constructor() {
    this.item = vscode.window.createStatusBarItem('tratta.outcome', vscode.StatusBarAlignment.Left, 10);
    this.item.name = 'tratta_valle3';
    this.item.command = 'tratta.showOutput';
    this.item.text = '$(circle-outline) tratta_valle3';
    this.item.tooltip = 'No compile yet: tratta_valle3: Compile the Pair';
    this.serving = false;
    this.follow(vscode.window.activeTextEditor);
  }

  // Shown or hidden for the editor that became active.
  follow(editor) {
    const description = editor && editor.document && editor.document.languageId === 'tratta';
    if (description || this.serving) this.item.show();
    else this.item.hide();
  }

  setServing(serving) {
    this.serving = serving;
    this.follow(vscode.window.activeTextEditor);
  }

  busy(what) {
    this.item.text = `$(sync~spin) tratta_valle3: ${what}`;
    this.item.backgroundColor = undefined;
    this.item.show();
  }

  // `o`: compile's JSON object; `source`: what compiled it.
  show(o, source) {
    const d = describe(o);
    const warned = Array.isArray(o.warnings) && o.warnings.length > 0;
    const icon = !d.ok ? '$(error)' : warned ? '$(warning)' : '$(check)';
    const time = o.time || new Date().toTimeString().slice(0, 8);
    this.item.text = `${icon} tratta_valle3: ${d.brief}`;
    this.item.tooltip = `${source}, ${time}: ${d.lines[0]}`;
    this.item.backgroundColor = d.ok ? undefined : new vscode.ThemeColor('statusBarItem.errorBackground');
    this.item.show();
  }

  dispose() {
    this.item.dispose();
  }
}

module.exports = { StatusItem };
