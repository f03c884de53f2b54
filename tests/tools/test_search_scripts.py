"""The on-line search and download scripts against a loopback server that
serves an RSS feed of results and the media files they point to."""
import http.server
import os
import subprocess
import sys
import tempfile
import threading
import unittest
import urllib.parse

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
PYTHON = "/usr/bin/python3"
MEDIA = b"\x00\x00\x00\x18ftypmp42" + bytes(range(256)) * 40
TITLES = ["Luna de Miel", '"; touch pwned; "', "$(id) y `id`"]


class Source(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        path = urllib.parse.urlparse(self.path)
        if path.path == "/buscar":
            items = "".join(f"<item><title>{title.replace('&', '&amp;').replace('<', '&lt;')}</title>"
                            f'<enclosure url="http://{self.headers["Host"]}/media/{n}.mp4" type="video/mp4"/>'
                            f"<guid>video{n}</guid></item>" for n, title in enumerate(TITLES))
            self.reply("application/rss+xml", f"<rss><channel><title>Buscar</title>{items}</channel></rss>".encode())
        elif path.path.startswith("/media/"):
            self.reply("video/mp4", MEDIA)
        else:
            self.send_error(404)

    def reply(self, kind, body):
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *arguments):
        pass


class SearchScripts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Source)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()

    def setUp(self):
        self.cabinet = tempfile.TemporaryDirectory()
        port = self.server.server_address[1]
        with open(os.path.join(self.cabinet.name, "configuration"), "w", encoding="cp1252") as configuration:
            configuration.write(f"mediacontent=media\r\nfavoritos=no\r\n"
                                f"busquedaenlinea=http://127.0.0.1:{port}/buscar?q={{text}}\r\n")

    def tearDown(self):
        self.cabinet.cleanup()

    def run_script(self, *arguments):
        return subprocess.run([PYTHON, os.path.join(TOOLS, arguments[0]), *arguments[1:]], cwd=self.cabinet.name,
                              capture_output=True, text=True, timeout=60)

    def path(self, *parts):
        return os.path.join(self.cabinet.name, *parts)

    def test_search_lists_five_lines_a_result_titles_as_text(self):
        self.assertEqual(self.run_script("ytsearch.py", "luna $(id)").returncode, 0)
        with open(self.path("results.txt"), encoding="cp1252", newline="") as results:
            lines = results.read().split("\r\n")
        self.assertEqual(len(lines), 5 * len(TITLES) + 1)
        self.assertEqual(lines[0::5][:len(TITLES)], TITLES)
        self.assertTrue(all(line for line in lines[:-1]), lines)
        self.assertIn("/media/0.mp4", lines[3])
        self.assertFalse(os.path.exists(self.path("pwned")))

    def test_download_stores_the_media_where_and_as_told_and_reports_it_done(self):
        # Names are plain text for the download tool, never its file name pattern.
        address = f"http://127.0.0.1:{self.server.server_address[1]}/media/2.mp4"
        folder = os.path.join("dosdevices", "d:", "musica", "Descargas")
        for name in ["[D] " + TITLES[2], "[D] %(id)s y %(title)s", "[D] 100% Pop %%", "[D] %s %d"]:
            with self.subTest(name=name):
                self.assertEqual(self.run_script("downloator.py", name, address, "22/18", "RAWMLDK", folder).returncode, 0)
                with open(self.path(folder, name + ".mp4"), "rb") as media:
                    self.assertEqual(media.read(), MEDIA)
                with open(self.path("downloadsprogress", name + ".mp4")) as progress:
                    self.assertEqual(progress.readline(), "100\n")

    def test_download_refuses_a_name_that_is_not_one_plain_file_name(self):
        address = f"http://127.0.0.1:{self.server.server_address[1]}/media/2.mp4"
        for name in ["a/b", "..", "[D] x..y", "[D] \x01", "[D] \x85", "", "x" * 201, "[D] \udcff\\"]:
            with self.subTest(name=name):
                self.assertEqual(self.run_script("downloator.py", name, address, "22/18", "RAWMLDK", "media").returncode, 2)
        self.assertFalse(os.path.exists(self.path("media")))
        self.assertFalse(os.path.exists(self.path("downloadsprogress")))

    def test_unreachable_source_fails_without_results(self):
        with open(self.path("configuration"), "w") as configuration:
            configuration.write("busquedaenlinea=http://127.0.0.1:9/buscar?q={text}\n")
        self.assertNotEqual(self.run_script("ytsearch.py", "luna").returncode, 0)
        self.assertFalse(os.path.exists(self.path("results.txt")))


if __name__ == "__main__":
    sys.exit(unittest.main())
