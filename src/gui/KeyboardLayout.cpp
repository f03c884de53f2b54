#include "gui/KeyboardLayout.h"

#include <array>
#include <cstddef>

namespace keyboard {
namespace {

// The key grid: rows of typing keys, then the action keys' row.
const int kKeyPitch = 84;
const char* const kKeyRows[] = {"QWERTYUIOP", "ASDFGHJKL\xD1", "ZXCVBNM", "0123456789"};
const int kActionCharacter = 95;

std::array<Key, kKeyCount> Layout() {
  std::array<Key, kKeyCount> keys{};
  int index = 0;
  int row = 0;
  for (const char* letters : kKeyRows) {
    for (int column = 0; letters[column] != '\0'; ++column)
      keys[index++] = {static_cast<unsigned char>(letters[column]), kKeyPitch * column, kKeyPitch * row};
    ++row;
  }
  const int actionsY = kKeyPitch * row;
  keys[kEraseKey] = {kActionCharacter, 0, actionsY};
  keys[kCursorLeftKey] = {kActionCharacter, 2 * kKeyPitch, actionsY};
  keys[kSpaceKey] = {' ', 3 * kKeyPitch, actionsY};
  keys[kCursorRightKey] = {kActionCharacter, 7 * kKeyPitch, actionsY};
  keys[kSearchKey] = {kActionCharacter, 8 * kKeyPitch, actionsY};
  return keys;
}

// Where the highlight goes from each key, up and down; the keys of a row
// below a longer or shorter one land on the nearest key.
struct KeyMove {
  int up, down;
};
const KeyMove kKeyMoves[kKeyCount] = {
    {37, 10}, {37, 11}, {38, 12}, {39, 13}, {39, 14}, {39, 15}, {39, 16}, {40, 17}, {41, 18}, {41, 19},  // Q..P
    {0, 20},  {1, 21},  {2, 22},  {3, 23},  {4, 24},  {5, 25},  {6, 26},  {7, 34},  {8, 35},  {9, 36},   // A..Ñ
    {10, 27}, {11, 28}, {12, 29}, {13, 30}, {14, 31}, {15, 32}, {16, 33},                                // Z..M
    {20, 37}, {21, 37}, {22, 38}, {23, 39}, {24, 39}, {25, 39}, {26, 39}, {17, 40}, {18, 41}, {19, 41},  // 0..9
    {27, 0},  {29, 2},  {31, 4},  {34, 7},  {36, 9},                                                     // actions
};

}  // namespace

const Key& KeyOf(int index) {
  static const std::array<Key, kKeyCount> keys = Layout();
  return keys[static_cast<size_t>(index)];
}

int KeyAbove(int k) { return kKeyMoves[k].up; }

int KeyBelow(int k) { return kKeyMoves[k].down; }

}  // namespace keyboard
