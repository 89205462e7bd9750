#!/usr/bin/python3
"""Serves a folder of static files on localhost, for trying the web build and for its tests,
with the headers a school's server sends it (docs name them): a strict Content-Security-Policy,
the types a browser needs, the program's files kept for good under their build's name and the
rest asked for again each time; and, as nginx's brotli_static and gzip_static do, a file's
compressed copy beside it (.br, else .gz) to a browser that takes it. Says the address on its
first line once it is listening.

    scripts/lanes/web/serve.py [--no-policy] FOLDER [PORT]
                                          PORT 0, or none: any free port; --no-policy: no
                                          Content-Security-Policy, for a page of Qt's own (its
                                          script is inline), as the start-up benchmark's bare window
"""
import functools
import http.server
import os
import sys
import urllib.parse

# No inline script or style, no eval; WebAssembly may be compiled; the page's own files only.
POLICY = ("default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self' data:; "
          "object-src 'none'; base-uri 'none'; frame-ancestors 'none'; form-action 'none'")


class Handler(http.server.SimpleHTTPRequestHandler):
    # WebAssembly is compiled as it downloads only when served as such.
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".js": "text/javascript", ".cur": "image/x-icon",
                      ".webmanifest": "application/manifest+json"}

    def send_head(self):
        # The file's compressed copy, when the browser takes it and it is there: sent as the file,
        # in that encoding.
        path = self.translate_path(self.path)
        if os.path.isdir(path) and self.path.split("?")[0].endswith("/"):
            path = os.path.join(path, "index.html")
        accepted = {part.split(";")[0].strip() for part in self.headers.get("Accept-Encoding", "").split(",")}
        self.encoding = None
        for encoding, suffix in (("br", ".br"), ("gzip", ".gz")):
            if encoding in accepted and os.path.isfile(path + suffix):
                self.encoding = encoding
                break
        if not self.encoding:
            return super().send_head()
        file = open(path + suffix, "rb")
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", self.encoding)
        self.send_header("Content-Length", str(os.fstat(file.fileno()).st_size))
        self.end_headers()
        return file

    def end_headers(self):
        # A file named with its build's name (?v=...) never changes; everything else (the page,
        # its service worker, the manifest) is asked for again, so a new deployment is seen.
        versioned = "v=" in urllib.parse.urlsplit(self.path).query
        self.send_header("Cache-Control", "public, max-age=31536000, immutable" if versioned else "no-cache")
        if self.server.policy:
            self.send_header("Content-Security-Policy", POLICY)
        self.send_header("X-Content-Type-Options", "nosniff")
        # What is sent depends on what the browser takes, for a cache between them too.
        self.send_header("Vary", "Accept-Encoding")
        self.send_header("Referrer-Policy", "no-referrer")
        super().end_headers()

    def log_message(self, format, *args):
        pass


def main():
    args = sys.argv[1:]
    policy = args[:1] != ["--no-policy"]
    if not policy:
        args = args[1:]
    folder = args[0]
    port = int(args[1]) if len(args) > 1 else 0
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Handler, directory=folder))
    server.policy = policy
    print(f"http://localhost:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
