// Shrinks a program's JavaScript after Emscripten wrote it: Debian's Emscripten has no Closure
// compiler, so its output keeps every local name and dead branch (a third of the file).
// Terser renames locals and drops dead code; names at the top level (the program's factory),
// Module's properties and the WebAssembly imports, all reached by string, stay as they are.
//   node minify_js.js FILE.js        (rewrites FILE.js; NODE_PATH must hold Debian's node modules)
'use strict';

const fs = require('node:fs');
const {minify} = require('terser');

const file = process.argv[2];
if (!file) {
  console.error('usage: node minify_js.js FILE.js');
  process.exit(2);
}
minify(fs.readFileSync(file, 'utf8'), {ecma: 2017, compress: {passes: 2}, mangle: true}).then((result) => {
  fs.writeFileSync(file, result.code);
}).catch((error) => {
  console.error(`minify_js.js: ${file}: ${error.message}`);
  process.exit(1);
});
