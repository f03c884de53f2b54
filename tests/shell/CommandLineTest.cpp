// melodeck's own options: --help, --version, and the refusal of any other.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "platform/Processes.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Runs the jukebox program with one argument, standard output and error
// together in "output.txt" of the current folder; its exit code.
int RunWithOption(const std::string& option) {
  platform::OutputOptions output;
  output.stdoutFile = "output.txt";
  return platform::RunAndWait({"/bin/sh", "-c", "exec \"$0\" \"$1\" 2>&1", MELODECK_BINARY, option}, output);
}

}  // namespace

TEST(CommandLineProgram, HelpAndVersionPrintAndExitWithoutStarting) {
  TempDir folder;
  EXPECT_EQ(RunWithOption("--help"), 0);
  EXPECT_EQ(ReadHostFile("output.txt").rfind("Usage: melodeck", 0), 0u) << ReadHostFile("output.txt");
  EXPECT_EQ(RunWithOption("--version"), 0);
  EXPECT_TRUE(std::regex_match(ReadHostFile("output.txt"), std::regex("melodeck \\d+\\.\\d+\\.\\d+\n")))
      << ReadHostFile("output.txt");
  EXPECT_FALSE(fs::exists("shutdowncheck"));
}

TEST(CommandLineProgram, UnknownOptionIsRefusedWithTheUsage) {
  TempDir folder;
  EXPECT_EQ(RunWithOption("--kiosk"), 2);
  const std::string output = ReadHostFile("output.txt");
  EXPECT_EQ(output.rfind("melodeck: unknown option --kiosk\nUsage: melodeck", 0), 0u) << output;
  EXPECT_EQ(output.find("Directorio actual"), std::string::npos) << "the option was taken for a folder";
}
