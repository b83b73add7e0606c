// A static file server for the site, for `tools/build-web serve`, the
// browser tests and the benchmark. It serves as a real static host does:
// brotli or gzip when the browser takes them, an ETag to revalidate with,
// and no-cache, so a browser asks again on each visit and gets 304 while a
// file is unchanged. Any static web host serves the site as well.
//   node web/serve.mjs <site folder> [port]
import { createServer } from 'node:http';
import { createHash } from 'node:crypto';
import { readdir, readFile, stat } from 'node:fs/promises';
import { extname, join, normalize, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.wav': 'audio/wav',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};
// Sounds and pictures are compressed already, or gain too little.
const COMPRESSED = new Set(['.html', '.js', '.css', '.wasm', '.svg', '.webmanifest']);

// Each file's bytes, compressed forms and tag, read once for each change of
// the file: compressing the game at brotli's best takes a moment.
const files = new Map();

async function load(file) {
  const info = await stat(file);
  const key = `${info.mtimeMs}:${info.size}`;
  const known = files.get(file);
  if (known && known.key === key) return known;
  const body = await readFile(file);
  const entry = {
    key,
    body,
    modified: info.mtime.toUTCString(),
    tag: '"' + createHash('sha1').update(body).digest('base64url').slice(0, 20) + '"',
  };
  if (COMPRESSED.has(extname(file))) {
    entry.br = brotliCompressSync(body, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } });
    entry.gzip = gzipSync(body, { level: 9 });
  }
  files.set(file, entry);
  return entry;
}

function encodingFor(request, entry) {
  const accepted = String(request.headers['accept-encoding'] || '');
  if (entry.br && /\bbr\b/.test(accepted)) return 'br';
  if (entry.gzip && /\bgzip\b/.test(accepted)) return 'gzip';
  return null;
}

// Serves `folder` on 127.0.0.1; port 0 takes any free port. Resolves to the
// server once it listens.
export async function serveSite(folder, port = 0) {
  const root = resolve(folder);
  // The site's own files, compressed before the first visitor asks.
  for (const name of await readdir(root).catch(() => [])) {
    if (COMPRESSED.has(extname(name))) await load(join(root, name)).catch(() => {});
  }
  const server = createServer(async (request, response) => {
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
    if (!file.startsWith(root)) {
      response.writeHead(403).end();
      return;
    }
    let entry;
    try {
      entry = await load(file);
    } catch {
      response.writeHead(404).end();
      return;
    }
    const headers = {
      'Content-Type': TYPES[extname(file)] || 'application/octet-stream',
      'Cache-Control': 'no-cache',
      'ETag': entry.tag,
      'Last-Modified': entry.modified,
    };
    if (entry.br) headers.Vary = 'Accept-Encoding';
    if (request.headers['if-none-match'] === entry.tag) {
      response.writeHead(304, headers).end();
      return;
    }
    const encoding = encodingFor(request, entry);
    const body = encoding ? entry[encoding] : entry.body;
    if (encoding) headers['Content-Encoding'] = encoding;
    headers['Content-Length'] = body.length;
    response.writeHead(200, headers);
    response.end(request.method === 'HEAD' ? undefined : body);
  });
  return new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [folder, port] = process.argv.slice(2);
  const server = await serveSite(folder || 'build-web/site', Number(port || 8080));
  console.log(`Quorrell is served on http://127.0.0.1:${server.address().port}/`);
}
