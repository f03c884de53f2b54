// The screen of a cabinet with nothing to play keeps crediting coins and
// ends only when asked to.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/NoMediaScreen.h"
#include "gui/Skin.h"
#include "state/Cashbox.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

SDL_Event KeyEvent(Uint8 type, int key, int modifiers = KMOD_NONE) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym.sym = static_cast<SDLKey>(key);
  event.key.keysym.mod = static_cast<SDLMod>(modifiers);
  return event;
}

TEST(NoMediaScreen, CoinsAreCreditedAndSavedAndOnlyAQuitEndsIt) {
  TempDir cabinet;
  MainLibrary library;
  Configuration config(&library);
  config.playmode = "jukebox";
  config.exit = SDLK_F12;
  Skin skin(1024, 768, 1);
  Queue queue;
  Cashbox cashbox(queue, config, &library);
  NoMediaScreen screen(config, skin, cashbox);

  for (const SDL_Event& event :
       {KeyEvent(SDL_KEYDOWN, config.coin2), KeyEvent(SDL_KEYUP, config.coin2), KeyEvent(SDL_KEYDOWN, SDLK_a),
        KeyEvent(SDL_KEYUP, SDLK_a), KeyEvent(SDL_KEYDOWN, SDLK_F4)})
    EXPECT_TRUE(screen.Handle(event));
  EXPECT_EQ(cashbox.Credits(), config.creditscoin2);
  EXPECT_NE(ReadHostFile("tempdata").find("savedcredits=3\n"), std::string::npos) << ReadHostFile("tempdata");
  EXPECT_EQ(std::string(screen.Message("media").back().Chars()), "Creditos: 3");

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  for (const SDL_Event& event : {KeyEvent(SDL_KEYDOWN, SDLK_F12), KeyEvent(SDL_KEYDOWN, SDLK_F4, KMOD_LALT), quit})
    EXPECT_FALSE(screen.Handle(event));
}

TEST(NoMediaScreen, MessageSaysWhatTheOwnerMustDo) {
  MainLibrary library;
  Configuration config(&library);
  Skin skin(1024, 768, 1);
  Queue queue;
  Cashbox cashbox(queue, config, &library);
  const NoMediaScreen screen(config, skin, cashbox);
  const auto text = [&](const char* folder) {
    std::string joined;
    for (const RString& line : screen.Message(folder)) joined += std::string(line.Chars()) + "\n";
    return joined;
  };
  EXPECT_NE(text("D:\\musica").find("Copie los albumes en la carpeta D:\\musica"), std::string::npos);
  EXPECT_NE(text("").find("mediacontent=media"), std::string::npos);
}

}  // namespace
