#pragma once
// The window-system side of the display: SDL's own window and the child
// window the media player draws video into. When SDL draws on X11 these are
// real X windows, handled on the main thread under SDL's display lock; under
// any other SDL driver (the dummy driver of the tests, for one) the child is
// an inert stand-in that only remembers where it is and whether it shows.
#include <SDL.h>

#include <memory>

// The handle of SDL's window for the window system (an X window id), or 0
// when SDL runs without one.
unsigned long SdlWindowHandle();
// Moves SDL's window to the screen's top-left corner with the given size.
void PlaceSdlWindow(int width, int height);
// Maps SDL's window and raises it above its siblings.
void ShowSdlWindow();

class VideoWindow {
 public:
  // A hidden child window of SDL's window on area; null when the window
  // system refused it.
  static std::unique_ptr<VideoWindow> Create(const SDL_Rect& area);
  virtual ~VideoWindow() = default;
  VideoWindow(const VideoWindow&) = delete;
  VideoWindow& operator=(const VideoWindow&) = delete;

  // What the media player is given to draw into; 0 for the stand-in.
  virtual unsigned long Handle() const { return 0; }

  void Move(const SDL_Rect& area);
  void Show();
  void Hide();
  const SDL_Rect& Area() const { return area_; }
  bool IsVisible() const { return visible_; }

 protected:
  explicit VideoWindow(const SDL_Rect& area) : area_(area) {}
  virtual void ApplyArea() {}
  virtual void ApplyVisibility() {}

 private:
  SDL_Rect area_;
  bool visible_ = false;
};
