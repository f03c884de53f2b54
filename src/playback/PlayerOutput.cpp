#include "playback/PlayerOutput.h"

#include <algorithm>
#include <cctype>

#include "platform/Clock.h"

namespace {

// Words of the lines that tell of a failure or of the player's end, in
// lower case.
const char* const kActedOnWords[] = {"error", "fail", "fatal", "cannot", "can't", "could not", "no stream",
                                     "exiting"};

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

bool PlayerOutput::IsActedOn(const std::string& line) {
  const std::string lower = LowerCase(line);
  return std::any_of(std::begin(kActedOnWords), std::end(kActedOnWords),
                     [&](const char* word) { return lower.find(word) != std::string::npos; });
}

std::vector<std::string> PlayerOutput::Take(const std::string& output) {
  std::vector<std::string> lines;
  for (const char c : output) {
    if (c == '\n' || c == '\r')
      EndLine(lines);
    else if (partial_.size() < kLongestLine)
      partial_ += c;
  }
  return lines;
}

std::vector<std::string> PlayerOutput::Finish() {
  std::vector<std::string> lines;
  EndLine(lines);
  return lines;
}

void PlayerOutput::EndLine(std::vector<std::string>& lines) {
  if (IsActedOn(partial_)) Admit(partial_, lines);
  partial_.clear();
}

void PlayerOutput::Admit(const std::string& line, std::vector<std::string>& lines) {
  const uint32_t now = platform::Ticks();
  if (now - windowStart_ >= kWindow) {
    windowStart_ = now;
    linesInWindow_ = 0;
  }
  if (linesInWindow_ >= kLinesPerWindow) {
    ++heldBack_;
    return;
  }
  if (heldBack_ > 0) {
    lines.push_back("(" + std::to_string(heldBack_) + " lineas del reproductor omitidas)");
    heldBack_ = 0;
    ++linesInWindow_;
  }
  lines.push_back(line);
  ++linesInWindow_;
}
