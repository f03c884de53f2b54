#pragma once
// The catalogue: the list of genres (GenreElement*) in display order, each a
// list of discs, each a list of tracks. Content is addressed by the triple
// (genre, disc, track); paths are joined with "\". The loaders make the
// elements, their list nodes and their names in the catalogue's arena, where
// they live as long as the catalogue; a disc's tracks lie there in one array.
#include <cstdint>
#include <vector>

#include "base/RList.h"
#include "base/RString.h"
#include "base/RStringsList.h"
#include "catalogue/CatalogueArena.h"
#include "catalogue/DiscElement.h"
#include "catalogue/GenreElement.h"
#include "catalogue/TrackElement.h"

class MainLibrary : public RList {
 public:
  static constexpr const char* kAllGenreName = "TODA LA MUSICA";
  static constexpr const char* kFavouritesGenreName = "100+ Favoritas";
  static constexpr const char* kCatalogueFileName = "db";
  // The album of genre 0 that downloads go to.
  static constexpr const char* kDownloadsDiscName = "Descargas";

  GenreElement* GetGenre(unsigned g) const;
  DiscElement* GetDisc(unsigned g, unsigned d) const;
  TrackElement* GetTrack(unsigned g, unsigned d, unsigned t) const;
  int GetTotalGenres() const { return Count(); }
  int GetTotalDiscs(unsigned g) const;
  int GetTotalTracks(unsigned g, unsigned d) const;
  // Whether the position names a track of the catalogue.
  bool HasTrack(unsigned g, unsigned d, unsigned t) const;
  RString GetGenreName(unsigned g) const;
  RString GetDiscTitle(unsigned g, unsigned d) const;
  // The genre the disc's folder lies in; the all-music genre lists discs of
  // every genre.
  RString GetDiscGenreName(unsigned g, unsigned d) const;
  RString GetTrackTitle(unsigned g, unsigned d, unsigned t) const;
  int GetDiscIndex(unsigned g, unsigned d) const;

  // Lookups by exact name. Not found: 0 for genres and discs, -1 for tracks.
  int GetGenreIndex(const RString& name) const;
  int GetDiscIndex(unsigned g, const RString& title) const;
  int GetTrackIndex(unsigned g, unsigned d, const RString& title) const;
  bool ExistGenre(const RString& name) const;
  GenreElement* GetGenreByName(const RString& name) const;
  // The genre of that name, appended to the list when there is none yet.
  GenreElement* GetOrAddGenre(const RString& name);

  // Elements made in the arena, with arena copies of their names; the new
  // disc belongs to genre but is not added to it.
  GenreElement* NewGenre(const char* name, uint32_t length);
  DiscElement* NewDisc(GenreElement* genre, const char* title, uint32_t length);
  TrackElement* NewTrack(const char* title, uint32_t length);
  // A text of the arena, terminated, as a title borrows it. Plain, so that
  // a loader gathers a disc's titles without making or destroying texts.
  struct ArenaName {
    const char* text;
    uint32_t length;
  };
  // The first tracks of a disc without any, titled with texts of the arena,
  // made in one array.
  void GiveTracks(DiscElement* disc, const std::vector<ArenaName>& titles);

  void AddContentPath(const RString& path) { contentPaths.AddItem(path); }
  RString GetContentPath(unsigned i) const;
  int GetContentPathCount() const { return contentPaths.Count(); }

  // Root, "\", the disc's own genre, "\", the disc folder.
  RString GetDiscPath(unsigned g, unsigned d) const;
  RString GetTrackPath(unsigned g, unsigned d, unsigned t) const;
  // Whether names joined into a track's path would lead out of the media
  // folder: one of them has a component "." or "..".
  static bool LeavesItsFolder(const RString& genre, const RString& disc, const RString& track);
  bool TrackLeavesItsFolder(unsigned g, unsigned d, unsigned t) const;
  RString GetCoverName(unsigned g, unsigned d) const;
  // The empty text when the disc has no cover.
  RString GetCoverPath(unsigned g, unsigned d) const;

  // Media kind by extension, case ignored. Karaoke files are video too.
  bool IsMusic(unsigned g, unsigned d, unsigned t) const;
  bool IsVideo(unsigned g, unsigned d, unsigned t) const;
  bool IsKaraoke(unsigned g, unsigned d, unsigned t) const;
  static bool IsMusic(const RString& name);
  static bool IsVideo(const RString& name);
  static bool IsKaraoke(const RString& name);
  // The same, for the length characters at name.
  static bool IsKaraoke(const char* name, uint32_t length);
  static bool IsTv(const RString& name);
  // The text after the last "." of name; empty when it has none.
  static RString GetExtension(const RString& name);
  // Whether that text equals extension (lower case), ASCII case ignored;
  // tested in place.
  static bool HasExtension(const RString& name, const char* extension);
  // The audio file played with a "cdg" karaoke file: same base name, "mp3".
  static RString GetKaraokeAudioName(const RString& cdgName);

  // Alphabet jump: the first disc of genre g whose title starts with letter
  // (upper case), else the one before the first that starts after it, else
  // the last disc (-1 for an empty genre).
  int SearchAlbumChar(unsigned g, int letter) const;

  // Folder scan: root / genre / disc / files, in listing order.
  int LoadContentFromStorage();
  void LoadGenresFromPath(const RString& path, unsigned rootIndex);
  void LoadDiscsFromPath(const RString& path, GenreElement* genre, unsigned rootIndex);
  void LoadTracksFromPath(const RString& path, DiscElement* disc);
  static bool HaveImageFormat(const RString& name);
  static bool HaveTrackFormat(const RString& name);
  // The not hidden entries of a folder that count as folders, in listing
  // order.
  std::vector<RString> ListFolders(const RString& path);

  // Catalogue file "db": 0, -1 when its structure is broken, or
  // kNoCatalogueFile when there is none.
  int LoadContentFromDB();
  static constexpr int kNoCatalogueFile = -2;

  // All-music genre, built while the catalogue file is read, ordered by the
  // first letter of the titles through one letter index for the program.
  void InitAllGenre();
  // Inserts disc into the all-music genre; returns its letter bucket.
  int AddToAllGenre(GenreElement* genre, DiscElement* disc);
  // Numbers and indexes the discs of genre 0 by position.
  void FillIndexDiscs();
  // Builds the favourites genre from its folder under root 0 and puts it in
  // front of the others.
  void LoadFavoritos();
  // Downloads finished since the catalogue file was written are only in
  // the downloads folder of genre 0: they join its album "Descargas".
  void LoadDownloads();
  // The position in genre 0 of its own album "Descargas", made when missing.
  int DownloadsDiscIndex();
  // The position of a downloaded file in that album, added when missing.
  int AddDownloadedTrack(const RString& name);
  // Letter bucket of a character: 0..24 for "A".."Y", 25 for all else.
  static int GetIndexOfChar(int c);
  // The last disc node of the nearest filled bucket at or before c's bucket;
  // null for characters below "A" and for bytes of 128 and above.
  static RItemList* GetItemBeforeOfChar(int c);

  CatalogueArena arena;
  RStringsList contentPaths;
  GenreElement* allGenre = nullptr;
  RList* allDiscs = nullptr;
  // Discs read from the catalogue file.
  int32_t discCount = 0;
  // Names the folder scan left out, each with a log line: too long to keep.
  int32_t namesLeftOut = 0;
};
