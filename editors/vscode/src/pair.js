// The pair of descriptions a file belongs to, by the names emit gives
// them and as the language server pairs them: NAME_linea.txt with
// NAME_NUMBER-.txt in the same folder (the first in order when there are
// several). The scenario's files take their names from the pair
// (--scenario NAME --train-number NUMBER) and go into its folder.
'use strict';
const fs = require('fs');
const path = require('path');

const LINE_END = '_linea.txt';
const TRAIN_END = '-.txt';

// In the byte order of the names' UTF-8, as the server sorts them.
function byBytes(a, b) {
  return Buffer.compare(Buffer.from(a), Buffer.from(b));
}

function trainsOf(folder, scenario) {
  let names;
  try {
    names = fs.readdirSync(folder);
  } catch (_) {
    return [];
  }
  const prefix = scenario + '_';
  return names
    .filter((n) => n.length > prefix.length + TRAIN_END.length && n.startsWith(prefix) && n.endsWith(TRAIN_END) &&
      !n.slice(prefix.length).includes('_'))
    .sort(byBytes);
}

// { line, train, folder, scenario, trainNumber }, or { error } when the
// file is no description or its partner is not there.
function pairOf(file) {
  const folder = path.dirname(file);
  const name = path.basename(file);
  if (name.endsWith(LINE_END) && name.length > LINE_END.length) {
    const scenario = name.slice(0, -LINE_END.length);
    const trains = trainsOf(folder, scenario);
    if (trains.length === 0)
      return { error: `no train description ${scenario}_NUMBER-.txt beside ${name} in ${folder}` };
    return described(folder, scenario, trains[0]);
  }
  const underscore = name.lastIndexOf('_');
  if (name.endsWith(TRAIN_END) && underscore > 0) return described(folder, name.slice(0, underscore), name);
  return { error: `${name} is no description: a line description is NAME_linea.txt, a train description NAME_NUMBER-.txt` };
}

function described(folder, scenario, trainName) {
  return {
    line: path.join(folder, scenario + LINE_END),
    train: path.join(folder, trainName),
    folder,
    scenario,
    trainNumber: trainName.slice(scenario.length + 1, -TRAIN_END.length),
  };
}

// The options that name the scenario's files and put them in its folder.
function outputOptions(pair) {
  return ['--out', pair.folder, '--scenario', pair.scenario, '--train-number', pair.trainNumber];
}

module.exports = { pairOf, outputOptions };
