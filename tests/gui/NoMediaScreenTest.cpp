#include "gui/NoMediaScreen.h"

#include <gtest/gtest.h>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/Skin.h"
#include "state/Cashbox.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

SDL_Event Event(Uint8 type, int key = 0, int modifiers = KMOD_NONE) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym.sym = static_cast<SDLKey>(key);
  event.key.keysym.mod = static_cast<SDLMod>(modifiers);
  return event;
}

// Coins are credited and saved while the cabinet waits; only a quit ends it.
TEST(NoMediaScreen, CreditsCoinsUntilAQuit) {
  TempDir cabinet;
  MainLibrary library;
  Configuration config(&library);
  config.playmode = "jukebox";
  config.exit = SDLK_F12;
  const Skin skin(1024, 768, 1);
  Queue queue;
  Cashbox cashbox(queue, config, &library);
  NoMediaScreen screen(config, skin, cashbox);
  for (const SDL_Event& event : {Event(SDL_KEYDOWN, config.coin2), Event(SDL_KEYUP, config.coin2),
                                 Event(SDL_KEYDOWN, SDLK_a), Event(SDL_KEYDOWN, SDLK_F4)})
    EXPECT_TRUE(screen.Handle(event));
  cashbox.Flush();
  EXPECT_NE(ReadHostFile("tempdata").find("savedcredits=3\n"), std::string::npos) << ReadHostFile("tempdata");
  EXPECT_EQ(std::string(screen.Message("D:\\musica")[1].Chars()), "Copie los albumes en la carpeta D:\\musica,");
  EXPECT_EQ(std::string(screen.Message("D:\\musica").back().Chars()), "Creditos: 3");
  for (const SDL_Event& event : {Event(SDL_KEYDOWN, SDLK_F12), Event(SDL_KEYDOWN, SDLK_F4, KMOD_LALT), Event(SDL_QUIT)})
    EXPECT_FALSE(screen.Handle(event));
}

}  // namespace
