"""code.py and code_configuration.py: the QR images decode back to what the
README documents."""

import os
import shutil
import subprocess
import unittest

from cabinet_folder import TOOLS, CabinetFolder


def run(script, *arguments):
    return subprocess.run(["/usr/bin/python3", os.path.join(TOOLS, script), *arguments],
                          capture_output=True).returncode


def decoded(image):
    """The text of the QR code in image, as zbarimg reads it."""
    result = subprocess.run(["zbarimg", "--raw", "-q", image], capture_output=True, text=True, check=True)
    return result.stdout.rstrip("\n")


@unittest.skipUnless(shutil.which("zbarimg"), "zbar-tools is not installed")
class CodeImages(CabinetFolder):
    def test_customer_code_holds_the_portal_address_with_the_code(self):
        self.assertEqual(run("code.py", "1234", "1"), 0)
        self.assertEqual(decoded("wificodes/1234.png"), "http://10.42.0.1/wifi?codigo=1234")
        self.configure("creditscoin1=1", "wifiportal=http://192.168.4.1/acceso")
        self.assertEqual(run("code.py", "0427", "-1"), 0)
        self.assertEqual(decoded("wificodes/0427.png"), "http://192.168.4.1/acceso?codigo=0427")
        self.assertEqual(self.read("wificodes/codigos.txt"), "1234 1\n0427 -1\n")

    def test_a_malformed_code_or_credit_count_makes_no_image(self):
        for arguments in (["12a4", "1"], ["../x", "1"], ["1234", "dos"], ["1234"]):
            self.assertNotEqual(run("code.py", *arguments), 0, arguments)
        self.assertFalse(os.path.exists("wificodes/1234.png"))

    def test_administrator_code_joins_the_cabinet_network(self):
        self.assertEqual(run("code_configuration.py"), 0)
        self.assertEqual(decoded("CONFIGURATION.png"), "WIFI:T:nopass;S:Melodeck;;")
        self.configure("wifissid=Rocola;Bar", "wifipassword=se:creto")
        self.assertEqual(run("code_configuration.py"), 0)
        self.assertEqual(decoded("CONFIGURATION.png"), r"WIFI:T:WPA;S:Rocola\;Bar;P:se\:creto;;")


if __name__ == "__main__":
    unittest.main()
