// Driven by tools/test-editors: the editor package's TextMate grammar,
// tokenised with vscode-textmate and vscode-oniguruma (as the editor
// does), on the built-in descriptions. Each kind of record (the keywords
// of docs/descriptions.md) found there must have its keyword scoped as a
// record and its numbers as numbers; headings as sections.
//   node grammar-check.js MODULES GRAMMAR REFERENCE DESCRIPTION...
'use strict';
const fs = require('fs');
const path = require('path');
const [modsArg, grammarPath, referencePath, ...descriptions] = process.argv.slice(2);
const mods = path.resolve(modsArg);
const vsctm = require(path.join(mods, 'vscode-textmate'));
const onig = require(path.join(mods, 'vscode-oniguruma'));

const keywords = [...fs.readFileSync(referencePath, 'utf8').matchAll(/^#### (.+)$/gm)].map((m) => m[1]);
let failures = 0;
function check(ok, what) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what);
  if (!ok) failures++;
}

(async () => {
  await onig.loadWASM(fs.readFileSync(path.join(mods, 'vscode-oniguruma/release/onig.wasm')).buffer);
  const registry = new vsctm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (p) => new onig.OnigScanner(p),
      createOnigString: (s) => new onig.OnigString(s),
    }),
    loadGrammar: async (scope) =>
      scope === 'source.tratta' ? vsctm.parseRawGrammar(fs.readFileSync(grammarPath, 'utf8'), grammarPath) : null,
  });
  const grammar = await registry.loadGrammar('source.tratta');
  const seen = new Map();
  let headings = 0;
  for (const file of descriptions) {
    // Windows-1252, read byte for byte as the editor's code page shows it.
    const lines = fs.readFileSync(file, 'latin1').split('\r\n');
    let stack = vsctm.INITIAL;
    for (const line of lines) {
      const r = grammar.tokenizeLine(line, stack);
      stack = r.ruleStack;
      const scopesAt = (i) => (r.tokens.find((t) => t.startIndex <= i && i < t.endIndex) || { scopes: [] }).scopes;
      if (/^\s*\[[^\]]*\]/.test(line)) {
        headings++;
        if (!scopesAt(line.indexOf('[')).includes('entity.name.section.tratta'))
          check(false, 'heading scoped as a section: ' + line);
      }
      const comma = line.indexOf(',');
      if (comma < 0) continue;
      const keyword = line.slice(0, comma).trim();
      const kind = keywords.find((k) => keyword === k || keyword.startsWith(k));
      if (!kind) continue;
      const keywordScoped = scopesAt(line.indexOf(keyword)).includes('keyword.other.record.tratta');
      const m = /,\s*(-?\d+)\s*(,|$)/.exec(line);
      const numberScoped = !m || scopesAt(line.indexOf(m[1], comma)).includes('constant.numeric.tratta');
      const [n, bad] = seen.get(kind) || [0, 0];
      seen.set(kind, [n + 1, bad + (keywordScoped && numberScoped ? 0 : 1)]);
      if (!(keywordScoped && numberScoped)) console.log('     ' + line);
    }
  }
  check(headings > 0, `${headings} section headings scoped as sections`);
  for (const [kind, [n, bad]] of seen) check(bad === 0, `${kind}: ${n} records, keyword and numbers scoped`);
  check(seen.size >= 12, `${seen.size} kinds of record seen in the built-in descriptions`);
  process.exit(failures ? 1 : 0);
})().catch((e) => {
  console.error(e);
  process.exit(2);
});
