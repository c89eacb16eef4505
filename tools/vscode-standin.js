// A stand-in of the editor's API (the module "vscode") for
// tools/extension-check.js: enough of it for the extension and its
// language client to run in plain Node.js with the real program under
// them. Documents are files read as Windows-1252 (the descriptions' own
// code page); what the editor would show is recorded in `state`: the
// diagnostics by file, the commands run, the messages, the status-bar
// items, the output, the addresses opened. An event of the API is an
// emitter that the test fires; any other member it lacks is noted in
// state.missing and stands in as a no-op.
'use strict';
const fs = require('fs');
const path = require('path');
const url = require('url');

const decoder = new TextDecoder('windows-1252');
// Windows-1252's 0x80 to 0x9F, by character, for saving text back.
const HIGH = new Map(Array.from({ length: 32 }, (_, i) => [decoder.decode(Uint8Array.of(0x80 + i)), 0x80 + i]));

function encode1252(text) {
  return Buffer.from(Array.from(text, (c) => {
    const code = c.codePointAt(0);
    if (HIGH.has(c)) return HIGH.get(c);
    if (code > 0xff) throw new Error(`'${c}' has no Windows-1252 form`);
    return code;
  }));
}

function create({ extensionPath, settings = {} }) {
  const state = {
    missing: new Set(),
    commands: new Map(),
    executed: [],
    messages: [],
    statusItems: [],
    output: [],
    opened: [],
    diagnostics: new Map(), // fsPath -> [Diagnostic]
    contexts: new Map(),
  };

  class Disposable {
    constructor(f) { this.f = f; }
    static from(...ds) { return new Disposable(() => ds.forEach((d) => d && d.dispose && d.dispose())); }
    dispose() { if (this.f) this.f(); this.f = undefined; }
  }

  class EventEmitter {
    constructor() {
      this.listeners = new Set();
      this.event = (listener, thisArg) => {
        const l = listener.bind(thisArg);
        this.listeners.add(l);
        return new Disposable(() => this.listeners.delete(l));
      };
    }
    fire(e) { for (const l of [...this.listeners]) l(e); }
    dispose() { this.listeners.clear(); }
  }

  class Uri {
    constructor(scheme, p) { this.scheme = scheme; this.path = p; this.fsPath = p; this.authority = ''; this.query = ''; this.fragment = ''; this.href = undefined; }
    static file(p) { return new Uri('file', path.resolve(p)); }
    static parse(s) {
      if (s.startsWith('file:')) return new Uri('file', url.fileURLToPath(s));
      const u = new Uri(s.slice(0, s.indexOf(':')), s);
      u.href = s;
      return u;
    }
    toString() { return this.href || url.pathToFileURL(this.fsPath).href; }
    toJSON() { return this.toString(); }
    with() { return this; }
  }

  class Position {
    constructor(line, character) { this.line = line; this.character = character; }
  }
  class Range {
    constructor(a, b, c, d) {
      if (typeof a === 'number') { this.start = new Position(a, b); this.end = new Position(c, d); }
      else { this.start = a; this.end = b; }
    }
  }
  class Location { constructor(uri, range) { this.uri = uri; this.range = range; } }
  class Diagnostic {
    constructor(range, message, severity = 0) { this.range = range; this.message = message; this.severity = severity; }
  }
  class MarkdownString {
    constructor(value = '') { this.value = value; }
    appendMarkdown(v) { this.value += v; return this; }
    appendText(v) { this.value += v; return this; }
    appendCodeblock(v) { this.value += '\n```\n' + v + '\n```\n'; return this; }
  }
  class ThemeColor { constructor(id) { this.id = id; } }
  class CancellationError extends Error {}
  class CancellationTokenSource {
    constructor() {
      const emitter = new EventEmitter();
      this.token = { isCancellationRequested: false, onCancellationRequested: emitter.event };
      this.cancel = () => { this.token.isCancellationRequested = true; emitter.fire(); };
    }
    dispose() {}
  }
  // Classes the client only tests against or builds for replies.
  const plain = () => class { constructor(...args) { this.args = args; } };

  class TextDocument {
    constructor(file) {
      this.uri = Uri.file(file);
      this.fileName = this.uri.fsPath;
      this.languageId = /(_linea|_[^_]*-)\.txt$/.test(file) ? 'tratta' : 'plaintext';
      this.version = 1;
      this.isDirty = false;
      this.isClosed = false;
      this.isUntitled = false;
      this.eol = 2;
      this.text = decoder.decode(fs.readFileSync(file));
    }
    getText() { return this.text; }
    get lineCount() { return this.text.split('\n').length; }
    lineAt(n) { const t = this.text.split('\n')[n].replace(/\r$/, ''); return { text: t, range: new Range(n, 0, n, t.length) }; }
    // An edit in the editor: the whole text replaced, not saved.
    edit(text) {
      this.text = text;
      this.version++;
      this.isDirty = true;
      events.workspace.onDidChangeTextDocument.fire({
        document: this, contentChanges: [{ text, range: new Range(0, 0, this.lineCount, 0), rangeOffset: 0, rangeLength: 0 }],
        reason: undefined });
    }
    async save() {
      fs.writeFileSync(this.fileName, encode1252(this.text));
      this.isDirty = false;
      events.workspace.onDidSaveTextDocument.fire(this);
      return true;
    }
  }

  const events = { workspace: {}, window: {} };
  // An object whose events are emitters and whose other missing members
  // are noted and do nothing.
  function namespace(name, members) {
    return new Proxy(members, {
      get(target, key) {
        if (key in target || typeof key === 'symbol') return target[key];
        if (/^on(Did|Will)/.test(key)) {
          events[name] = events[name] || {};
          events[name][key] = events[name][key] || new EventEmitter();
          return events[name][key].event;
        }
        if (/^register/.test(key)) return () => new Disposable();
        state.missing.add(`${name}.${String(key)}`);
        return () => new Disposable();
      },
    });
  }
  for (const e of ['onDidOpenTextDocument', 'onDidCloseTextDocument', 'onDidChangeTextDocument', 'onDidSaveTextDocument',
    'onDidChangeConfiguration'])
    events.workspace[e] = new EventEmitter();
  events.window.onDidChangeActiveTextEditor = new EventEmitter();

  const textDocuments = [];
  function configuration(section) {
    return {
      get: (key, fallback) => {
        const k = section ? `${section}.${key}` : key;
        return k in settings ? settings[k] : fallback;
      },
      has: (key) => `${section}.${key}` in settings,
      inspect: () => undefined,
      update: async () => undefined,
    };
  }

  const providers = new Map();
  const languages = namespace('languages', {
    match(selector, document) {
      const list = Array.isArray(selector) ? selector : [selector];
      return list.some((s) => typeof s === 'string' ? s === document.languageId
        : (!s.language || s.language === document.languageId) && (!s.scheme || s.scheme === document.uri.scheme)) ? 10 : 0;
    },
    createDiagnosticCollection(name) {
      return {
        name,
        set(uri, diagnostics) {
          if (Array.isArray(uri)) { for (const [u, d] of uri) this.set(u, d); return; }
          state.diagnostics.set(uri.fsPath, diagnostics || []);
        },
        delete(uri) { state.diagnostics.delete(uri.fsPath); },
        clear() { state.diagnostics.clear(); },
        forEach() {},
        get(uri) { return state.diagnostics.get(uri.fsPath); },
        has(uri) { return state.diagnostics.has(uri.fsPath); },
        dispose() {},
      };
    },
    registerHoverProvider(selector, provider) { providers.set('hover', provider); return new Disposable(); },
  });

  const window = namespace('window', {
    activeTextEditor: undefined,
    visibleTextEditors: [],
    tabGroups: { all: [], onDidChangeTabs: new EventEmitter().event, onDidChangeTabGroups: new EventEmitter().event },
    createOutputChannel(name) {
      return {
        name,
        append: (t) => state.output.push(t),
        appendLine: (t) => state.output.push(t + '\n'),
        replace: () => {}, clear: () => {}, show: () => {}, hide: () => {}, dispose: () => {},
      };
    },
    createStatusBarItem(id, alignment, priority) {
      const item = { id, alignment, priority, text: '', tooltip: '', visible: false,
        show() { this.visible = true; }, hide() { this.visible = false; }, dispose() {} };
      state.statusItems.push(item);
      return item;
    },
    showErrorMessage: async (m) => { state.messages.push(['error', m]); return undefined; },
    showWarningMessage: async (m) => { state.messages.push(['warning', m]); return undefined; },
    showInformationMessage: async (m) => { state.messages.push(['information', m]); return undefined; },
    withProgress: async (options, task) => task({ report() {} }, new CancellationTokenSource().token),
  });

  const vscode = {
    version: '1.82.0',
    Disposable, EventEmitter, Uri, Position, Range, Location, Diagnostic, MarkdownString, ThemeColor,
    CancellationError, CancellationTokenSource,
    DiagnosticSeverity: { Error: 0, Warning: 1, Information: 2, Hint: 3 },
    DiagnosticTag: { Unnecessary: 1, Deprecated: 2 },
    StatusBarAlignment: { Left: 1, Right: 2 },
    ProgressLocation: { SourceControl: 1, Window: 10, Notification: 15 },
    ConfigurationTarget: { Global: 1, Workspace: 2, WorkspaceFolder: 3 },
    TextDocumentSaveReason: { Manual: 1, AfterDelay: 2, FocusOut: 3 },
    NotebookCellKind: { Markup: 1, Code: 2 },
    TabInputText: plain(), TabInputTextDiff: plain(), TabInputCustom: plain(), TabInputNotebook: plain(),
    DiagnosticRelatedInformation: plain(), CodeAction: plain(), Hover: plain(),
    workspace: namespace('workspace', {
      textDocuments,
      notebookDocuments: [],
      workspaceFolders: undefined,
      getConfiguration: configuration,
      getWorkspaceFolder: () => undefined,
      createFileSystemWatcher: () => ({ onDidCreate: () => new Disposable(), onDidChange: () => new Disposable(),
        onDidDelete: () => new Disposable(), dispose() {} }),
    }),
    window,
    languages,
    env: {
      appName: 'stand-in', language: 'en', machineId: 'stand-in', sessionId: 'stand-in', uiKind: 1,
      asExternalUri: async (u) => u,
      openExternal: async (u) => { state.opened.push(['external', u.toString()]); return true; },
    },
    commands: {
      registerCommand(name, f) {
        state.commands.set(name, f);
        return new Disposable(() => state.commands.delete(name));
      },
      async executeCommand(name, ...args) {
        state.executed.push([name, ...args]);
        if (name === 'setContext') { state.contexts.set(args[0], args[1]); return undefined; }
        if (name === 'simpleBrowser.show') { state.opened.push(['editor', args[0]]); return undefined; }
        const f = state.commands.get(name);
        return f ? f(...args) : undefined;
      },
      getCommands: async () => [...state.commands.keys()],
    },
  };
  const api = new Proxy(vscode, {
    get(target, key) {
      if (!(key in target) && typeof key === 'string' && key !== 'then' && key !== '__esModule') {
        state.missing.add(key);
        target[key] = plain();
      }
      return target[key];
    },
  });

  // Opens `file` in an editor, made the active one.
  function open(file) {
    let document = textDocuments.find((d) => d.fileName === path.resolve(file));
    if (!document) {
      document = new TextDocument(file);
      textDocuments.push(document);
      events.workspace.onDidOpenTextDocument.fire(document);
    }
    const editor = { document, selection: undefined };
    window.activeTextEditor = editor;
    window.visibleTextEditors = [editor];
    events.window.onDidChangeActiveTextEditor.fire(editor);
    return document;
  }

  const context = {
    extensionPath,
    extensionUri: Uri.file(extensionPath),
    subscriptions: [],
    globalState: { get: () => undefined, update: async () => undefined, keys: () => [] },
    workspaceState: { get: () => undefined, update: async () => undefined, keys: () => [] },
    asAbsolutePath: (p) => path.join(extensionPath, p),
    logUri: Uri.file(extensionPath),
    storageUri: undefined,
    globalStorageUri: Uri.file(extensionPath),
  };

  return { vscode: api, state, context, open, providers, events };
}

module.exports = { create };
