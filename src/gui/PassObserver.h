#pragma once
// Told where the GUI's passes begin and end, those of the main loop and
// those of a wait inside a message alike, and when a coin's credits reached
// the screen: what a customer feels of the program's smoothness, for
// measuring it. This one ignores it all.
class PassObserver {
 public:
  virtual ~PassObserver() = default;
  virtual void PassBegins() {}
  // A pause follows, which is not part of any pass.
  virtual void PassEnded() {}
  // A coin's credits were just drawn on the screen.
  virtual void CreditsDrawn() {}
};
