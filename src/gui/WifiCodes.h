#pragma once
// The Wi-Fi access codes made since start: how many credits the customer is
// choosing to spend on one, and the codes, each with the QR image the code
// script writes for it. The image goes once the code is used.
#include "base/RString.h"
#include "base/RStringsList.h"

class WifiCodes {
 public:
  // A purchase starts at one credit; up goes as far as the balance.
  void StartPurchase() { chosen_ = 1; }
  void MoreCredits(int balance) {
    if (chosen_ < balance) ++chosen_;
  }
  void FewerCredits() {
    if (chosen_ > 1) --chosen_;
  }
  int Credits() const { return chosen_; }

  // A new code of four random digits that no code still waiting to be used
  // has; it becomes the last one.
  const RString& MakeCode();
  const RString& Last() const { return last_; }
  int Count() const { return codes_.Count(); }
  // Where the code script puts the last code's image.
  RString LastImage() const { return ImageOf(last_); }
  bool LastImageExists() const;

 private:
  static RString ImageOf(const RString& code) { return "wificodes\\" + code + ".png"; }

  int chosen_ = 1;
  RStringsList codes_;
  RString last_ = "";
};
