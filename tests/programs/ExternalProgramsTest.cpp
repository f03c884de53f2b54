#include "programs/ExternalPrograms.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/Processes.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A stand-in program in the working directory that records its arguments.
void MakeRecordingProgram(const std::string& name) {
  WriteHostFile(name, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > args.txt\n");
  fs::permissions(name, fs::perms::owner_all);
}

}  // namespace

TEST(ExternalPrograms, CatalogueToolGetsItsArgumentAsIs) {
  TempDir dir;
  MakeRecordingProgram("configtool");
  EXPECT_EQ(RunCatalogueTool(RString("updatedb")), 0);
  EXPECT_EQ(ReadHostFile("args.txt"), "updatedb\n");
  EXPECT_EQ(RunCatalogueTool(RString("")), 0);
  EXPECT_EQ(ReadHostFile("args.txt"), "");
}

TEST(ExternalPrograms, TextArgumentsReachScriptsAsUtf8AndUnquoted) {
  TempDir dir;
  WriteHostFile("ytsearch.py", "import sys\nopen('args.txt','w').write('|'.join(sys.argv[1:]))\n");
  platform::RunAndWait(OnlineSearchCommand(RString("canci\xF3n \"; touch pwned; \"")));
  EXPECT_EQ(ReadHostFile("args.txt"), "canci\xC3\xB3n \"; touch pwned; \"");
  EXPECT_FALSE(fs::exists("pwned"));
}
