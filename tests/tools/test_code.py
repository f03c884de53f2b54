"""code.py and code_configuration.py: the QR images decode back to what the
README documents."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
sys.path.insert(0, TOOLS)

import code_configuration  # noqa: E402


def decoded(image):
    """The text of the QR code in image, as zbarimg reads it."""
    result = subprocess.run(["zbarimg", "--raw", "-q", image], capture_output=True, text=True, check=True)
    return result.stdout.rstrip("\n")


class CabinetFolder(unittest.TestCase):
    def setUp(self):
        self.previous = os.getcwd()
        self.folder = tempfile.mkdtemp()
        os.chdir(self.folder)

    def tearDown(self):
        os.chdir(self.previous)
        shutil.rmtree(self.folder)

    def configure(self, *lines):
        with open("configuration", "w", encoding="cp1252") as out:
            out.write("".join(line + "\n" for line in lines))

    def run_script(self, name, *arguments):
        return subprocess.run(["/usr/bin/python3", os.path.join(TOOLS, name), *arguments],
                              capture_output=True, text=True)


@unittest.skipUnless(shutil.which("zbarimg"), "zbar-tools is not installed")
class CodeImages(CabinetFolder):
    def test_customer_code_holds_the_portal_address_with_the_code(self):
        self.configure("creditscoin1=1", "wifiportal=http://192.168.4.1/acceso", "playmode=jukebox")
        self.assertEqual(self.run_script("code.py", "0427", "2").returncode, 0)
        self.assertEqual(decoded("wificodes/0427.png"), "http://192.168.4.1/acceso?codigo=0427")
        self.assertEqual(self.run_script("code.py", "9310", "-1").returncode, 0)
        with open("wificodes/codigos.txt", encoding="ascii") as record:
            self.assertEqual(record.read(), "0427 2\n9310 -1\n")

    def test_portal_has_a_default(self):
        self.assertEqual(self.run_script("code.py", "1234", "1").returncode, 0)
        self.assertEqual(decoded("wificodes/1234.png"), "http://10.42.0.1/wifi?codigo=1234")

    def test_a_malformed_code_or_credit_count_makes_no_image(self):
        for arguments in (["12a4", "1"], ["../x", "1"], ["1234", "dos"], ["1234"]):
            with self.subTest(arguments=arguments):
                self.assertNotEqual(self.run_script("code.py", *arguments).returncode, 0)
        self.assertFalse(os.path.exists("wificodes/1234.png"))

    def test_administrator_code_joins_the_cabinet_network(self):
        self.configure("wifissid=Rocola;Bar", "wifipassword=se:creto")
        self.assertEqual(self.run_script("code_configuration.py").returncode, 0)
        self.assertEqual(decoded("CONFIGURATION.png"), r"WIFI:T:WPA;S:Rocola\;Bar;P:se\:creto;;")


class NetworkText(unittest.TestCase):
    def test_open_network_has_no_password(self):
        self.assertEqual(code_configuration.network_text({"wifissid": "Bar"}), "WIFI:T:nopass;S:Bar;;")
        self.assertEqual(code_configuration.network_text({}), "WIFI:T:nopass;S:Melodeck;;")


if __name__ == "__main__":
    unittest.main()
