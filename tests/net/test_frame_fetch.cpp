// The client's fetch through the real ORB: the frames fetch with several calls in flight puts
// every picture back in order, and a server without takeFrames is fetched from the classic way.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "loopback_orb.h"
#include "net/fifo_server_impl.h"
#include "net/frame_fetch.h"
#include "net/ordered_parts.h"
#include "net/server_context.h"
#include "stream/compressed_stream_reader.h"
#include "stream/deflate_stream.h"
#include "stream/frame_marker.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"
#include "support/frame_markers.h"

namespace {

// Servers from before an operation: the ORB answers BAD_OPERATION for it.
// A server from before the packed fetch.
class DeflatedOnlyFifo : public FifoServer_impl {
  public:
    using FifoServer_impl::FifoServer_impl;
    Deflated* takePackedFrames(CORBA::UShort, CORBA::UShort, CORBA::ULongLong&) override {
        ++packedCalls;
        throw CORBA::BAD_OPERATION(0, CORBA::COMPLETED_NO);
    }
    std::atomic<int> packedCalls{0};
};

// A server from before the compressed fetch.
class FramesOnlyFifo : public DeflatedOnlyFifo {
  public:
    using DeflatedOnlyFifo::DeflatedOnlyFifo;
    Deflated* takeDeflatedFrames(CORBA::UShort, CORBA::UShort, CORBA::ULongLong&) override {
        ++deflatedCalls;
        throw CORBA::BAD_OPERATION(0, CORBA::COMPLETED_NO);
    }
    std::atomic<int> deflatedCalls{0};
};

// A server from before the frames fetch.
class ClassicOnlyFifo : public FramesOnlyFifo {
  public:
    using FramesOnlyFifo::FramesOnlyFifo;
    char* takeFrames(CORBA::UShort, CORBA::UShort) override {
        ++framesCalls;
        throw CORBA::BAD_OPERATION(0, CORBA::COMPLETED_NO);
    }
    std::atomic<int> framesCalls{0};
};

// A server whose player 1 joined the classic way from the test's address.
class RecorderInUse {
  public:
    explicit RecorderInUse(int players) : context(players), recorder(context.recorder) {
        context.slots.joinByAddress(kHost, 0);
    }
    static constexpr const char* kHost = "10.0.0.1";
    ServerContext context;
    GravadorTela& recorder;
    const CallerHost caller = [] { return std::string(kHost); };
};

const Fetcher kPlayerOne{1, ""};

std::vector<uint64_t> frameNumbers(const std::string& text) {
    std::vector<uint64_t> numbers;
    for (const FrameMarker& marker : frameMarkersIn(text)) numbers.push_back(marker.frame);
    return numbers;
}

TEST(FrameFetch, CallsInFlightGrowWithTheRoundTrip) {
    EXPECT_EQ(callsInFlightFor(0), 3);
    EXPECT_EQ(callsInFlightFor(40), 4);
    EXPECT_GE(callsInFlightFor(120), 120 / 34 + 2) << "one call waiting for every picture";
    EXPECT_EQ(callsInFlightFor(100000), 12);
    EXPECT_EQ(callsInFlightFor(-5), 3);
}

TEST(FrameFetch, ProbeChoosesTheFramesFetchOnlyWhereTheServerHasIt) {
    RecorderInUse server(1);
    server.recorder.addInstruction("load_bitmap a Img/a.bmp");
    server.recorder.flush();

    ClassicOnlyFifo classic(server.context, server.caller);
    Activated classicObject(&classic);
    FifoServer_var classicFifo = classicObject.as<FifoServer>();
    const FetchPlan fallback = planFetch(classicFifo, kPlayerOne, true);
    EXPECT_FALSE(fallback.framesFetch);
    EXPECT_EQ(classic.packedCalls.load(), 1) << "asked once";
    EXPECT_EQ(classic.deflatedCalls.load(), 1) << "asked once";
    EXPECT_EQ(classic.framesCalls.load(), 1) << "asked once";
    EXPECT_EQ(server.context.viewers.queues().queuedBatches(1), 1u) << "the probe took nothing";

    FramesOnlyFifo older(server.context, server.caller);
    Activated olderObject(&older);
    FifoServer_var olderFifo = olderObject.as<FifoServer>();
    const FetchPlan plain = planFetch(olderFifo, kPlayerOne, true);
    EXPECT_TRUE(plain.framesFetch);
    EXPECT_EQ(plain.compression, Compression::None);
    EXPECT_GE(plain.callsInFlight, 3);
    EXPECT_EQ(plain.firstAnswer.rfind("part 1;load_bitmap a Img/a.bmp;frame 1 ", 0), 0u)
        << plain.firstAnswer;

    server.context.viewers.restartQueue(1);
    DeflatedOnlyFifo deflatedOnly(server.context, server.caller);
    Activated deflatedObject(&deflatedOnly);
    FifoServer_var deflatedFifo = deflatedObject.as<FifoServer>();
    const FetchPlan deflated = planFetch(deflatedFifo, kPlayerOne, true);
    EXPECT_EQ(deflated.compression, Compression::Deflated);
    EXPECT_EQ(deflatedOnly.packedCalls.load(), 1) << "asked once";
    const std::string deflatedText = Inflater().inflate(deflated.firstAnswer).value_or("");
    EXPECT_EQ(deflatedText.rfind("part 1;load_bitmap a Img/a.bmp;", 0), 0u) << deflatedText;

    server.context.viewers.restartQueue(1);
    FifoServer_impl current(server.context, server.caller);
    Activated currentObject(&current);
    FifoServer_var fifo = currentObject.as<FifoServer>();
    EXPECT_FALSE(planFetch(fifo, kPlayerOne, false).framesFetch)
        << "the classic fetch, when asked for";
    const FetchPlan plan = planFetch(fifo, kPlayerOne, true);
    EXPECT_TRUE(plan.framesFetch);
    EXPECT_EQ(plan.compression, Compression::Packed);
    EXPECT_EQ(1u, plan.firstPart);
    CompressedStreamReader stream(Compression::Packed);
    const std::string text = stream.read(plan.firstAnswer, true).value_or("");
    EXPECT_EQ(text.rfind("part 1;load_bitmap a Img/a.bmp;", 0), 0u) << text;
}

// Six calls in flight while the game thread records 300 pictures: the replaying side gets every
// picture once, in order, whole, and nothing else in between.
// The servant is of a server whose best fetch is `Servant`'s.
template <typename Servant>
void expectEveryPictureInOrder(Compression compression) {
    RecorderInUse server(1);
    Servant servant(server.context, server.caller);
    Activated object(&servant);
    FifoServer_var fifo = object.as<FifoServer>();
    const FetchLink link{fifo.in(), kPlayerOne, "127.0.0.1", nullptr};
    OrderedParts parts;
    std::atomic<bool> going{true};
    std::mutex failureLock;
    std::string failure;
    const KeepGoing keepGoing = [&going] { return going.load(); };
    const ReportFailure fail = [&](const std::string& message) {
        std::lock_guard<std::mutex> hold(failureLock);
        failure = message;
        going = false;
    };
    // As a client does when it joins: the probe puts the player on the frames fetch at once.
    const FetchPlan plan = planFetch(fifo, kPlayerOne, true);
    ASSERT_TRUE(plan.framesFetch);
    ASSERT_EQ(plan.compression, compression);
    if (compression == Compression::None) {
        ASSERT_TRUE(fileAnswerOrReport(plan.firstAnswer, parts, fail));
    } else {
        ASSERT_TRUE(fileDeflatedOrReport(plan.firstPart, plan.firstAnswer, parts, fail));
    }
    std::vector<std::thread> fetchers;
    for (int i = 0; i < 6; ++i) {
        fetchers.emplace_back([&] { fetchFrames(link, parts, keepGoing, fail, compression); });
    }

    // The replaying side takes the answers as they come, as the client's replaying thread does
    // (what waits for it is bounded: a side that took nothing until the end would be refused).
    constexpr uint64_t kPictures = 300;
    std::string replayed;
    std::thread replaying([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        const KeepGoing inTime = [&] {
            return going && std::chrono::steady_clock::now() < deadline;
        };
        CompressedStreamReader stream(compression);
        while (frameNumbers(replayed).size() < kPictures && inTime()) {
            std::optional<OrderedParts::Answer> answer = parts.take(inTime);
            if (!answer) continue;
            if (compression == Compression::None) {
                replayed += answer->body;
                continue;
            }
            const std::optional<std::string> text = stream.read(answer->body, answer->opensStream);
            const std::optional<PartHeader> header =
                text ? readPartHeader(*text) : std::optional<PartHeader>();
            if (!header) return fail("unreadable answer " + std::to_string(answer->body.size()));
            replayed += text->substr(header->bodyStart);
        }
    });
    for (uint64_t n = 1; n <= kPictures; ++n) {
        server.recorder.addInstruction("blit p" + std::to_string(n) + " screen 0 0 0 0 1 1");
        for (int i = 0; i < 5; ++i) {
            server.recorder.addInstruction(
                formatDrawSprite("screen", "runner" + std::to_string(i), 10 * n, 50 * i));
        }
        server.recorder.flush();
        // Like the server's race, never so far ahead that a queue would have to drop pictures.
        while (going && server.context.viewers.queues().queuedBatches(1) > 100)
            std::this_thread::yield();
    }
    replaying.join();
    going = false;
    for (std::thread& fetcher : fetchers) fetcher.join();
    EXPECT_EQ(failure, "");

    const std::vector<uint64_t> numbers = frameNumbers(replayed);
    ASSERT_EQ(numbers.size(), kPictures);
    for (uint64_t n = 1; n <= kPictures; ++n) EXPECT_EQ(numbers[n - 1], n);
    size_t at = 0;
    for (uint64_t n = 1; n <= kPictures; ++n) {
        std::string picture = "blit p" + std::to_string(n) + " screen 0 0 0 0 1 1;";
        for (int i = 0; i < 5; ++i) {
            picture += formatDrawSprite("screen", "runner" + std::to_string(i), 10 * n, 50 * i);
            picture += ";";
        }
        const size_t found = replayed.find(picture, at);
        ASSERT_NE(found, std::string::npos) << n << ": " << picture;
        at = found;
    }
}

TEST(FrameFetchThread, CallsInFlightDeliverEveryPictureInOrder) {
    expectEveryPictureInOrder<FramesOnlyFifo>(Compression::None);
}

TEST(FrameFetchThread, CompressedCallsInFlightDeliverEveryPictureWholeInOrder) {
    expectEveryPictureInOrder<DeflatedOnlyFifo>(Compression::Deflated);
    expectEveryPictureInOrder<FifoServer_impl>(Compression::Packed);
}

TEST(OrderedParts, HandsPartsOutInNumberOrderAndStopsWhenAsked) {
    OrderedParts parts;
    parts.put(2, "b");
    parts.put(3, "c");
    parts.put(1, "a");
    const KeepGoing always = [] { return true; };
    EXPECT_EQ(*parts.next(always), "a");
    EXPECT_EQ(*parts.next(always), "b");
    parts.put(2, "b again");
    EXPECT_EQ(*parts.next(always), "c");
    int looks = 0;
    EXPECT_FALSE(parts.next([&looks] { return ++looks < 3; }))
        << "part 4 never comes: the wait ends when the session does";
}

TEST(OrderedParts, WhatWaitsIsBoundedInPartsAndInBytes) {
    const KeepGoing always = [] { return true; };
    OrderedParts few(1, 4, 1000);
    EXPECT_TRUE(few.put(4, "d"));
    EXPECT_TRUE(few.put(3, "c"));
    EXPECT_TRUE(few.put(2, "b"));
    EXPECT_FALSE(few.put(5, "e")) << "four parts ahead of the one awaited can never all wait";
    EXPECT_TRUE(few.put(1, "a"));
    EXPECT_EQ(*few.next(always), "a");
    EXPECT_TRUE(few.put(5, "e")) << "room again once one was handed out";
    EXPECT_FALSE(few.put(6, "f")) << "four wait already";

    OrderedParts small(1, 100, 10);
    EXPECT_TRUE(small.put(2, "123456"));
    EXPECT_FALSE(small.put(3, "12345")) << "eleven bytes would wait";
    EXPECT_TRUE(small.put(1, "1234"));
    EXPECT_EQ(*small.next(always), "1234");
    EXPECT_EQ(*small.next(always), "123456");
    EXPECT_TRUE(small.put(3, "1234567890"));

    // Twelve calls in flight on a long link, answered in the reverse order, fit with room to spare.
    OrderedParts link;
    for (uint64_t part = 12; part >= 1; --part) {
        EXPECT_TRUE(link.put(part, std::string(20000, 'x'))) << part;
    }
    EXPECT_EQ(fileFramesAnswer("part 900;blit a b 0 0 0 0 1 1;", link), Filing::TooMuchWaiting);
    EXPECT_EQ(fileFramesAnswer("blit a b 0 0 0 0 1 1;", link), Filing::NoPartHeader);
}

TEST(OrderedParts, OnlyAnswersReadyForTheWindowHoldTheFetchesBack) {
    const KeepGoing always = [] { return true; };
    int looks = 0;
    const KeepGoing counted = [&looks] { return ++looks < 5; };

    // Answers that wait for an earlier one hold nobody back: that one is still on its way.
    OrderedParts parts;
    for (uint64_t part = 2; part <= 2 + kBacklogParts; ++part) ASSERT_TRUE(parts.put(part, "x"));
    parts.awaitRoom(counted);
    EXPECT_EQ(looks, 0) << "no wait while the awaited part is missing";

    // Once it comes, the backlog is full: a fetch waits until the window takes one.
    ASSERT_TRUE(parts.put(1, "x"));
    parts.awaitRoom(counted);
    EXPECT_EQ(looks, 5) << "held until told to stop";
    looks = 0;
    // Six are ready; with three taken, three are left.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(parts.take(always));
    parts.awaitRoom(counted);
    EXPECT_EQ(looks, 0) << "room again";

    // A few large answers fill it as well.
    OrderedParts large;
    ASSERT_TRUE(large.put(1, std::string(kBacklogBytes, 'x')));
    looks = 0;
    large.awaitRoom(counted);
    EXPECT_EQ(looks, 5);
}

// A server from before the frames fetch that answers every call at once with a batch.
class EagerClassicFifo : public ClassicOnlyFifo {
  public:
    using ClassicOnlyFifo::ClassicOnlyFifo;
    char* getInstructions(CORBA::UShort) override {
        ++calls;
        return CORBA::string_dup("blit a screen 0 0 0 0 1 1;");
    }
    std::atomic<uint64_t> calls{0};
};

// The classic fetch against it, with a window that takes a batch a millisecond: the fetch keeps
// pace with the window instead of ending the session.
TEST(FrameFetchThread, AServerThatAnswersFasterThanTheWindowShowsIsFetchedAtTheWindowsPace) {
    RecorderInUse server(1);
    EagerClassicFifo servant(server.context, server.caller);
    Activated object(&servant);
    FifoServer_var fifo = object.as<FifoServer>();
    const FetchLink link{fifo.in(), kPlayerOne, "127.0.0.1", nullptr};
    OrderedParts parts;
    std::atomic<bool> going{true};
    std::string failure;
    std::thread fetcher([&] {
        fetchClassic(
            link, parts, 1, [&going] { return going.load(); },
            [&](const std::string& message) {
                failure = message;
                going = false;
            });
    });
    const KeepGoing keepGoing = [&going] { return going.load(); };
    uint64_t taken = 0;
    while (taken < 2 * kMaxPartsWaiting && parts.next(keepGoing)) {
        ++taken;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const uint64_t calls = servant.calls.load();
    going = false;
    parts.wake();
    fetcher.join();
    EXPECT_EQ(failure, "");
    EXPECT_EQ(taken, 2 * kMaxPartsWaiting);
    EXPECT_LE(calls, taken + kBacklogParts + 1) << "no call while the backlog is full";
}

// A server that keeps part 1 back and answers every call with a later part of 100 kB.
class WithholdingFifo : public FifoServer_impl {
  public:
    using FifoServer_impl::FifoServer_impl;
    char* takeFrames(CORBA::UShort, CORBA::UShort) override {
        const std::string body = "part " + std::to_string(++part) + ";" + std::string(100000, 'x');
        return CORBA::string_dup(body.c_str());
    }
    std::atomic<uint64_t> part{1};
};

TEST(FrameFetchThread, AServerThatHoldsAPartBackEndsTheSessionInsteadOfGrowingIt) {
    RecorderInUse server(1);
    WithholdingFifo servant(server.context, server.caller);
    Activated object(&servant);
    FifoServer_var fifo = object.as<FifoServer>();
    const FetchLink link{fifo.in(), kPlayerOne, "127.0.0.1", nullptr};
    OrderedParts parts;
    std::string failure;
    std::vector<std::thread> fetchers;
    std::mutex failureLock;
    std::atomic<bool> going{true};
    for (int i = 0; i < 3; ++i) {
        fetchers.emplace_back([&] {
            fetchFrames(
                link, parts, [&going] { return going.load(); },
                [&](const std::string& message) {
                    std::lock_guard<std::mutex> hold(failureLock);
                    failure = message;
                    going = false;
                });
        });
    }
    for (std::thread& fetcher : fetchers) fetcher.join();
    EXPECT_EQ(failure, kTooMuchWaitingMessage);
    EXPECT_LE(servant.part.load(), 2 + kMaxBytesWaiting / 100000 + 3)
        << "the calls stop once the bound is reached";
}

}  // namespace
