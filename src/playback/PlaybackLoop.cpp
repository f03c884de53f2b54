// The playback thread: plays the queue from its head, fills it by itself in
// the automatic play modes, copies each played item into the favourites
// folder and tells the GUI when an item starts and finishes.

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "platform/Clock.h"
#include "playback/Player.h"

namespace {

const uint32_t kLoopPause = 10;
// With nothing to play the thread looks at the queue less often: an entry
// starts at most this much later, and an idle cabinet wakes less.
const uint32_t kIdlePause = 50;
const char* const kContinuousMode = "continuo";
const char* const kRandomMode = "aleatorio";
const char* const kKaraokeGenre = "Karaoke";

template <class Element>
Element* ElementOf(RItemList* node) {
  return static_cast<Element*>(node->data);
}

// A position drawn with rand() among count; none when count is 0.
bool Draw(int count, uint32_t& position) {
  if (count <= 0) return false;
  position = static_cast<uint32_t>(std::rand() % count);
  return true;
}

}  // namespace

void Player::PlayerLoop() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  while (!stopThread) {
    PlayNext();
    platform::Delay(queue->Count() == 0 ? kIdlePause : kLoopPause);
  }
}

void Player::PlayNext() {
  if (queue->Count() == 0) FillEmptyQueue();
  if (const std::optional<QueueElement> head = queue->GetElementFromQueue(0)) PlayHead(*head);
}

void Player::FillEmptyQueue() {
  std::optional<QueueElement> next;
  if (playmode == kContinuousMode) next = FollowingTrack(*library, lastPlayed_);
  else if (playmode == kRandomMode) next = RandomTrack(*library);
  if (next) queue->AddElementToQueue(next->genre, next->disc, next->track);
}

std::optional<QueueElement> Player::RandomTrack(const MainLibrary& library) {
  QueueElement track;
  if (Draw(library.GetTotalGenres(), track.genre) && Draw(library.GetTotalDiscs(track.genre), track.disc) &&
      Draw(library.GetTotalTracks(track.genre, track.disc), track.track))
    return track;
  return std::nullopt;
}

std::optional<QueueElement> Player::FollowingTrack(const MainLibrary& library, const QueueElement& position) {
  uint32_t genre = position.genre, disc = position.disc, track = position.track + 1;
  // From the position to the end of the catalogue, then once more from the
  // start, which covers every track.
  for (int round = 0; round < 2; ++round) {
    for (RItemList* genreNode = library.GetItemRaw(static_cast<int>(genre)); genreNode;
         genreNode = genreNode->next, ++genre, disc = 0, track = 0) {
      const GenreElement* genreElement = ElementOf<GenreElement>(genreNode);
      for (RItemList* discNode = genreElement->GetDiscNode(disc); discNode;
           discNode = discNode->next, ++disc, track = 0) {
        if (track < static_cast<uint32_t>(ElementOf<DiscElement>(discNode)->GetTotalTracks()))
          return QueueElement{genre, disc, track, 0};
      }
    }
    genre = disc = track = 0;
  }
  return std::nullopt;
}

namespace {

bool NotPlayedAtAll(Player::Outcome outcome) {
  return outcome != Player::Outcome::kPlayed && outcome != Player::Outcome::kStopped;
}

PlayReport::End EndOf(Player::Outcome outcome) {
  if (NotPlayedAtAll(outcome)) return PlayReport::End::kFailed;
  return outcome == Player::Outcome::kStopped ? PlayReport::End::kSkipped : PlayReport::End::kPlayed;
}

}  // namespace

// An entry that does not lie in the catalogue, or whose path would lead out
// of the media folder, is not played but finishes like any other.
void Player::PlayHead(const QueueElement& entry) {
  PlayReport report;
  report.started = platform::UnixTime();
  const Outcome outcome =
      InCatalogue(entry) && StaysInMediaFolder(entry) ? PlayEntry(entry) : Outcome::kPlayed;
  // Stopping the thread cuts the item short; it stays queued.
  if (stopThread) return;
  report.ended = platform::UnixTime();
  report.end = EndOf(outcome);
  stopRequested = 0;
  lastPlayed_ = entry;
  // The main thread may have changed the queue meanwhile: only this entry
  // leaves it.
  if (gui == nullptr)
    queue->RemoveHeadIf(entry);
  else if (NotPlayedAtAll(outcome))
    gui->ItemNotPlayed(entry, report);
  else
    gui->ItemPlayed(entry, report);
  Post(kFinished);
}

bool Player::StaysInMediaFolder(const QueueElement& entry) const {
  if (!library->TrackLeavesItsFolder(entry.genre, entry.disc, entry.track)) return true;
  std::printf("Pista rechazada, nombre no valido: %s\n",
              library->GetTrackPath(entry.genre, entry.disc, entry.track).Chars());
  return false;
}

Player::Outcome Player::PlayEntry(const QueueElement& entry) {
  const RString file = library->GetTrackPath(entry.genre, entry.disc, entry.track);
  CopyToFavourites(entry, file);
  // The item counts as playing from the moment the GUI is told so: a stop
  // that follows the announcement cuts it short.
  BeginItem();
  Post(library->IsVideo(entry.genre, entry.disc, entry.track) ? kVideoStarted : kSongStarted);
  std::printf("Reproduciendo [%u,%u,%u]\n", entry.genre, entry.disc, entry.track);
  const Outcome outcome = PlayerPlay(file);
  if (outcome == Outcome::kPlayed && library->GetGenreName(entry.genre) == kKaraokeGenre) {
    std::printf("Apunto de calificar karaoke\n");
    karaoke = 1;
  }
  return outcome;
}

// The copy goes to the favourites folder of the item's genre, under the
// first media folder, replacing an earlier copy.
void Player::CopyToFavourites(const QueueElement& entry, const RString& file) {
  const RString genreName = library->GetGenreName(entry.genre);
  if (!Settings().favoritos || genreName == MainLibrary::kFavouritesGenreName) return;
  if (library->GetContentPathCount() == 0) return;
  std::printf("Agregando a favoritas\n");
  const RString target = library->GetContentPath(0) + "\\" + MainLibrary::kFavouritesGenreName + "\\" +
                         genreName + "\\" + library->GetTrackTitle(entry.genre, entry.disc, entry.track);
  if (!Copy(file, target)) std::printf("No se pudo copiar a favoritas: %s\n", target.Chars());
}

void Player::Post(int event) {
  if (gui != nullptr) gui->ExternalAction(event);
}
