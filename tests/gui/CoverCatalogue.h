#pragma once
// Genres of numbered discs and tracks for the GUI tests, with a plain
// coloured cover per disc in the working directory, under
// "media\<genre>\<disc>\cover.jpg" (BMP data, which the image loader takes
// whatever the name). Each disc's colour tells its covers apart.
#include <SDL.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Surfaces.h"
#include "catalogue/MainLibrary.h"

class CoverCatalogue {
 public:
  static constexpr const char* kRoot = "media";
  static constexpr const char* kCoverName = "cover.jpg";
  static constexpr int kCoverWidth = 60;
  static constexpr int kCoverHeight = 40;

  explicit CoverCatalogue(MainLibrary& library) : library_(library) {
    library.AddContentPath(kRoot);
  }

  // Appends a genre with discs "Disco 0"... of tracks "Tema 0.mp3"...,
  // each disc with its cover.
  GenreElement* AddGenre(const std::string& name, int discs, int tracks = 3) {
    GenreElement* genre = Own(new GenreElement(name.c_str()));
    library_.AddItem(genre);
    for (int d = 0; d < discs; ++d) AddDisc(genre, "Disco " + std::to_string(d), tracks, true);
    return genre;
  }

  DiscElement* AddDisc(GenreElement* genre, const std::string& title, int tracks, bool cover) {
    DiscElement* disc = Own(new DiscElement(title.c_str()));
    disc->SetGenre(genre);
    genre->AddDisc(disc);
    for (int t = 0; t < tracks; ++t) AddTrack(disc, "Tema " + std::to_string(t) + ".mp3");
    if (cover) {
      disc->SetCoverName(kCoverName);
      WriteCover(CoverFile(genre, disc), ColorOf(genre->GetTotalDiscs() - 1));
    }
    return disc;
  }

  void AddTrack(DiscElement* disc, const std::string& title) {
    disc->AddTrack(Own(new TrackElement(title.c_str())));
  }

  // The host path of a disc's cover.
  static std::filesystem::path CoverFile(const GenreElement* genre, const DiscElement* disc) {
    return std::filesystem::path(kRoot) / genre->GetName().c_str() / disc->GetTitle().c_str() /
           kCoverName;
  }

  // The colour of the cover of disc position d (distinct for d < 25).
  static Rgba ColorOf(int d) { return Opaque(20 + 45 * (d % 5), 60 + 40 * (d / 5 % 5), 150); }

 private:
  static void WriteCover(const std::filesystem::path& file, const Rgba& color) {
    std::filesystem::create_directories(file.parent_path());
    SDL_Surface* image = FilledSurface(kCoverWidth, kCoverHeight, std::get<0>(color),
                                       std::get<1>(color), std::get<2>(color));
    SDL_SaveBMP(image, file.c_str());
    SDL_FreeSurface(image);
  }

  template <class Element>
  Element* Own(Element* element) {
    elements_.emplace_back(element);
    return element;
  }

  MainLibrary& library_;
  std::vector<std::shared_ptr<void>> elements_;
};
