#include "gui/VideoWindow.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace {

// SDL's connection to the X server; false when SDL does not draw on X11.
bool X11Info(SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return SDL_GetWMInfo(&info) == 1 && info.subsystem == SDL_SYSWM_X11;
}

// Runs Xlib calls under SDL's display lock and sends them to the server.
template <class Calls>
void WithDisplay(const SDL_SysWMinfo& info, Calls calls) {
  info.info.x11.lock_func();
  calls(info.info.x11.display);
  XFlush(info.info.x11.display);
  info.info.x11.unlock_func();
}

// X refuses windows without width or height.
unsigned Extent(Uint16 length) { return length > 0 ? length : 1; }

class X11VideoWindow : public VideoWindow {
 public:
  X11VideoWindow(const SDL_SysWMinfo& info, const SDL_Rect& area) : VideoWindow(area), info_(info) {
    WithDisplay(info_, [&](Display* display) {
      const unsigned long black = BlackPixel(display, DefaultScreen(display));
      window_ = XCreateSimpleWindow(display, info_.info.x11.window, area.x, area.y,
                                    Extent(area.w), Extent(area.h), 0, black, black);
    });
  }
  ~X11VideoWindow() override {
    if (!Created()) return;
    WithDisplay(info_, [&](Display* display) { XDestroyWindow(display, window_); });
  }

  bool Created() const { return window_ != 0; }
  unsigned long Handle() const override { return window_; }

 protected:
  void ApplyArea() override {
    const SDL_Rect& area = Area();
    WithDisplay(info_, [&](Display* display) {
      XMoveResizeWindow(display, window_, area.x, area.y, Extent(area.w), Extent(area.h));
    });
  }
  void ApplyVisibility() override {
    WithDisplay(info_, [&](Display* display) {
      if (IsVisible())
        XMapWindow(display, window_);
      else
        XUnmapWindow(display, window_);
    });
  }

 private:
  SDL_SysWMinfo info_;
  Window window_ = 0;
};

// The stand-in used where there is no window system to ask.
class DetachedVideoWindow : public VideoWindow {
 public:
  explicit DetachedVideoWindow(const SDL_Rect& area) : VideoWindow(area) {}
};

}  // namespace

unsigned long SdlWindowHandle() {
  SDL_SysWMinfo info;
  return X11Info(info) ? info.info.x11.window : 0;
}

void PlaceSdlWindow(int width, int height) {
  SDL_SysWMinfo info;
  if (!X11Info(info)) return;
  WithDisplay(info, [&](Display* display) {
    XMoveResizeWindow(display, info.info.x11.wmwindow, 0, 0, width, height);
  });
}

void ShowSdlWindow() {
  SDL_SysWMinfo info;
  if (!X11Info(info)) return;
  WithDisplay(info, [&](Display* display) { XMapRaised(display, info.info.x11.wmwindow); });
}

std::unique_ptr<VideoWindow> VideoWindow::Create(const SDL_Rect& area) {
  SDL_SysWMinfo info;
  if (!X11Info(info)) return std::make_unique<DetachedVideoWindow>(area);
  auto window = std::make_unique<X11VideoWindow>(info, area);
  if (!window->Created()) return nullptr;
  return window;
}

void VideoWindow::Move(const SDL_Rect& area) {
  area_ = area;
  ApplyArea();
}

void VideoWindow::Show() {
  visible_ = true;
  ApplyVisibility();
}

void VideoWindow::Hide() {
  visible_ = false;
  ApplyVisibility();
}
