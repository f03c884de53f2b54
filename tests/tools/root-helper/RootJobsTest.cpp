// The root helper does its fixed set of requests and refuses everything
// else, whatever the kiosk user passes.
#include <gtest/gtest.h>

#include "RootJobs.h"
#include "platform/Processes.h"

namespace {

using root_helper::Argv;

const root_helper::Context kContext{"/etc/wpa_supplicant/wpa_supplicant.conf",
                                    [](const std::string& name) { return name == "wlan0" || name == "wlp2s0"; }};

struct Refused {
  Argv request;
  std::string reason;
};

TEST(RootJobs, RefusesWhatIsNotARequestOfItsSet) {
  const Refused cases[] = {
      {{}, "no request"},
      {{"reboot"}, "unknown request"},
      {{"sh", "-c", "id"}, "unknown request"},
      {{"POWEROFF"}, "unknown request"},
      {{"poweroff", "now"}, "wrong number of arguments for poweroff"},
      {{"wifi-status", "wlan0"}, "wrong number of arguments for wifi-status"},
      {{"wps"}, "wrong number of arguments for wps"},
      {{"wps", "wlan0", "-c", "/tmp/mine.conf"}, "wrong number of arguments for wps"},
      {{"wps", "-c/tmp/mine.conf"}, "not an interface name"},
      {{"wps", ".."}, "not an interface name"},
      {{"wps", "../../etc"}, "not an interface name"},
      {{"wps", "wlan0;reboot"}, "not an interface name"},
      {{"wps", "wlan 0"}, "not an interface name"},
      {{"wps", ""}, "not an interface name"},
      {{"wps", "wlan0123456789ab"}, "not an interface name"},
      {{"wps", "wlan1"}, "no network interface wlan1"},
  };
  for (const Refused& c : cases) {
    std::string refusal;
    EXPECT_FALSE(root_helper::PlanJob(c.request, kContext, refusal)) << testing::PrintToString(c.request);
    EXPECT_EQ(refusal, c.reason) << testing::PrintToString(c.request);
  }
}

TEST(RootJobs, WpsStartsTheSupplicantWithTheSiteConfigurationOnly) {
  std::string refusal;
  const auto steps = root_helper::PlanJob({"wps", "wlp2s0"}, kContext, refusal);
  ASSERT_TRUE(steps);
  ASSERT_EQ(steps->size(), 3u);
  EXPECT_TRUE((*steps)[0].mayFail) << "no supplicant may run yet";
  EXPECT_EQ((*steps)[1].argv,
            (Argv{"wpa_supplicant", "-B", "-i", "wlp2s0", "-c", "/etc/wpa_supplicant/wpa_supplicant.conf"}));
  EXPECT_EQ((*steps)[2].argv, (Argv{"wpa_cli", "-i", "wlp2s0", "wps_pbc"}));

  root_helper::Context unset = kContext;
  unset.wpaConfig = "";
  EXPECT_FALSE(root_helper::PlanJob({"wps", "wlan0"}, unset, refusal));
  EXPECT_EQ(refusal, "no valid wpaconfig in /etc/melodeck/root-helper");
}

TEST(RootJobs, SiteSettingNamesAnAbsolutePathThatDoesNotClimb) {
  const std::pair<const char*, const char*> cases[] = {
      {"# comment\nwpaconfig=/etc/wpa.conf\n", "/etc/wpa.conf"},
      {"wpaconfig=/etc/a.conf\nwpaconfig=/etc/b.conf\n", "/etc/b.conf"},
      {"wpaconfig=wpa.conf\n", ""},
      {"wpaconfig=/etc/../home/jukebox/wpa.conf\n", ""},
      {"wpaconfig=/etc/..\n", ""},
      {"#wpaconfig=/etc/wpa.conf\n", ""},
      {"", ""},
  };
  for (const auto& [settings, path] : cases) EXPECT_EQ(root_helper::WpaConfigSetting(settings), path) << settings;
}

// The program itself: a refusal runs nothing and exits 2.
TEST(RootJobs, ProgramRefusesWithExitCode2) {
  for (const Argv& request : {Argv{"reboot"}, Argv{"wps", "$(id)"}, Argv{"sh", "-c", "id"}}) {
    Argv argv{ROOT_HELPER_PROGRAM};
    argv.insert(argv.end(), request.begin(), request.end());
    EXPECT_EQ(platform::RunAndWait(argv, {"/dev/null", true}), 2) << testing::PrintToString(request);
  }
  EXPECT_EQ(platform::RunAndWait({ROOT_HELPER_PROGRAM, "--help"}, {"/dev/null", true}), 0);
}

}  // namespace
