// A plain static server for the web build's site, on 127.0.0.1 only.
//   node scripts/serve.mjs <site folder> [port]      (port 0 or none: any free port)
// Prints "Serving <folder> at http://127.0.0.1:<port>/" once it listens. Also imported by the
// browser tests, which start it on a free port of their own.
import { createServer } from 'node:http';
import { createReadStream, statSync } from 'node:fs';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.bmp': 'image/bmp',
  '.mp3': 'audio/mpeg',
  '.txt': 'text/plain; charset=utf-8',
};

// The file a request names inside the site, or null for anything outside it or missing.
function fileFor(root, url) {
  const path = decodeURIComponent(new URL(url, 'http://localhost').pathname);
  const wanted = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
  if (wanted !== root && !wanted.startsWith(root + sep)) {
    return null;
  }
  try {
    return statSync(wanted).isFile() ? wanted : null;
  } catch {
    return null;
  }
}

export function serve(folder, port = 0) {
  const root = resolve(folder);
  const server = createServer((request, response) => {
    const file = request.method === 'GET' || request.method === 'HEAD'
      ? fileFor(root, request.url) : null;
    if (!file) {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('Not found\n');
      return;
    }
    response.writeHead(200, {
      'Content-Type': types[extname(file)] || 'application/octet-stream',
      'Content-Length': statSync(file).size,
      'Cache-Control': 'no-cache',
    });
    if (request.method === 'HEAD') {
      response.end();
      return;
    }
    createReadStream(file).pipe(response);
  });
  return new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [folder, port] = process.argv.slice(2);
  if (!folder) {
    console.error('usage: node scripts/serve.mjs <site folder> [port]');
    process.exit(2);
  }
  const server = await serve(folder, Number(port || 0));
  console.log(`Serving ${resolve(folder)} at http://127.0.0.1:${server.address().port}/`);
}
