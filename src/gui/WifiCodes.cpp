#include "gui/WifiCodes.h"

#include "platform/Files.h"
#include "platform/System.h"

namespace {

const int kCodeDigits = 4;
// A code whose image is still there waits to be used: a new code is drawn
// again rather than sold twice.
const int kCodeDraws = 50;

}  // namespace

const RString& WifiCodes::MakeCode() {
  RString code;
  for (int draw = 0; draw < kCodeDraws; ++draw) {
    code = platform::RandomDigits(kCodeDigits).c_str();
    if (!platform::FileExists(ImageOf(code).Chars())) break;
  }
  last_ = code;
  codes_.AddItem(last_);
  return last_;
}

bool WifiCodes::LastImageExists() const { return platform::FileExists(LastImage().Chars()); }
