// Runs the glTF validator on each file named after the validator's folder and prints its
// errors and warnings. Exit status 0 when no file has an error, 1 otherwise, 2 when the
// validator cannot be loaded or a file cannot be read.
//   node gltf_validate.js TOOLS_DIR FILE.glb...
'use strict';
const fs = require('fs');
const path = require('path');

const [toolsDir, ...files] = process.argv.slice(2);
if (!toolsDir || files.length === 0) {
  console.error('usage: node gltf_validate.js TOOLS_DIR FILE.glb...');
  process.exit(2);
}
const validator = require(path.join(path.resolve(toolsDir), 'node_modules', 'gltf-validator'));
const severities = ['error', 'warning', 'info', 'hint'];

(async () => {
  let failed = 0;
  for (const file of files) {
    const data = new Uint8Array(fs.readFileSync(file));
    const report = await validator.validateBytes(data, { uri: path.basename(file), maxIssues: 100 });
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                `${issues.numInfos} infos, ${issues.numHints} hints`);
    for (const m of issues.messages) {
      if (m.severity <= 1) {
        console.log(`  ${severities[m.severity]} ${m.code}: ${m.message} ${m.pointer || ''}`);
      }
    }
    if (issues.numErrors > 0) {
      failed += 1;
    }
  }
  console.log(failed ? `FAIL: ${failed} of ${files.length} file(s) have errors`
                     : `PASS: ${files.length} file(s) without errors`);
  process.exit(failed ? 1 : 0);
})().catch((e) => {
  console.error(e);
  process.exit(2);
});
