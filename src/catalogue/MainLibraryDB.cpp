// Loading of the catalogue file "db": a genre line, then for each of its discs
// three lines (TAB title, TAB cover, TAB root index) and its track lines (TAB
// TAB file name), then the next genre line, and so on.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/RTextFile.h"
#include "catalogue/MainLibrary.h"
#include "shell/ExternalPrograms.h"

namespace {

// The line without its end: LF, CR LF or CR CR LF (as the catalogue tool
// writes through a text-mode stream).
RString WithoutLineEnd(const RString& line) {
  uint32_t length = line.GetLength();
  if (length > 0 && line.GetChar(length - 1) == '\n') --length;
  while (length > 0 && line.GetChar(length - 1) == '\r') --length;
  return line.GetSubString(0, length);
}

RString AfterLastTab(const RString& line) {
  const char* tab = std::strrchr(line.Chars(), '\t');
  return RString(tab ? tab + 1 : "");
}

// The value of the leading decimal digits; 0 when there are none.
uint32_t LeadingNumber(const RString& text) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < text.GetLength() && text.GetChar(i) >= '0' && text.GetChar(i) <= '9'; ++i)
    value = value * 10 + static_cast<uint32_t>(text.GetChar(i) - '0');
  return value;
}

// Reads the file into the library line by line. The line that follows a
// karaoke track is its companion and is skipped.
class CatalogueReader {
 public:
  CatalogueReader(MainLibrary& library, RTextFile& file) : library_(library), file_(file) {}

  // 0, or -1 at a disc line before any genre or a track line before any disc.
  int Read() {
    while (!file_.eof()) {
      const RString read = file_.GetLine();
      if (read.GetLength() == 0) break;
      const RString line = WithoutLineEnd(read);
      if (line.GetLength() == 0) continue;
      if (skipNext_) {
        skipNext_ = false;
        continue;
      }
      if (!ReadLine(line)) return -1;
    }
    return 0;
  }

 private:
  bool ReadLine(const RString& line) {
    if (line.GetChar(0) != '\t') {
      genre_ = library_.GetOrAddGenre(line);
      return true;
    }
    return line.GetChar(1) == '\t' ? ReadTrack(line) : ReadDisc(line);
  }

  bool ReadTrack(const RString& line) {
    if (!disc_) return false;
    TrackElement* track = new TrackElement(AfterLastTab(line));
    disc_->AddTrack(track);
    skipNext_ = MainLibrary::IsKaraoke(track->GetTitle());
    return true;
  }

  // The cover and root index lines are taken as they come, even at the end.
  bool ReadDisc(const RString& line) {
    if (!genre_) return false;
    DiscElement* disc = new DiscElement(AfterLastTab(line));
    disc->SetGenre(genre_);
    disc->SetCoverName(AfterLastTab(NextLine()));
    disc->SetRootIndex(LeadingNumber(AfterLastTab(NextLine())));
    genre_->AddDisc(disc);
    library_.AddToAllGenre(genre_, disc);
    ++library_.discCount;
    disc_ = disc;
    return true;
  }

  RString NextLine() { return WithoutLineEnd(file_.GetLine()); }

  MainLibrary& library_;
  RTextFile& file_;
  GenreElement* genre_ = nullptr;
  DiscElement* disc_ = nullptr;
  bool skipNext_ = false;
};

}  // namespace

int MainLibrary::LoadContentFromDB() {
  RTextFile file;
  if (!file.Open(kCatalogueFileName, "r")) {
    std::puts("No se encontro contenido multimedia, abriendo configtool para configuracion inicial");
    std::fflush(stdout);
    RunCatalogueTool("");
    std::exit(0);
  }
  InitAllGenre();
  const int result = CatalogueReader(*this, file).Read();
  file.Close();
  if (result == 0) FillIndexDiscs();
  return result;
}
