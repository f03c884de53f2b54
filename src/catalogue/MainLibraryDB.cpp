// Loading of the catalogue file "db": a genre line, then for each of its discs
// three lines (TAB title, TAB cover, TAB root index) and its track lines (TAB
// TAB file name), then the next genre line, and so on. Lines are parsed where
// they lie in the read buffer; only the names kept go to the arena.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/RLineReader.h"
#include "catalogue/MainLibrary.h"

namespace {

using Line = RLineReader::Line;

// The line without its end: LF, CR LF or CR CR LF (as the catalogue tool
// writes through a text-mode stream).
Line WithoutLineEnd(Line line) {
  if (line.length > 0 && line.text[line.length - 1] == '\n') --line.length;
  while (line.length > 0 && line.text[line.length - 1] == '\r') --line.length;
  return line;
}

// The text after the last TAB; empty when there is none. Names are short: a
// plain loop from the end costs less than a call of memrchr.
Line AfterLastTab(Line line) {
  for (uint32_t start = line.length; start > 0; --start)
    if (line.text[start - 1] == '\t') return Line{line.text + start, line.length - start};
  return Line();
}

// The value of the leading decimal digits; 0 when there are none.
uint32_t LeadingNumber(Line text) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < text.length && text.text[i] >= '0' && text.text[i] <= '9'; ++i)
    value = value * 10 + static_cast<uint32_t>(text.text[i] - '0');
  return value;
}

// Reads the file into the library line by line. The line that follows a
// karaoke track is its companion and is skipped.
class CatalogueReader {
 public:
  CatalogueReader(MainLibrary& library, RLineReader& file) : library_(library), file_(file) {}

  // 0, or -1 at a disc line before any genre or a track line before any disc.
  int Read() {
    for (Line read = file_.NextLine(); read.length > 0; read = file_.NextLine()) {
      const Line line = WithoutLineEnd(read);
      if (line.length == 0) continue;
      if (skipNext_) {
        skipNext_ = false;
        continue;
      }
      if (!ReadLine(line)) break;
    }
    FinishDisc();
    IndexGenres();
    return failed_ ? -1 : 0;
  }

 private:
  // false at a line that ends the reading.
  bool ReadLine(Line line) {
    if (line.text[0] != '\t') {
      genre_ = library_.GetOrAddGenre(RString(line.text, line.length));
      return true;
    }
    failed_ = !(line.length > 1 && line.text[1] == '\t' ? ReadTrack(line) : ReadDisc(line));
    return !failed_;
  }

  bool ReadTrack(Line line) {
    if (!disc_) return false;
    // The name after the two TABs holds no TAB as a rule, which one memchr
    // tells sooner than a walk back through the name.
    const Line name{line.text + 2, line.length - 2};
    const Line title = memchr(name.text, '\t', name.length) ? AfterLastTab(name) : name;
    skipNext_ = MainLibrary::IsKaraoke(title.text, title.length);
    trackTitles_.push_back({library_.arena.Keep(title.text, title.length), title.length});
    return true;
  }

  // The cover and root index lines are taken as they come, even at the end.
  bool ReadDisc(Line line) {
    if (!genre_) return false;
    FinishDisc();
    const Line title = AfterLastTab(line);
    DiscElement* disc = library_.NewDisc(genre_, title.text, title.length);
    disc->SetCoverName(CoverName(AfterLastTab(NextLine())));
    disc->SetRootIndex(LeadingNumber(AfterLastTab(NextLine())));
    // The catalogue tool writes the all-music genre's own folder (where the
    // downloads album lies) as a genre of that name, which is the all-music
    // genre: its discs join it once, in letter order. The genres are indexed
    // once they are whole.
    if (genre_ != library_.allGenre) genre_->GetDiscs()->AddItem(disc);
    library_.AddToAllGenre(genre_, disc);
    ++library_.discCount;
    disc_ = disc;
    return true;
  }

  // The disc's tracks, read one by one, go to it at once.
  void FinishDisc() {
    if (disc_) library_.GiveTracks(disc_, trackTitles_);
    trackTitles_.clear();
    disc_ = nullptr;
  }

  // Albums mostly name their covers alike: such a disc shares the text of
  // the disc before.
  RString CoverName(Line cover) {
    if (cover.length != lastCover_.GetLength() || std::memcmp(cover.text, lastCover_.Chars(), cover.length) != 0)
      lastCover_ = library_.arena.Text(cover.text, cover.length);
    return RString::Borrowing(lastCover_.Chars(), lastCover_.GetLength());
  }

  // Each index in one table of the size it takes; the all-music genre's is
  // made when its discs are numbered.
  void IndexGenres() {
    for (RItemList* node = library_.GetFirst(); node; node = node->next)
      if (node->data != library_.allGenre) static_cast<GenreElement*>(node->data)->IndexDiscs();
  }

  Line NextLine() { return WithoutLineEnd(file_.NextLine()); }

  MainLibrary& library_;
  RLineReader& file_;
  GenreElement* genre_ = nullptr;
  DiscElement* disc_ = nullptr;
  // The titles of disc_'s tracks, texts of the arena.
  std::vector<MainLibrary::ArenaName> trackTitles_;
  RString lastCover_ = RString::Borrowing("", 0);
  bool skipNext_ = false;
  bool failed_ = false;
};

}  // namespace

int MainLibrary::LoadContentFromDB() {
  RLineReader file;
  if (!file.Open(kCatalogueFileName, "r")) return kNoCatalogueFile;
  InitAllGenre();
  const int result = CatalogueReader(*this, file).Read();
  file.Close();
  if (result == 0) FillIndexDiscs();
  return result;
}
