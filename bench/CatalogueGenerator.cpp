#include "bench/CatalogueGenerator.h"

#include <cstdio>

#include "catalogue/MainLibrary.h"
#include "configtool/CatalogueWriter.h"
#include "platform/Files.h"

namespace {

const char kTitleStarts[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

RString GenreName(int genre) {
  RString name;
  name.sprintf("Genero %02d", genre);
  return name;
}

RString AlbumTitle(int album) {
  RString title;
  title.sprintf("%c%05d Disco", kTitleStarts[album % (sizeof kTitleStarts - 1)], album);
  return title;
}

RString TrackTitle(int track) {
  RString title;
  title.sprintf("%02d Tema.%s", track + 1, track % 10 == 9 ? "cdg" : "mp3");
  return title;
}

bool CreateEmptyFile(const RString& path) {
  FILE* file = platform::OpenFile(path.c_str(), "wb");
  return file && std::fclose(file) == 0;
}

}  // namespace

bool GenerateCatalogueFile(const RString& fileName, const GeneratedShape& shape) {
  MainLibrary library;
  for (int genre = 0; genre < shape.genres; ++genre) library.GetOrAddGenre(GenreName(genre));
  RItemList* genreNode = library.GetFirst();
  for (int album = 0; album < shape.albums; ++album) {
    GenreElement* genre = static_cast<GenreElement*>(genreNode->data);
    const RString title = AlbumTitle(album);
    DiscElement* disc = library.NewDisc(genre, title.Chars(), title.GetLength());
    disc->SetCoverName(RString::Borrowing("cover.jpg", 9));
    for (int track = 0; track < shape.tracksPerAlbum; ++track) {
      const RString trackTitle = TrackTitle(track);
      disc->AddTrack(library.NewTrack(trackTitle.Chars(), trackTitle.GetLength()));
    }
    genre->AddDisc(disc);
    genreNode = genreNode->next ? genreNode->next.load() : library.GetFirst();
  }
  CatalogueCounts counts;
  return WriteCatalogue(library, fileName, counts);
}

bool GenerateMediaTree(const RString& root, const GeneratedShape& shape) {
  platform::CreateDirectory(root.c_str());
  for (int genre = 0; genre < shape.genres; ++genre)
    platform::CreateDirectory((root + "\\" + GenreName(genre)).c_str());
  for (int album = 0; album < shape.albums; ++album) {
    const RString folder = root + "\\" + GenreName(album % shape.genres) + "\\" + AlbumTitle(album);
    if (!platform::CreateDirectory(folder.c_str())) return false;
    for (int track = 0; track < shape.tracksPerAlbum; ++track)
      if (!CreateEmptyFile(folder + "\\" + TrackTitle(track))) return false;
  }
  return true;
}
