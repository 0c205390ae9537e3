#!/usr/bin/env node
// web-serve.mjs -- serves a folder of static files on the loopback address, as any static host
// would, and prints its address. usage: node scripts/web-serve.mjs FOLDER [PORT]  (PORT 0: any free)
// Imported by the smoke run, which starts it on a free port of its own.
import http from "node:http";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const TYPES = {
  ".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8", ".css": "text/css; charset=utf-8",
  ".wasm": "application/wasm", ".data": "application/octet-stream", ".json": "application/json",
  ".png": "image/png", ".bmp": "image/bmp",
};

export function serve(root, port = 0) {
  root = path.resolve(root);
  const server = http.createServer((request, response) => {
    let name = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
    if (name.endsWith("/"))
      name += "index.html";
    const file = path.join(root, path.normalize(name));
    if (!file.startsWith(root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.stat(file, (error, stat) => {
      if (error || !stat.isFile()) {
        response.writeHead(404, { "Content-Type": "text/plain" }).end("not found\n");
        return;
      }
      response.writeHead(200, { "Content-Type": TYPES[path.extname(file)] || "application/octet-stream",
                                "Content-Length": stat.size, "Cache-Control": "no-cache" });
      if (request.method === "HEAD")
        response.end();
      else
        fs.createReadStream(file).pipe(response);
    });
  });
  return new Promise((resolve, reject) => {
    server.once("error", reject);
    server.listen(port, "127.0.0.1", () => resolve(server));
  });
}

if (process.argv[1] && fileURLToPath(import.meta.url) === path.resolve(process.argv[1])) {
  const [root, port] = process.argv.slice(2);
  if (!root || !fs.existsSync(path.join(root, "index.html"))) {
    console.error("usage: web-serve.mjs FOLDER [PORT] (FOLDER holds index.html; make web writes build-web/site)");
    process.exit(2);
  }
  const server = await serve(root, Number(port || 8080));
  console.log(`Vorlash is served at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
}
