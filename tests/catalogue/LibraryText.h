#pragma once
// Test helpers: a catalogue described as text lines, so that two catalogues
// compare with one EXPECT_EQ and a failure shows where they differ.
#include <string>
#include <vector>

#include "catalogue/MainLibrary.h"
#include "support/Kept.h"

inline std::string Str(const RString& text) { return text.c_str() ? text.c_str() : "<null>"; }

// One line per genre, disc (title, cover, root) and track (title, path);
// the all-music genre is left out.
inline std::vector<std::string> Describe(const MainLibrary& library) {
  std::vector<std::string> lines;
  for (unsigned g = 0; g < static_cast<unsigned>(library.GetTotalGenres()); ++g) {
    if (library.GetGenre(g) == library.allGenre) continue;
    lines.push_back("genre " + Str(library.GetGenreName(g)));
    for (unsigned d = 0; d < static_cast<unsigned>(library.GetTotalDiscs(g)); ++d) {
      const DiscElement* disc = library.GetDisc(g, d);
      lines.push_back("  disc " + Str(disc->GetTitle()) + " | cover " + Str(disc->GetCoverName()) + " | root " +
                      std::to_string(disc->GetRootIndex()));
      for (unsigned t = 0; t < static_cast<unsigned>(library.GetTotalTracks(g, d)); ++t)
        lines.push_back("    track " + Str(library.GetTrackTitle(g, d, t)) + " | " +
                        Str(library.GetTrackPath(g, d, t)));
    }
  }
  return lines;
}

inline std::vector<std::string> GenreNames(const MainLibrary& library) {
  std::vector<std::string> names;
  for (RItemList* node = library.GetFirst(); node; node = node->next)
    names.push_back(Str(static_cast<GenreElement*>(node->data)->GetName()));
  return names;
}

inline std::vector<std::string> DiscTitles(const GenreElement& genre) {
  std::vector<std::string> titles;
  for (RItemList* node = genre.GetFirst(); node; node = node->next)
    titles.push_back(Str(static_cast<DiscElement*>(node->data)->GetTitle()));
  return titles;
}

inline std::vector<std::string> TrackTitles(const DiscElement& disc) {
  std::vector<std::string> titles;
  for (unsigned t = 0; t < static_cast<unsigned>(disc.GetTotalTracks()); ++t)
    titles.push_back(Str(disc.GetTrack(t)->GetTitle()));
  return titles;
}

// A disc appended to genre, with tracks of the given titles.
inline DiscElement* AddDisc(GenreElement* genre, const char* title, std::vector<const char*> tracks = {},
                            unsigned rootIndex = 0) {
  DiscElement* disc = Kept(new DiscElement(title));
  disc->SetGenre(genre);
  disc->SetRootIndex(rootIndex);
  for (const char* track : tracks) disc->AddTrack(Kept(new TrackElement(track)));
  genre->AddDisc(disc);
  return disc;
}
