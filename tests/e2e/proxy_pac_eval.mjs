// Evaluates a PAC file with a real PAC evaluator (pac-resolver 7 on QuickJS; it runs on Debian bookworm's Node.js)
// and prints what FindProxyForURL returns: PAC_EVAL_MODULES=<node_modules directory> node proxy_pac_eval.mjs FILE URL
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';
import path from 'node:path';

const [file, url] = process.argv.slice(2);
const modules = path.resolve(process.env.PAC_EVAL_MODULES);
const load = (name) => {
  const resolved = createRequire(path.join(modules, 'x.js')).resolve(name);
  return import(pathToFileURL(resolved).href);
};
const { createPacResolver } = await load('pac-resolver');
const { getQuickJS } = await load('quickjs-emscripten');
const findProxyForURL = createPacResolver(await getQuickJS(), readFileSync(file));
console.log(await findProxyForURL(url));
