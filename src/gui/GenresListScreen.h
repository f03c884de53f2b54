#pragma once
// The genre list (screen 1): its rows, drawing and keys, apart from the rest
// of the GUI. It works on the GUI's genres list and selection.
class SDLGui;

class GenresListScreen {
 public:
  explicit GenresListScreen(SDLGui& gui) : gui(gui) {}
  GenresListScreen(const GenresListScreen&) = delete;
  GenresListScreen& operator=(const GenresListScreen&) = delete;

  // One row "n.- name" per genre; the row count.
  int CreateGenresList();
  // The genres list takes the dialog image's size, centred on the screen.
  void CenterGenresListOnDialog();
  // Selects selGenre; with update also draws the dialog image and the list.
  void DrawGenresList(bool update);
  // Up/down (and left/right) move, enter chooses a genre with albums, menu
  // goes on to the alphabet with usegenremenus.
  void keydown_genreslist(int key);

 private:
  void ChooseGenre();

  SDLGui& gui;
};
