#include <gtest/gtest.h>

#include "core/playout/ItemPreparer.h"
#include "support/ManualWork.h"
#include "support/SyntheticSource.h"
#include "support/TempDir.h"

namespace pelvano::test {
namespace {

using State = core::ItemPreparer::State;

// Counts the opens, and can report its length as an estimate to be counted later.
class CountingFactory final : public core::AudioSourceFactory {
  public:
    explicit CountingFactory(SyntheticSourceFactory& tones) : tones_(tones) {}
    std::unique_ptr<core::AudioSource> createSource() override {
        ++made;
        auto source = tones_.createSource();
        if (!estimated) return source;
        return std::make_unique<Estimated>(std::move(source), exact);
    }
    int made = 0;
    bool estimated = false;
    std::int64_t exact = 0;

  private:
    struct Estimated final : core::AudioSource {
        Estimated(std::unique_ptr<core::AudioSource> s, std::int64_t exact)
            : inner(std::move(s)), exact(exact) {}
        std::int32_t open(const std::string& p, core::WaveFormat& f, std::int64_t& d) override {
            return inner->open(p, f, d);
        }
        std::int32_t read(void* b, std::uint32_t n, core::SourceBlock& k) override {
            return inner->read(b, n, k);
        }
        std::int32_t seek(std::int64_t t) override { return inner->seek(t); }
        void close() override { inner->close(); }
        std::string errorText(std::int32_t c) const override { return inner->errorText(c); }
        std::function<std::optional<std::int64_t>()> exactDurationJob() const override {
            return [d = exact] { return std::optional<std::int64_t>(d); };
        }
        std::unique_ptr<core::AudioSource> inner;
        std::int64_t exact;
    };
    SyntheticSourceFactory& tones_;
};

class ItemPreparerTest : public ::testing::Test {
  protected:
    ItemPreparerTest() : resolver(dir.path().string() + "/", "") {}

    void addSound(const std::string& name, std::int64_t frames = 44100) {
        dir.write(name, "");
        ToneSpec tone;
        tone.frames = frames;
        tones.add(dir.file(name), tone);
    }

    TempDir dir;
    SyntheticSourceFactory tones;
    CountingFactory sources{tones};
    core::StoredPathResolver resolver;
    ManualWork work;
    core::ItemPreparer preparer{work, sources, resolver};
};

TEST_F(ItemPreparerTest, AFileIsOpenedOnceOnTheWorkerAndHandedOverReady) {
    addSound("a.wav");
    std::vector<std::string> settled;
    preparer.onSettled = [&](const std::string& stored) { settled.push_back(stored); };
    preparer.request("a.wav");
    preparer.request("a.wav");
    EXPECT_EQ(work.pending(), 1u) << "a second request while it is under way adds nothing";
    EXPECT_EQ(work.nextBound(), core::ItemPreparer::kDefaultBound);
    EXPECT_EQ(preparer.state("a.wav"), State::Pending);
    work.finishAll();
    EXPECT_EQ(settled, std::vector<std::string>{"a.wav"});
    EXPECT_EQ(preparer.state("a.wav"), State::Ready);
    core::ItemPreparer::Taken taken = preparer.take("a.wav");
    ASSERT_TRUE(taken.reader);
    EXPECT_EQ(taken.native, dir.file("a.wav"));
    EXPECT_EQ(taken.reader->Duration(), 10'000'000);
    EXPECT_EQ(preparer.state("a.wav"), State::Absent) << "taken once";
}

TEST_F(ItemPreparerTest, MissingUnplayableAndSlowFilesSettleWithTheirReason) {
    addSound("empty.wav", 0);
    dir.write("junk.mp3", "");  // there, but nothing decodes it
    preparer.setBound(std::chrono::milliseconds(500));
    for (const char* name : {"gone.wav", "empty.wav", "junk.mp3", "fifo.mp3"})
        preparer.request(name);
    EXPECT_EQ(work.nextBound(), std::chrono::milliseconds(500));
    work.finishNext();
    work.finishNext();
    work.finishNext();
    work.timeOutNext();
    EXPECT_EQ(preparer.take("gone.wav").state, State::Missing);
    const auto empty = preparer.take("empty.wav");
    EXPECT_EQ(empty.state, State::Failed);
    EXPECT_EQ(empty.error, "Audio file is empty.");
    EXPECT_EQ(preparer.take("junk.mp3").state, State::Failed);
    EXPECT_EQ(preparer.take("fifo.mp3").state, State::TimedOut);
}

TEST_F(ItemPreparerTest, AFileWhoseOpenStillHangsIsNotTriedAgainUntilItReturns) {
    addSound("slow.wav");
    preparer.request("slow.wav");
    work.timeOutNext();
    EXPECT_EQ(preparer.take("slow.wav").state, State::TimedOut);
    preparer.request("slow.wav");
    EXPECT_EQ(work.pending(), 0u) << "no second thread for a file whose open hangs";
    EXPECT_EQ(preparer.take("slow.wav").state, State::TimedOut);
    work.returnAbandoned();
    preparer.request("slow.wav");
    ASSERT_EQ(work.pending(), 1u);
    work.finishNext();
    EXPECT_EQ(preparer.state("slow.wav"), State::Ready);
}

TEST_F(ItemPreparerTest, AnEstimatedLengthIsCountedAfterwardsAndReachesTheWaitingReader) {
    addSound("long.mp3");
    sources.estimated = true;
    sources.exact = 123'450'000;
    std::vector<std::pair<std::string, std::int64_t>> counted;
    preparer.onExactDuration = [&](const std::string& native, std::int64_t d) {
        counted.emplace_back(native, d);
    };
    preparer.request("long.mp3");
    work.finishNext();
    EXPECT_EQ(preparer.state("long.mp3"), State::Ready) << "ready on the estimate";
    ASSERT_EQ(work.pending(), 1u);
    EXPECT_EQ(work.nextBound(), core::ItemPreparer::kCountBound);
    work.finishNext();
    ASSERT_EQ(counted.size(), 1u);
    EXPECT_EQ(counted[0].first, dir.file("long.mp3"));
    EXPECT_EQ(preparer.take("long.mp3").reader->Duration(), 123'450'000);
}

TEST_F(ItemPreparerTest, OutcomesAfterATakeOrTheEndAreDropped) {
    addSound("a.wav");
    preparer.request("a.wav");
    EXPECT_EQ(preparer.take("a.wav").state, State::Pending);
    work.finishNext();
    EXPECT_EQ(preparer.state("a.wav"), State::Absent);
    {
        core::ItemPreparer gone(work, sources, resolver);
        gone.request("a.wav");
    }
    work.finishNext();  // nothing left to call
}

TEST_F(ItemPreparerTest, OnlyAFewSettledItemsAreKept) {
    for (std::size_t i = 0; i < core::ItemPreparer::kMaxKept + 3; ++i) {
        const std::string name = "s" + std::to_string(i) + ".wav";
        addSound(name);
        preparer.request(name);
    }
    work.finishAll();
    EXPECT_EQ(preparer.state("s0.wav"), State::Absent) << "the oldest went first";
    EXPECT_EQ(preparer.state("s" + std::to_string(core::ItemPreparer::kMaxKept + 2) + ".wav"),
              State::Ready);
}

}  // namespace
}  // namespace pelvano::test
