// The video window as a real X11 child of SDL's window, on a virtual X
// server started by the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "SDLGuiTestCabinet.h"
#include "platform/Processes.h"

// Last: Xlib's macros (None, Bool) clash with names of the test framework.
#include <X11/Xlib.h>

namespace {

namespace fs = std::filesystem;

// A free display number: no socket and no lock file of an X server. The
// search starts at a number of this process's own, so that tests running
// side by side do not pick the same one.
int FreeDisplayNumber() {
  const int first = 100 + getpid() % 500;
  for (int n = first; n < first + 300; ++n) {
    const std::string number = std::to_string(n);
    if (!fs::exists("/tmp/.X11-unix/X" + number) && !fs::exists("/tmp/.X" + number + "-lock"))
      return n;
  }
  return -1;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    hadValue_ = old != nullptr;
    if (hadValue_) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (hadValue_)
      setenv(name_, old_.c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::string old_;
  bool hadValue_ = false;
};

struct Geometry {
  int x, y, w, h;
  bool viewable;
  Window parent;
};

class SDLGuiX11Test : public CabinetTest {
 protected:
  void SetUp() override {
    if (platform::FindProgram("Xvfb").empty()) GTEST_SKIP() << "Xvfb is not installed";
    const int number = FreeDisplayNumber();
    ASSERT_GE(number, 0);
    displayName_ = ":" + std::to_string(number);
    ASSERT_TRUE(server_.Start({"Xvfb", displayName_, "-screen", "0", "1280x800x24", "-nolisten",
                               "tcp"}));
    for (int tries = 0; tries < 100 && display_ == nullptr; ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      display_ = XOpenDisplay(displayName_.c_str());
    }
    ASSERT_NE(display_, nullptr) << "Xvfb did not start on " << displayName_;
    displayEnv_ = std::make_unique<ScopedEnv>("DISPLAY", displayName_);
    driverEnv_ = std::make_unique<ScopedEnv>("SDL_VIDEODRIVER", "x11");
  }
  // SDL lets go of the server before it goes away.
  void TearDown() override {
    gui.Resources().playerWindow.reset();
    SDL_Quit();
    if (display_ != nullptr) XCloseDisplay(display_);
    server_.Terminate();
  }

  Geometry VideoWindowGeometry() {
    const Window window = gui.GetWindowPlayerHandle();
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, window, &attributes);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(display_, window, &root, &parent, &children, &count);
    if (children != nullptr) XFree(children);
    return {attributes.x, attributes.y, attributes.width, attributes.height,
            attributes.map_state == IsViewable, parent};
  }

  // Lets the server take the requests SDL's connection sent.
  void Sync() { XSync(display_, False); }

  platform::ChildProcess server_;
  std::string displayName_;
  Display* display_ = nullptr;
  std::unique_ptr<ScopedEnv> displayEnv_;
  std::unique_ptr<ScopedEnv> driverEnv_;
};

TEST_F(SDLGuiX11Test, VideoWindowIsAChildOnTheMediaPanel) {
  ASSERT_EQ(Start(), 1) << setUpLog;
  ASSERT_NE(gui.Resources().mainWindow, 0u);
  ASSERT_NE(gui.GetWindowPlayerHandle(), 0u);
  Sync();
  Geometry video = VideoWindowGeometry();
  EXPECT_EQ(video.parent, gui.Resources().mainWindow);
  EXPECT_EQ(video.x, skin.xmedia);
  EXPECT_EQ(video.y, skin.ymedia);
  EXPECT_EQ(video.w, skin.wmedia);
  EXPECT_EQ(video.h, skin.hmedia);
  EXPECT_TRUE(video.viewable);

  gui.Video().HideVideoWindow();
  Sync();
  EXPECT_FALSE(VideoWindowGeometry().viewable);

  gui.Video().ShowVideoWindow();
  gui.Video().FullVideo();
  Sync();
  video = VideoWindowGeometry();
  EXPECT_TRUE(video.viewable);
  EXPECT_EQ(video.x, 0);
  EXPECT_EQ(video.y, 0);
  EXPECT_EQ(video.w, 1024);
  EXPECT_EQ(video.h, 768);
}

TEST_F(SDLGuiX11Test, VideoWindowCoversTheTvOutArea) {
  config.tvout = 1;
  ASSERT_EQ(Start(), 1) << setUpLog;
  Sync();
  const Geometry video = VideoWindowGeometry();
  EXPECT_EQ(video.parent, gui.Resources().mainWindow);
  EXPECT_EQ(video.x, 1024);
  EXPECT_EQ(video.y, 0);
  EXPECT_EQ(video.w, 1366);
  EXPECT_EQ(video.h, 768);

  XWindowAttributes main;
  XGetWindowAttributes(display_, gui.Resources().mainWindow, &main);
  EXPECT_EQ(main.width, 2390);
  EXPECT_EQ(main.height, 768);
}

}  // namespace
