#include "playback/Queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

namespace {

// Entries are told apart by their track number in these tests.
std::vector<uint32_t> Tracks(const Queue& queue) {
  std::vector<uint32_t> tracks;
  for (const QueueElement& element : queue.GetElements()) tracks.push_back(element.track);
  return tracks;
}

enum Track : uint32_t { P = 1, A, B, V, W };

TEST(QueueTest, VipEntriesGoAheadOfWaitingNormalOnesInArrivalOrder) {
  Queue queue;
  queue.AddElementToQueue(0, 0, P);
  queue.AddElementToQueue(0, 0, A);
  queue.AddElementToQueue(0, 0, B);
  queue.AddElementToQueueVIP(0, 0, V);
  queue.AddElementToQueueVIP(0, 0, W);
  EXPECT_EQ(Tracks(queue), (std::vector<uint32_t>{P, V, W, A, B}));
  EXPECT_EQ(queue.GetElementFromQueue(1)->vip, 1);
  EXPECT_EQ(queue.GetElementFromQueue(3)->vip, 0);
}

TEST(QueueTest, VipEntryIntoShortQueuesIsAppended) {
  Queue queue;
  queue.AddElementToQueueVIP(0, 0, P);
  EXPECT_EQ(Tracks(queue), (std::vector<uint32_t>{P}));
  queue.AddElementToQueueVIP(0, 0, V);
  queue.AddElementToQueueVIP(0, 0, W);
  EXPECT_EQ(Tracks(queue), (std::vector<uint32_t>{P, V, W}));
}

TEST(QueueTest, MissingPositionsGiveNothingAndChangeNothing) {
  Queue queue;
  EXPECT_FALSE(queue.GetElementFromQueue(0));
  EXPECT_FALSE(queue.GetLastElement());
  queue.AddElementToQueue(3, 4, 5);
  EXPECT_FALSE(queue.GetElementFromQueue(queue.Count()));
  EXPECT_FALSE(queue.GetElementFromQueue(-1));
  EXPECT_FALSE(queue.Remove(1));
  EXPECT_FALSE(queue.Remove(-1));
  ASSERT_EQ(queue.Count(), 1);
  const QueueElement element = *queue.GetElementFromQueue(0);
  EXPECT_EQ(element.genre, 3u);
  EXPECT_EQ(element.disc, 4u);
  EXPECT_EQ(element.track, 5u);
}

TEST(QueueTest, RemoveTakesOutOnePosition) {
  Queue queue;
  for (uint32_t track : {P, A, B}) queue.AddElementToQueue(0, 0, track);
  EXPECT_TRUE(queue.Remove(1));
  EXPECT_EQ(Tracks(queue), (std::vector<uint32_t>{P, B}));
  EXPECT_EQ(queue.GetLastElement()->track, uint32_t{B});
}

TEST(QueueTest, LastEntryTurnsVipOnlyWhileItIsTheExpectedOne) {
  Queue queue;
  for (uint32_t track : {P, A, B, W}) queue.AddElementToQueue(0, 0, track);
  EXPECT_FALSE(queue.RemoveLastAndInsertVIP(QueueElement{0, 0, B}));
  EXPECT_EQ(Tracks(queue), (std::vector<uint32_t>{P, A, B, W}));
  EXPECT_TRUE(queue.RemoveLastAndInsertVIP(QueueElement{0, 0, W}));
  EXPECT_EQ(Tracks(queue), (std::vector<uint32_t>{P, W, A, B}));
  EXPECT_EQ(queue.GetElementFromQueue(1)->vip, 1);
}

// Turning the last entry VIP must move it ahead of a normal entry that
// waits; otherwise nothing changes and nothing is reported as done.
TEST(QueueTest, LastEntryTurnsVipOnlyWhenItPassesANormalOne) {
  const struct {
    std::vector<uint32_t> normal;
    std::vector<uint32_t> vip;  // queued as VIP after the normal ones
    bool passes;
  } queues[] = {
      {{P}, {}, false},         // the one playing
      {{P, W}, {}, false},      // only the playing one ahead
      {{P, W}, {V}, false},     // only a VIP one ahead
      {{P}, {V}, false},        // already VIP
      {{P, A, W}, {}, true},
      {{P, A, W}, {V}, true},
  };
  for (const auto& entries : queues) {
    Queue queue;
    for (uint32_t track : entries.normal) queue.AddElementToQueue(0, 0, track);
    for (uint32_t track : entries.vip) queue.AddElementToQueueVIP(0, 0, track);
    const std::vector<uint32_t> before = Tracks(queue);
    const QueueElement last = *queue.GetLastElement();
    SCOPED_TRACE(before.size());
    EXPECT_EQ(queue.LastWouldPassAsVIP(last), entries.passes);
    EXPECT_EQ(queue.RemoveLastAndInsertVIP(last), entries.passes);
    if (!entries.passes) {
      EXPECT_EQ(Tracks(queue), before);
    }
  }
}

TEST(QueueTest, HeadIsRemovedOnlyWhenItIsTheExpectedPlay) {
  Queue queue;
  EXPECT_FALSE(queue.RemoveHeadIf(QueueElement{0, 0, P}));
  queue.AddElementToQueue(0, 0, P);
  queue.AddElementToQueue(0, 0, A);
  EXPECT_FALSE(queue.RemoveHeadIf(QueueElement{0, 0, A}));
  EXPECT_FALSE(queue.RemoveHeadIf(QueueElement{1, 0, P}));
  EXPECT_TRUE(queue.RemoveHeadIf(QueueElement{0, 0, P}));
  EXPECT_EQ(Tracks(queue), (std::vector<uint32_t>{A}));
}

// Every waiting VIP entry stands ahead of every waiting normal one.
bool VipsLeadTheWaitingEntries(const std::vector<QueueElement>& elements) {
  bool normalSeen = false;
  for (size_t i = 1; i < elements.size(); ++i) {
    if (elements[i].vip == 0) normalSeen = true;
    if (elements[i].vip == 1 && normalSeen) return false;
  }
  return true;
}

// The main thread queues while the playback thread plays: nothing may be
// lost, doubled or reordered against the VIP rule.
TEST(QueueTest, SurvivesConcurrentQueueingAndPlaying) {
  Queue queue;
  std::atomic<bool> stop{false};
  uint32_t added = 0;
  std::vector<uint32_t> played;
  bool orderKept = true;

  std::thread mainThread([&] {
    while (!stop) {
      if (queue.Count() > 100) {
        std::this_thread::yield();
        continue;
      }
      ++added;
      if (added % 3 == 0)
        queue.AddElementToQueueVIP(0, 0, added);
      else
        queue.AddElementToQueue(0, 0, added);
    }
  });
  std::thread playbackThread([&] {
    while (!stop) {
      if (const auto head = queue.GetElementFromQueue(0)) {
        if (queue.RemoveHeadIf(*head)) played.push_back(head->track);
      }
      queue.GetElementFromQueue(queue.Count() / 2);
      queue.GetLastElement();
      orderKept = orderKept && VipsLeadTheWaitingEntries(queue.GetElements());
    }
  });
  std::this_thread::sleep_for(std::chrono::seconds(2));
  stop = true;
  mainThread.join();
  playbackThread.join();

  EXPECT_TRUE(orderKept);
  EXPECT_GT(played.size(), 0u);
  EXPECT_EQ(static_cast<uint32_t>(queue.Count()), added - played.size());
  std::set<uint32_t> seen(played.begin(), played.end());
  for (uint32_t track : Tracks(queue)) seen.insert(track);
  EXPECT_EQ(seen.size(), added);
  EXPECT_EQ(*seen.begin(), 1u);
  EXPECT_EQ(*seen.rbegin(), added);
}

}  // namespace
