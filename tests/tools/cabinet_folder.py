"""A fresh cabinet working directory for each test of the cabinet scripts."""

import os
import shutil
import sys
import tempfile
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
sys.path.insert(0, TOOLS)


class CabinetFolder(unittest.TestCase):
    def setUp(self):
        self.previous = os.getcwd()
        self.folder = tempfile.mkdtemp()
        os.chdir(self.folder)

    def tearDown(self):
        os.chdir(self.previous)
        shutil.rmtree(self.folder)

    @staticmethod
    def configure(*lines):
        with open("configuration", "w", encoding="cp1252") as out:
            out.write("".join(line + "\n" for line in lines))

    @staticmethod
    def read(name):
        with open(name, encoding="ascii") as text:
            return text.read()
