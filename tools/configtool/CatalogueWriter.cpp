#include "configtool/CatalogueWriter.h"

#include <cstdio>
#include <cstring>

#include "platform/Files.h"

namespace {

const char* const kLineEnd = "\r\r\n";

// A name the format can hold: no TAB and no line break.
bool IsStorable(const RString& name) {
  const char* text = name.Chars();
  if (std::strpbrk(text, "\t\r\n") == nullptr) return true;
  std::printf("Nombre omitido (contiene tabulador o salto de linea): %s\n", text);
  return false;
}

class CatalogueFormatter {
 public:
  explicit CatalogueFormatter(CatalogueCounts& counts) : counts_(counts) {}

  void AddGenre(const GenreElement& genre) {
    if (!IsStorable(genre.GetName())) return Skip();
    Line("", genre.GetName());
    ++counts_.genres;
    for (RItemList* node = genre.GetFirst(); node; node = node->next)
      AddDisc(*static_cast<DiscElement*>(node->data));
  }

  const std::string& Text() const { return text_; }

 private:
  void AddDisc(const DiscElement& disc) {
    if (!IsStorable(disc.GetTitle()) || !IsStorable(disc.GetCoverName())) return Skip();
    Line("\t", disc.GetTitle());
    Line("\t", disc.GetCoverName());
    Line("\t", std::to_string(disc.GetRootIndex()).c_str());
    ++counts_.discs;
    for (unsigned t = 0; t < static_cast<unsigned>(disc.GetTotalTracks()); ++t) AddTrack(disc.GetTrack(t)->GetTitle());
  }

  void AddTrack(const RString& title) {
    if (!IsStorable(title)) return Skip();
    Line("\t\t", title);
    ++counts_.tracks;
    if (MainLibrary::IsKaraoke(title)) Line("\t\t", CompanionLine(title));
  }

  // The loader ignores the line after a karaoke track. For "cdg" it names the
  // sound file; "kar" has none, and a repeat of its own line is harmless.
  static RString CompanionLine(const RString& karaokeTitle) {
    if (MainLibrary::HasExtension(karaokeTitle, "cdg"))
      return MainLibrary::GetKaraokeAudioName(karaokeTitle);
    return karaokeTitle;
  }

  void Line(const char* tabs, const RString& text) {
    text_ += tabs;
    text_.append(text.Chars(), text.GetLength());
    text_ += kLineEnd;
  }

  void Skip() { ++counts_.skipped; }

  CatalogueCounts& counts_;
  std::string text_;
};

}  // namespace

std::string FormatCatalogue(const MainLibrary& library, CatalogueCounts& counts) {
  counts = CatalogueCounts();
  CatalogueFormatter formatter(counts);
  for (RItemList* node = library.GetFirst(); node; node = node->next) {
    const GenreElement* genre = static_cast<GenreElement*>(node->data);
    if (genre != library.allGenre) formatter.AddGenre(*genre);
  }
  return formatter.Text();
}

bool WriteCatalogue(const MainLibrary& library, const RString& fileName, CatalogueCounts& counts) {
  return platform::WriteFileAtomically(fileName.Chars(),
                                       FormatCatalogue(library, counts));
}
