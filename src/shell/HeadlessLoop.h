#pragma once
// Main-loop partner used while no display is attached: it stays active until
// the process is asked to stop (SIGINT or SIGTERM).
class HeadlessLoop {
 public:
  HeadlessLoop();
  bool stillactive() const;
  void extrawork() {}
  void draw() {}
  void pool();
};
