#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CoverCatalogue.h"
#include "SDLGuiTestCabinet.h"
#include "playback/Player.h"

namespace {

const Rgba kDefaultCoverGrey = Opaque(90, 90, 90);
const Rgba kFrameCyan = Opaque(0, 255, 255);
const Rgba kVolumeGrey = Opaque(200, 200, 200);
const Rgba kMarker = Opaque(255, 0, 255);

struct PanelText {
  SDL_TTFWriter& writer;
  std::string text;
  int x;
  int y;
  int maxWidth;
};

class SDLGuiPanelsTest : public CabinetTest {
 protected:
  SDLGuiPanelsTest() { config.playmode = "jukebox"; }

  // The picture a panel should hold: its piece of the background with the
  // texts drawn on it.
  SDL_Surface* ExpectedPanel(const SDL_Rect& area, const std::vector<PanelText>& texts) {
    SDL_Surface* expected = SDLGui::NewSurface(area.w, area.h);
    SDL_Rect from = area;
    SDL_BlitSurface(gui.Images().background, &from, expected, nullptr);
    for (const PanelText& text : texts)
      text.writer.DrawText2(expected, text.text.c_str(), text.x, text.y, text.maxWidth);
    return expected;
  }

  void ExpectPanel(SDL_Surface* panel, const SDL_Rect& area, const std::vector<PanelText>& texts) {
    SDL_Surface* expected = ExpectedPanel(area, texts);
    EXPECT_TRUE(SamePicture(panel, expected));
    SDL_FreeSurface(expected);
  }

  SDL_Rect GenreArea() const {
    return SDLGui::MakeRect(skin.xgenre, skin.ygenre, skin.wgenre, skin.hgenre);
  }
  SDL_Rect TitlesArea() const {
    return SDLGui::MakeRect(skin.xtitles, skin.ytitles, skin.wtitles, skin.htitles);
  }
  SDL_Rect InfoArea() const {
    return SDLGui::MakeRect(skin.xinfo, skin.yinfo, skin.winfo, skin.hinfo);
  }
  SDL_Rect CreditsArea() const {
    return SDLGui::MakeRect(skin.xcredits, skin.ycredits, skin.wcredits, skin.hcredits);
  }

  // The titles as DrawTitles should write them, slot by slot.
  std::vector<PanelText> Titles(const std::vector<std::string>& texts) {
    std::vector<PanelText> titles;
    for (size_t i = 0; i < texts.size(); ++i)
      titles.push_back({gui.Writers().titlesFont, texts[i],
                        static_cast<int>(i) * (skin.wcover + skin.coverseparation), 0,
                        skin.wcover});
    return titles;
  }

  void ShowTitles(uint32_t genre, uint32_t disc) {
    gui.Selection().selGenre = genre;
    gui.Selection().selDisc = disc;
    gui.Carousel().ResetCoversCache();
    ASSERT_TRUE(SettleCovers());
    gui.Panels().DrawTitles(false);
  }

  // A queue panel with room for exactly rows rows.
  void UseQueueRows(int rows) {
    gui.Lists().queueList =
        std::make_unique<ListBox>(SDLGui::MakeRect(skin.xqueue, skin.yqueue, skin.wqueue,
                                                   rows * gui.Writers().queueFont.GetFontHeight()),
                                  &gui.Writers().queueFont);
    gui.Lists().queueList->SetSelected(-1);
    ASSERT_EQ(gui.Lists().queueList->GetNVisibles(), rows);
  }

  static std::vector<std::string> Rows(const ListBox& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.Count(); ++i) rows.push_back(list.GetItem(i));
    return rows;
  }

  static SDL_Surface* Region(SDL_Surface* surface, const SDL_Rect& area) {
    SDL_Surface* region = SDLGui::NewSurface(area.w, area.h);
    SDL_Rect from = area;
    SDL_BlitSurface(surface, &from, region, nullptr);
    return region;
  }

  static void Fill(SDL_Surface* surface, const Rgba& color) {
    SDL_FillRect(
        surface, nullptr,
        SDL_MapRGB(surface->format, std::get<0>(color), std::get<1>(color), std::get<2>(color)));
  }

  // Pixels of the screen outside area that are not the marker colour.
  int ChangedOutside(const SDL_Rect& area) {
    const Uint32 marker = SDL_MapRGB(gui.Display().screen->format, 255, 0, 255);
    const int bytes = gui.Display().screen->format->BytesPerPixel;
    int changed = 0;
    SDL_LockSurface(gui.Display().screen);
    for (int y = 0; y < gui.Display().screen->h; ++y) {
      const auto* row = static_cast<const Uint8*>(gui.Display().screen->pixels) + y * gui.Display().screen->pitch;
      for (int x = 0; x < gui.Display().screen->w; ++x) {
        if (x >= area.x && x < area.x + area.w && y >= area.y && y < area.y + area.h) continue;
        Uint32 pixel = 0;
        std::memcpy(&pixel, row + x * bytes, bytes);
        if (pixel != (marker & ((bytes == 4) ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1))) ++changed;
      }
    }
    SDL_UnlockSurface(gui.Display().screen);
    return changed;
  }

  CoverCatalogue catalogue{library};
};

TEST_F(SDLGuiPanelsTest, RowsAreNumberedWithTheDigitsOfTheirCount) {
  EXPECT_STREQ(MainPanels::NumberedRow(7, 120, "Title").c_str(), "007.- Title");
  EXPECT_STREQ(MainPanels::NumberedRow(120, 120, "Title").c_str(), "120.- Title");
  EXPECT_STREQ(MainPanels::NumberedRow(9, 9, "Tema").c_str(), "9.- Tema");
  EXPECT_STREQ(MainPanels::NumberedRow(1, 10, "Tema").c_str(), "01.- Tema");
  EXPECT_STREQ(MainPanels::ShownTitle("01 Tema.uno.mp3").c_str(), "01 Tema.uno");
  EXPECT_STREQ(MainPanels::ShownTitle("Sin extension").c_str(), "Sin extension");
}

TEST_F(SDLGuiPanelsTest, GenreHeaderFollowsTheNumberEntry) {
  catalogue.AddGenre("Pop", 12);
  ASSERT_EQ(Start(), 1) << setUpLog;

  gui.Panels().DrawGenre(false);
  ExpectPanel(gui.Images().genreSave, GenreArea(), {{gui.Writers().genreFont, "Genero: Pop", 0, 0, 0}});

  gui.Selection().typedNumber = "7";
  gui.Panels().DrawGenre(false);
  ExpectPanel(gui.Images().genreSave, GenreArea(), {{gui.Writers().genreFont, "Disco: 7", 0, 0, 0}});

  gui.Selection().enteringTrack = 1;
  gui.Selection().selDisc = 6;
  gui.Selection().typedNumber = "3";
  gui.Panels().DrawGenre(false);
  ExpectPanel(gui.Images().genreSave, GenreArea(), {{gui.Writers().genreFont, "Disco: 07    Pista: 3", 0, 0, 0}});
}

TEST_F(SDLGuiPanelsTest, TitlesNumberTheDiscsOnScreen) {
  GenreElement* favourites = catalogue.AddGenre("Favoritas", 2);
  favourites->GetDisc(0)->SetDiscIndex(40);
  favourites->GetDisc(1)->SetDiscIndex(41);
  catalogue.AddGenre("Rock", 120);
  catalogue.AddGenre("Duo", 2);
  ASSERT_EQ(Start(), 1) << setUpLog;

  ShowTitles(1, 6);
  ExpectPanel(gui.Images().titlesSave, TitlesArea(),
              Titles({"007.- Disco 6", "008.- Disco 7", "009.- Disco 8", "010.- Disco 9"}));
  ShowTitles(1, 118);
  ExpectPanel(gui.Images().titlesSave, TitlesArea(),
              Titles({"119.- Disco 118", "120.- Disco 119", "001.- Disco 0", "002.- Disco 1"}));

  // The first genre numbers its discs by their own index.
  ShowTitles(0, 0);
  ExpectPanel(gui.Images().titlesSave, TitlesArea(), Titles({"41.- Disco 0", "42.- Disco 1"}));

  // Two discs with the second selected: one title, no wrap-around.
  ShowTitles(2, 1);
  ExpectPanel(gui.Images().titlesSave, TitlesArea(), Titles({"2.- Disco 1"}));
}

TEST_F(SDLGuiPanelsTest, CoversEnlargeAndFrameTheSelectedDisc) {
  catalogue.AddGenre("Pop", 5);
  catalogue.AddGenre("Duo", 2);
  ASSERT_EQ(Start(), 1) << setUpLog;
  ASSERT_TRUE(SettleCovers());
  gui.Panels().DrawCovers(false);

  const int step = skin.wcover + skin.coverseparation;
  const int coverHeight = skin.hcovers - skin.coverseparation;
  SDL_Surface* panel = gui.Images().coversSave;
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(ColorAt(panel, k, 100), kFrameCyan) << k;
    EXPECT_EQ(ColorAt(panel, 100, k), kFrameCyan) << k;
    EXPECT_EQ(ColorAt(panel, skin.wcover + skin.coverseparation - k, 100), kFrameCyan) << k;
    EXPECT_EQ(ColorAt(panel, 100, coverHeight + skin.coverseparation - 1 - k), kFrameCyan) << k;
  }
  // The 3:2 covers keep their shape in taller places: dark above and below.
  EXPECT_TRUE(Near(ColorAt(panel, 3, coverHeight / 2), CoverCatalogue::ColorOf(0)));
  EXPECT_TRUE(Near(ColorAt(panel, 100, 5), Opaque(0, 0, 0)));
  for (int i = 1; i < 4; ++i) {
    const int left = step * i + skin.coverseparation;
    EXPECT_TRUE(Near(ColorAt(panel, left + 1, coverHeight / 2), CoverCatalogue::ColorOf(i))) << i;
    EXPECT_TRUE(Near(ColorAt(panel, left + 1, 1), Opaque(0, 0, 0))) << i;
    EXPECT_TRUE(Near(ColorAt(panel, left + 1, coverHeight + 5), Color(kSkinBlue))) << i;
    EXPECT_TRUE(Near(ColorAt(panel, left - 1, 1), Color(kSkinBlue))) << i;
  }

  // Two discs with the second selected: one cover.
  gui.Selection().selGenre = 1;
  gui.Selection().selDisc = 1;
  gui.Carousel().ResetCoversCache();
  ASSERT_TRUE(SettleCovers());
  gui.Panels().DrawCovers(false);
  EXPECT_TRUE(Near(ColorAt(panel, 100, 100), CoverCatalogue::ColorOf(1)));
  EXPECT_TRUE(Near(ColorAt(panel, step + 100, 100), Color(kSkinBlue)));
}

TEST_F(SDLGuiPanelsTest, TracksListTheSelectedDiscWithoutExtensions) {
  GenreElement* genre = catalogue.AddGenre("Pop", 1, 9);
  DiscElement* twelve = catalogue.AddDisc(genre, "Doce", 11, true);
  catalogue.AddTrack(twelve, "Intro");
  ASSERT_EQ(Start(), 1) << setUpLog;

  gui.Selection().selTrack = 4;
  gui.Panels().DrawTracks(false);
  const std::vector<std::string> nine = Rows(*gui.Lists().tracksList);
  ASSERT_EQ(nine.size(), 9u);
  EXPECT_EQ(nine.front(), "1.- Tema 0");
  EXPECT_EQ(nine.back(), "9.- Tema 8");
  EXPECT_EQ(gui.Lists().tracksList->GetSelected(), 4);

  gui.Selection().selDisc = 1;
  gui.Selection().selTrack = 0;
  gui.Panels().DrawTracks(false);
  const std::vector<std::string> twelveRows = Rows(*gui.Lists().tracksList);
  ASSERT_EQ(twelveRows.size(), 12u);
  EXPECT_EQ(twelveRows.front(), "01.- Tema 0");
  EXPECT_EQ(twelveRows.back(), "12.- Intro");
  EXPECT_EQ(gui.Lists().tracksList->GetSelected(), 0);
}

TEST_F(SDLGuiPanelsTest, QueueShowsTheWaitingEntriesAndCountsTheRest) {
  catalogue.AddGenre("Pop", 1, 9);
  ASSERT_EQ(Start(), 1) << setUpLog;
  UseQueueRows(5);

  for (uint32_t t = 0; t < 4; ++t) queue.AddElementToQueue(0, 0, t);
  gui.Panels().DrawQueue(false);
  EXPECT_EQ(Rows(*gui.Lists().queueList), (std::vector<std::string>{"Tema 1", "Tema 2", "Tema 3"}));

  queue.AddElementToQueue(0, 0, 4);
  gui.Panels().DrawQueue(false);
  EXPECT_EQ(Rows(*gui.Lists().queueList), (std::vector<std::string>{"Tema 1", "Tema 2", "Tema 3", "+1 cancion"}));

  for (uint32_t t = 5; t < 9; ++t) queue.AddElementToQueue(0, 0, t);
  gui.Panels().DrawQueue(false);
  EXPECT_EQ(Rows(*gui.Lists().queueList),
            (std::vector<std::string>{"Tema 1", "Tema 2", "Tema 3", "+5 canciones"}));

  queue.AddElementToQueueVIP(0, 0, 8);
  gui.Panels().DrawQueue(false);
  EXPECT_EQ(Rows(*gui.Lists().queueList),
            (std::vector<std::string>{"[*] Tema 8", "Tema 1", "Tema 2", "+6 canciones"}));
  EXPECT_EQ(queue.Count(), 10);
}

TEST_F(SDLGuiPanelsTest, QueueDropsEntriesWhoseTrackIsGone) {
  catalogue.AddGenre("Pop", 1, 9);
  ASSERT_EQ(Start(), 1) << setUpLog;
  UseQueueRows(5);
  queue.AddElementToQueue(0, 0, 0);
  queue.AddElementToQueue(0, 0, 1);
  queue.AddElementToQueue(0, 0, 99);  // no such track
  queue.AddElementToQueue(0, 7, 0);   // no such disc
  queue.AddElementToQueue(3, 0, 0);   // no such genre
  queue.AddElementToQueue(0, 0, 2);
  queue.AddElementToQueue(0, 0, 3);

  gui.Panels().DrawQueue(false);
  EXPECT_EQ(Rows(*gui.Lists().queueList), (std::vector<std::string>{"Tema 1", "Tema 2", "Tema 3"}));
  std::vector<uint32_t> tracks;
  for (const QueueElement& entry : queue.GetElements()) tracks.push_back(entry.track);
  EXPECT_EQ(tracks, (std::vector<uint32_t>{0, 1, 2, 3}));
}

TEST_F(SDLGuiPanelsTest, HiddenQueueIsNeitherComposedNorShown) {
  catalogue.AddGenre("Pop", 1, 9);
  config.noshowqueue = true;
  ASSERT_EQ(Start(), 1) << setUpLog;
  for (uint32_t t = 0; t < 3; ++t) queue.AddElementToQueue(0, 0, t);
  Fill(gui.Display().screen, kMarker);
  gui.Panels().DrawQueue(true);
  gui.Panels().UpdateQueue();
  EXPECT_EQ(gui.Lists().queueList->Count(), 0);
  EXPECT_EQ(ChangedOutside(SDLGui::MakeRect(0, 0, 0, 0)), 0);
}

TEST_F(SDLGuiPanelsTest, CreditsBoxShowsCreditsOrThePlayMode) {
  catalogue.AddGenre("Pop", 1);
  ASSERT_EQ(Start(), 1) << setUpLog;
  GiveCredits(gui, 3);
  auto expectCentred = [&](const char* text) {
    int width = 0;
    gui.Writers().modeFont.SizeText(text, &width, nullptr);
    ExpectPanel(gui.Images().creditsSave, CreditsArea(),
                {{gui.Writers().modeFont, text, skin.wcredits / 2 - width / 2, 0, skin.wcredits}});
  };

  config.countertype = "Creditos";
  gui.Panels().DrawCredits(false);
  expectCentred("Creditos: 3");
  config.countertype = "Pesos";
  gui.Panels().DrawCredits(false);
  expectCentred("Pesos: 3");
  for (const char* mode : {"fiesta", "continuo", "aleatorio"}) {
    config.playmode = mode;
    gui.Panels().DrawCredits(false);
    expectCentred(mode[0] == 'f' ? "Fiesta" : mode[0] == 'c' ? "Continuo" : "Aleatorio");
  }
  config.playmode = "otro";
  gui.Panels().DrawCredits(false);
  ExpectPanel(gui.Images().creditsSave, CreditsArea(), {});
}

TEST_F(SDLGuiPanelsTest, NowPlayingShowsTheHeadOfTheQueue) {
  catalogue.AddGenre("Pop", 1);
  catalogue.AddGenre("Rock", 3, 2);
  ASSERT_EQ(Start(), 1) << setUpLog;

  gui.Panels().DrawPlayingInfo(false);
  ExpectPanel(gui.Images().playingSave, InfoArea(), {});

  queue.AddElementToQueue(1, 2, 1);
  gui.Timing().playSeconds = 125;
  gui.Panels().DrawPlayingInfo(false);
  const int h = gui.Writers().playingFont.GetFontHeight();
  ExpectPanel(gui.Images().playingSave, InfoArea(),
              {{gui.Writers().playingFont, "Reproduciendo: 02:05", 0, 0, skin.winfo},
               {gui.Writers().playingFont, "Genero: 2.- Rock", 0, h, skin.winfo},
               {gui.Writers().playingFont, "Album: 3.- Disco 2", 0, 2 * h, skin.winfo},
               {gui.Writers().playingFont, "Pista: 2.- Tema 1", 0, 3 * h, skin.winfo}});

  // Shown on the main screen only.
  Fill(gui.Display().screen, kMarker);
  gui.Display().dialog = SDLGui::kGenresScreen;
  gui.Panels().UpdatePlayingInfo();
  EXPECT_EQ(ColorAt(gui.Display().screen, skin.xinfo + 1, skin.yinfo + 1), kMarker);
  gui.Display().dialog = SDLGui::kMainScreen;
  gui.Panels().UpdatePlayingInfo();
  EXPECT_NE(ColorAt(gui.Display().screen, skin.xinfo + 1, skin.yinfo + 1), kMarker);
}

TEST_F(SDLGuiPanelsTest, NowPlayingStaysUnderAFullScreenVideo) {
  GenreElement* genre = catalogue.AddGenre("Videos", 1, 0);
  catalogue.AddTrack(genre->GetDisc(0), "Clip.mp4");
  ASSERT_EQ(Start(), 1) << setUpLog;
  Player player(&gui, &library, &queue, "directx");
  gui.Resources().player = &player;
  queue.AddElementToQueue(0, 0, 0);

  Fill(gui.Images().playingSave, kMarker);
  gui.Panels().DrawPlayingInfo(false);
  EXPECT_EQ(ColorAt(gui.Images().playingSave, 1, 1), kMarker);

  gui.Input().miniVideo = 1;
  gui.Panels().DrawPlayingInfo(false);
  EXPECT_NE(ColorAt(gui.Images().playingSave, 1, 1), kMarker);

  gui.Input().miniVideo = 0;
  config.tvout = 1;
  Fill(gui.Images().playingSave, kMarker);
  gui.Panels().DrawPlayingInfo(false);
  EXPECT_NE(ColorAt(gui.Images().playingSave, 1, 1), kMarker);
}

TEST_F(SDLGuiPanelsTest, MediaPanelShowsThePlayingDiscsCover) {
  GenreElement* genre = catalogue.AddGenre("Pop", 3);
  catalogue.AddDisc(genre, "Sin portada", 2, false);
  ASSERT_EQ(Start(), 1) << setUpLog;
  SDL_Surface* panel = gui.Images().coverMediaSave;
  const int midX = skin.wmedia / 2, midY = skin.hmedia / 2;

  gui.Panels().DrawCoverMedia(false);
  EXPECT_TRUE(Near(ColorAt(panel, midX, midY), Color(kSkinBlue)));

  queue.AddElementToQueue(0, 2, 0);
  gui.Panels().DrawCoverMedia(false);
  ASSERT_TRUE(SettleCovers());
  gui.Panels().DrawCoverMedia(false);
  EXPECT_TRUE(Near(ColorAt(panel, midX, midY), CoverCatalogue::ColorOf(2)));
  EXPECT_TRUE(Near(ColorAt(panel, skin.wmedia - 1, skin.hmedia - 1), Opaque(0, 0, 0))) << "dark beside a 3:2 cover";

  queue.Remove(0);
  queue.AddElementToQueue(0, 3, 0);
  gui.Panels().DrawCoverMedia(false);
  ASSERT_TRUE(SettleCovers());
  gui.Panels().DrawCoverMedia(false);
  EXPECT_TRUE(Near(ColorAt(panel, midX, midY), kDefaultCoverGrey));
}

TEST_F(SDLGuiPanelsTest, VolumeBarIsTheVolumesShareOfThePanel) {
  catalogue.AddGenre("Pop", 1);
  ASSERT_EQ(Start(), 1) << setUpLog;
  SDL_Surface* panel = gui.Images().volumeSave;
  const int last = skin.wvolumen - 1;

  config.volumen = 0;
  gui.Panels().DrawVolumen(false);
  EXPECT_TRUE(Near(ColorAt(panel, 0, 0), Color(kSkinBlue)));
  config.volumen = 100;
  gui.Panels().DrawVolumen(false);
  EXPECT_EQ(ColorAt(panel, last, skin.hvolumen - 1), kVolumeGrey);
  config.volumen = 50;
  gui.Panels().DrawVolumen(false);
  const int bar = static_cast<int>(skin.wvolumen * 50 / 100.0);
  EXPECT_EQ(ColorAt(panel, bar - 1, 0), kVolumeGrey);
  EXPECT_TRUE(Near(ColorAt(panel, bar, 0), Color(kSkinBlue)));
}

TEST_F(SDLGuiPanelsTest, EachPanelUpdatesOnlyItsRectangle) {
  catalogue.AddGenre("Pop", 5, 4);
  config.volumen = 60;
  ASSERT_EQ(Start(), 1) << setUpLog;
  for (uint32_t t = 0; t < 4; ++t) queue.AddElementToQueue(0, 1, t);
  ASSERT_TRUE(SettleCovers());

  struct PanelCase {
    const char* name;
    std::function<void()> draw;
    SDL_Rect area;
    SDL_Surface* composed;
  };
  const PanelCase panels[] = {
      {"genre", [&] { gui.Panels().DrawGenre(true); }, GenreArea(), gui.Images().genreSave},
      {"titles", [&] { gui.Panels().DrawTitles(true); }, TitlesArea(), gui.Images().titlesSave},
      {"covers", [&] { gui.Panels().DrawCovers(true); },
       SDLGui::MakeRect(skin.xcovers, skin.ycovers, skin.wcovers, skin.hcovers), gui.Images().coversSave},
      {"tracks", [&] { gui.Panels().DrawTracks(true); }, gui.Lists().tracksList->rect, gui.Lists().tracksList->surface},
      {"queue", [&] { gui.Panels().DrawQueue(true); }, gui.Lists().queueList->rect, gui.Lists().queueList->surface},
      {"credits", [&] { gui.Panels().DrawCredits(true); }, CreditsArea(), gui.Images().creditsSave},
      {"info", [&] { gui.Panels().DrawPlayingInfo(true); }, InfoArea(), gui.Images().playingSave},
      {"media", [&] { gui.Panels().DrawCoverMedia(true); },
       SDLGui::MakeRect(skin.xmedia, skin.ymedia, skin.wmedia, skin.hmedia), gui.Images().coverMediaSave},
      {"volume", [&] { gui.Panels().DrawVolumen(true); },
       SDLGui::MakeRect(skin.xvolumen, skin.yvolumen, skin.wvolumen, skin.hvolumen),
       gui.Images().volumeSave},
  };
  for (const PanelCase& panel : panels) {
    Fill(gui.Display().screen, kMarker);
    panel.draw();
    EXPECT_EQ(ChangedOutside(panel.area), 0) << panel.name;
    SDL_Surface* shown = Region(gui.Display().screen, panel.area);
    EXPECT_TRUE(SamePicture(shown, panel.composed)) << panel.name;
    SDL_FreeSurface(shown);
  }
}

TEST_F(SDLGuiPanelsTest, TouchButtonsOnlyOnTouchScreensOutsideTheKeyboard) {
  catalogue.AddGenre("Pop", 1);
  ASSERT_EQ(Start(), 1) << setUpLog;
  const struct {
    int x, y;
    int grey;
  } buttons[] = {{700, 580, 10}, {850, 580, 11}, {0, 195, 12},
                 {890, 195, 13}, {230, 385, 14}, {230, 660, 15}};

  Fill(gui.Display().screen, kMarker);
  gui.Panels().DrawButtons(true);
  EXPECT_EQ(ChangedOutside(SDLGui::MakeRect(0, 0, 0, 0)), 0);

  config.touchscreen = true;
  gui.Display().dialog = SDLGui::kKeyboardScreen;
  gui.Panels().DrawButtons(true);
  EXPECT_EQ(ChangedOutside(SDLGui::MakeRect(0, 0, 0, 0)), 0);

  gui.Display().dialog = SDLGui::kMainScreen;
  gui.Panels().DrawButtons(true);
  for (const auto& button : buttons) {
    EXPECT_TRUE(Near(ColorAt(gui.Display().screen, button.x + 5, button.y + 5),
                     Opaque(button.grey, button.grey, button.grey)))
        << button.x << "," << button.y;
  }
}

TEST_F(SDLGuiPanelsTest, GenresListSelectsTheGenreOverItsDialog) {
  catalogue.AddGenre("Pop", 1);
  catalogue.AddGenre("Rock", 1);
  ASSERT_EQ(Start(), 1) << setUpLog;
  EXPECT_EQ(Rows(*gui.Lists().genresList), (std::vector<std::string>{"1.- Pop", "2.- Rock"}));

  gui.Selection().selGenre = 1;
  Fill(gui.Display().screen, kMarker);
  gui.GenresList().DrawGenresList(true);
  EXPECT_EQ(gui.Lists().genresList->GetSelected(), 1);
  const SDL_Rect dialog =
      SDLGui::MakeRect(skin.xgenreslist, skin.ygenreslist, skin.wgenreslist, skin.hgenreslist);
  EXPECT_EQ(ChangedOutside(dialog), 0);
  EXPECT_TRUE(Near(ColorAt(gui.Display().screen, dialog.x + 5, dialog.y + dialog.h - 5), Opaque(40, 40, 40)));
  EXPECT_TRUE(Near(ColorAt(gui.Lists().genresList->background, 1, 1), Opaque(40, 40, 40)));
}

}  // namespace
