#include "shell/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "platform/Processes.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

CommandLineRequest Read(std::vector<std::string> words, std::string* refused = nullptr) {
  std::vector<char*> argv{const_cast<char*>("melodeck")};
  for (std::string& word : words) argv.push_back(word.data());
  const char* refusedOption = nullptr;
  const CommandLineRequest request = ReadCommandLine(static_cast<int>(argv.size()), argv.data(), refusedOption);
  if (refused != nullptr && refusedOption != nullptr) *refused = refusedOption;
  return request;
}

// Runs the jukebox program with one argument, standard output and error
// together in "output.txt" of the current folder; its exit code.
int RunWithOption(const std::string& option) {
  platform::OutputOptions output;
  output.stdoutFile = "output.txt";
  return platform::RunAndWait({"/bin/sh", "-c", "exec \"$0\" \"$1\" 2>&1", MELODECK_BINARY, option}, output);
}

}  // namespace

TEST(CommandLineRequest, FoldersAndTheUpdateWordRunTheJukebox) {
  EXPECT_EQ(Read({}), CommandLineRequest::RunJukebox);
  EXPECT_EQ(Read({"/srv/cabina"}), CommandLineRequest::RunJukebox);
  EXPECT_EQ(Read({"actualizar"}), CommandLineRequest::RunJukebox);
}

TEST(CommandLineRequest, HelpAndVersionInTheirLongAndShortForms) {
  EXPECT_EQ(Read({"--help"}), CommandLineRequest::ShowHelp);
  EXPECT_EQ(Read({"-h"}), CommandLineRequest::ShowHelp);
  EXPECT_EQ(Read({"--version"}), CommandLineRequest::ShowVersion);
  EXPECT_EQ(Read({"/srv/cabina", "-V"}), CommandLineRequest::ShowVersion);
}

TEST(CommandLineRequest, AnyOtherOptionIsRefused) {
  std::string refused;
  EXPECT_EQ(Read({"/srv/cabina", "--fullscreen"}, &refused), CommandLineRequest::RefuseOption);
  EXPECT_EQ(refused, "--fullscreen");
}

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
