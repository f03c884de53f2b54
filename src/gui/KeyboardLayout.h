#pragma once
// The on-screen keyboard's layout: 42 keys on an 84-pixel grid, offsets
// from the first key's corner, and where the highlight goes from each key.
// Keys 37, 38, 40 and 41 act; the others type.
namespace keyboard {

struct Key {
  int character;
  int x;
  int y;
};
constexpr int kKeyCount = 42;
enum KeyIndex { kEraseKey = 37, kCursorLeftKey = 38, kSpaceKey = 39, kCursorRightKey = 40, kSearchKey = 41 };

const Key& KeyOf(int index);
// The key the highlight moves to from key k, up and down; the keys of a row
// below a longer or shorter one land on the nearest key.
int KeyAbove(int k);
int KeyBelow(int k);

}  // namespace keyboard
