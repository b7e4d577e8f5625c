// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ChangeFeed.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace varnoth {
namespace {

// One subscriber as the model sees it: what it has not taken yet and whether it has been woken since.
struct Model {
    ChangeSet pending;
    bool woken = false;
    int wakes = 0;
};

std::string Bits(const ChangeSet& set) {
    std::string text;
    for (std::size_t bit = 0; bit < kChangeBits; ++bit) {
        if (set.test(bit)) {
            text += std::to_string(bit) + " ";
        }
    }
    return text.empty() ? "none" : text;
}

// Two subscribers taking at different paces over random interleavings of marks and takes (one seed a
// case): each take gives exactly the bits marked since that subscriber's last take, and each subscriber is
// woken once by the first mark after its take, never again until it takes.
TEST(ChangeFeedTest, EachSubscriberTakesWhatChangedSinceItsOwnLastTakeAndIsWokenOncePerBatch) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        ChangeFeed feed;
        std::mt19937 random(seed);
        std::array<Model, 2> model;
        std::array<int, 2> wakes{};
        ChangeFeed::Subscription fast(feed, [&] { ++wakes[0]; });
        ChangeFeed::Subscription slow(feed, [&] { ++wakes[1]; });
        std::array<ChangeFeed::Subscription*, 2> subscriptions{&fast, &slow};
        // The fast one takes after about every second step, the slow one after about every tenth.
        const std::array<unsigned, 2> pace{2, 10};
        for (int step = 0; step < 400; ++step) {
            const std::size_t bit = random() % 24;  // few bits: the same one changes again before a take
            feed.Mark(bit);
            for (Model& m : model) {
                m.pending.set(bit);
                m.wakes += m.woken ? 0 : 1;
                m.woken = true;
            }
            for (std::size_t s = 0; s < 2; ++s) {
                if (random() % pace[s] != 0) {
                    continue;
                }
                const ChangeSet taken = subscriptions[s]->Take();
                EXPECT_EQ(taken, model[s].pending)
                    << "seed " << seed << " step " << step << " subscriber " << s << " took " << Bits(taken)
                    << " but had changed " << Bits(model[s].pending);
                model[s].pending.reset();
                model[s].woken = false;
            }
        }
        for (std::size_t s = 0; s < 2; ++s) {
            EXPECT_EQ(subscriptions[s]->Take(), model[s].pending) << "seed " << seed << " subscriber " << s;
            EXPECT_EQ(wakes[s], model[s].wakes)
                << "seed " << seed << " subscriber " << s << " woken too often";
        }
    }
}

TEST(ChangeFeedTest, ALateSubscriberTakesOnlyWhatChangedAfterItCameAndAnUnsubscribedOneIsNeverWoken) {
    ChangeFeed feed;
    int earlyWakes = 0;
    int lateWakes = 0;
    ChangeFeed::Subscription early(feed, [&] { ++earlyWakes; });
    feed.Mark(3);
    feed.Mark(kModeChange);
    ChangeFeed::SubscriberId late = feed.Subscribe([&] { ++lateWakes; });
    EXPECT_TRUE(feed.Take(late).none()) << "what changed before it subscribed is not its news";
    EXPECT_EQ(lateWakes, 0);
    feed.Mark(kMicControlSubChange);
    EXPECT_EQ(lateWakes, 1);
    ChangeSet lateTaken = feed.Take(late);
    EXPECT_EQ(Bits(lateTaken), Bits(ChangeRange(kMicControlSubChange, 1)));
    ChangeSet earlyTaken = early.Take();
    EXPECT_TRUE(earlyTaken.test(3) && earlyTaken.test(kModeChange) && earlyTaken.test(kMicControlSubChange))
        << "the early subscriber fell behind and loses nothing: " << Bits(earlyTaken);
    EXPECT_EQ(earlyWakes, 1) << "one wake for the whole batch";

    feed.Unsubscribe(late);
    feed.Mark(4);
    EXPECT_EQ(lateWakes, 1) << "no wake after unsubscribing";
    EXPECT_TRUE(feed.Take(late).none());
    EXPECT_EQ(Bits(early.Take()), Bits(ChangeRange(4, 1)));
    feed.Mark(kChangeBits);
    EXPECT_TRUE(early.Take().none()) << "a bit beyond the marks is no change";
}

// Markers on several threads each change their own share of the bits once; two subscribers take on their
// own threads, one as soon as it is woken, one only now and then. Each sees every bit exactly once.
TEST(ChangeFeedTest, SubscribersOnTheirOwnThreadsSeeEveryChangeExactlyOnceWhateverTheirPace) {
    ChangeFeed feed;
    struct Taker {
        std::mutex mutex;
        std::condition_variable woken;
        bool wake = false;
        std::vector<int> seen = std::vector<int>(kChangeBits, 0);
    };
    std::array<Taker, 2> takers;
    std::atomic<bool> marking{true};
    std::array<std::unique_ptr<ChangeFeed::Subscription>, 2> subscriptions;
    for (std::size_t t = 0; t < 2; ++t) {
        subscriptions[t] = std::make_unique<ChangeFeed::Subscription>(feed, [&taker = takers[t]] {
            {
                std::lock_guard lock(taker.mutex);
                taker.wake = true;
            }
            taker.woken.notify_one();
        });
    }
    const auto take = [&](std::size_t t) {
        const ChangeSet taken = subscriptions[t]->Take();
        for (std::size_t bit = 0; bit < kChangeBits; ++bit) {
            takers[t].seen[bit] += taken.test(bit) ? 1 : 0;
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            int rounds = 0;
            while (marking.load()) {
                {
                    std::unique_lock lock(takers[t].mutex);
                    takers[t].woken.wait(lock, [&] { return takers[t].wake || !marking.load(); });
                    takers[t].wake = false;
                }
                // The second taker lets a few wakes pass before it takes.
                if (t == 0 || ++rounds % 5 == 0) {
                    take(t);
                }
            }
        });
    }
    constexpr std::size_t kMarkers = 3;
    std::vector<std::thread> markers;
    for (std::size_t m = 0; m < kMarkers; ++m) {
        markers.emplace_back([&feed, m] {
            for (std::size_t bit = m; bit < kChangeBits; bit += kMarkers) {
                feed.Mark(bit);
            }
        });
    }
    for (std::thread& marker : markers) {
        marker.join();
    }
    marking.store(false);
    for (Taker& taker : takers) {
        {
            std::lock_guard lock(taker.mutex);
            taker.wake = true;
        }
        taker.woken.notify_one();
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t t = 0; t < 2; ++t) {
        take(t);
        for (std::size_t bit = 0; bit < kChangeBits; ++bit) {
            EXPECT_EQ(takers[t].seen[bit], 1)
                << "subscriber " << t << " saw bit " << bit << " " << takers[t].seen[bit] << " times";
        }
    }
}

}  // namespace
}  // namespace varnoth
