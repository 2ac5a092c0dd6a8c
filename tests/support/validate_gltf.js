// Checks a glTF or GLB file with the Khronos glTF validator and prints its findings: first the
// line "errors E warnings W infos I hints H", then one line per message.
// Usage: node validate_gltf.js VALIDATOR_PACKAGE_DIR FILE
'use strict';
const fs = require('fs');
const validator = require(process.argv[2]);
const bytes = new Uint8Array(fs.readFileSync(process.argv[3]));
const severities = ['error', 'warning', 'info', 'hint'];
validator.validateBytes(bytes, {maxIssues: 0, writeTimestamp: false}).then(
    (report) => {
        const i = report.issues;
        console.log(`errors ${i.numErrors} warnings ${i.numWarnings} infos ${i.numInfos} ` +
                    `hints ${i.numHints}`);
        for (const m of i.messages)
            console.log(`${severities[m.severity]} ${m.code} ${m.pointer || ''}: ${m.message}`);
    },
    (error) => {
        console.error(String(error));
        process.exit(1);
    });
