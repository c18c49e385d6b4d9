// Validates glTF files with the Khronos validator and prints each file's
// number of errors; exits with 1 when any file has errors.
//   node tools/gltf_validate.mjs FILE...   (NODE_PATH names the folder holding gltf-validator)
import { readFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import path from 'node:path';

const require = createRequire(path.join(process.env.MODRA_NPM_PREFIX ?? process.cwd(), 'x.js'));
const validator = require('gltf-validator');

let failed = false;
for (const file of process.argv.slice(2)) {
  const bytes = new Uint8Array(await readFile(file));
  // Textures written beside a .gltf are read from its folder.
  const report = await validator.validateBytes(bytes, {
    uri: file,
    externalResourceFunction: (uri) =>
      readFile(path.resolve(path.dirname(file), decodeURIComponent(uri))).then(
        (b) => new Uint8Array(b)),
  });
  const errors = report.issues.numErrors;
  console.log(`${file}: ${errors} errors, ${report.issues.numWarnings} warnings`);
  if (errors > 0) {
    failed = true;
    for (const m of report.issues.messages)
      if (m.severity === 0) console.log(`  ${m.code} ${m.pointer ?? ''}: ${m.message}`);
  }
}
process.exit(failed ? 1 : 0);
