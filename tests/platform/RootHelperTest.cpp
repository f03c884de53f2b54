#include "platform/RootHelper.h"

#include <gtest/gtest.h>

namespace {

using platform::Argv;

// Root runs the helper itself; anyone else only through sudo, which must
// not ask for a password the kiosk cannot type.
TEST(RootHelper, CommandRunsTheHelperDirectlyAsRootElseThroughSudo) {
  const std::string helper = "/usr/libexec/melodeck/melodeck-root";
  const struct {
    platform::RootRoute route;
    std::optional<Argv> command;
  } cases[] = {
      {{helper, true, ""}, Argv{helper, "wps", "wlan0"}},
      {{helper, false, "/usr/bin/sudo"}, Argv{"/usr/bin/sudo", "-n", helper, "wps", "wlan0"}},
      {{helper, false, ""}, std::nullopt},
      {{"", true, "/usr/bin/sudo"}, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::RootHelperCommand({"wps", "wlan0"}, c.route), c.command)
        << c.route.helper << " " << c.route.root << " " << c.route.sudo;
}

}  // namespace
