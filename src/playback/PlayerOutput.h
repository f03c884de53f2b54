#pragma once
// What the media player prints, reduced to the lines this program acts on:
// those that tell why an item did not play or how the player ended. Its
// status line, redrawn many times a second, and its chatter go nowhere.
// Lines end at "\n" or "\r"; a long one is cut. At most kLinesPerWindow
// lines reach the log in kWindow, and those held back are counted in a line
// of their own.
#include <cstdint>
#include <string>
#include <vector>

class PlayerOutput {
 public:
  static constexpr size_t kLongestLine = 300;
  static constexpr int kLinesPerWindow = 10;
  static constexpr uint32_t kWindow = 10000;

  // Takes what the player wrote; the lines to log, in order.
  std::vector<std::string> Take(const std::string& output);
  // At the player's end: its unfinished last line, when it is one to log.
  std::vector<std::string> Finish();
  // Whether the program acts on the line.
  static bool IsActedOn(const std::string& line);

 private:
  void EndLine(std::vector<std::string>& lines);
  void Admit(const std::string& line, std::vector<std::string>& lines);

  std::string partial_;
  uint32_t windowStart_ = 0;
  int linesInWindow_ = 0;
  int heldBack_ = 0;
};
