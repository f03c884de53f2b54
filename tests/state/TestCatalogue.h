#pragma once
// A small catalogue for the saved-state tests: genres "Pop", "Rock", "Salsa"
// and "Cumbia", each with the discs "Disco 0" ... "Disco 4" of four tracks
// "Tema 0.mp3" ... "Tema 3.mp3"; "Pop" and "Rock" also hold the downloads
// disc "Descargas" as disc 5.
#include <memory>
#include <string>
#include <vector>

#include "catalogue/MainLibrary.h"

class TestCatalogue {
 public:
  TestCatalogue() {
    for (const char* name : {"Pop", "Rock", "Salsa", "Cumbia"}) {
      GenreElement* genre = Own(new GenreElement(name));
      library.AddItem(genre);
      for (int d = 0; d < 5; ++d) {
        DiscElement* disc = AddDisc(genre, ("Disco " + std::to_string(d)).c_str());
        for (int t = 0; t < 4; ++t) AddTrack(disc, ("Tema " + std::to_string(t) + ".mp3").c_str());
      }
    }
    AddTrack(AddDisc(library.GetGenre(0), "Descargas"), "Song.mp3");
    DiscElement* rockDownloads = AddDisc(library.GetGenre(1), "Descargas");
    AddTrack(rockDownloads, "Primero.mp4");
    AddTrack(rockDownloads, "Otro tema.mp3");
  }

  MainLibrary library;

 private:
  DiscElement* AddDisc(GenreElement* genre, const char* title) {
    DiscElement* disc = Own(new DiscElement(title));
    disc->SetGenre(genre);
    genre->AddDisc(disc);
    return disc;
  }

  void AddTrack(DiscElement* disc, const char* title) { disc->AddTrack(Own(new TrackElement(title))); }

  template <class Element>
  Element* Own(Element* element) {
    elements_.emplace_back(element);
    return element;
  }

  std::vector<std::shared_ptr<void>> elements_;
};
