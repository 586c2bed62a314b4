// The party's invitation: the QR code's modules and their runs, the address it carries, and the
// places the waiting screen shows.
#include <gtest/gtest.h>

#include "net/party_invitation.h"
#include "net/player_slots.h"
#include "net/qr_modules.h"

namespace {

// Whether the 7 x 7 finder pattern (a dark ring, a light ring, a dark 3 x 3 core) stands at
// (left, top).
bool finderAt(const std::vector<std::vector<bool>>& rows, int left, int top) {
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const bool ring = x == 0 || y == 0 || x == 6 || y == 6;
            const bool core = x >= 2 && x <= 4 && y >= 2 && y <= 4;
            if (rows[top + y][left + x] != (ring || core)) return false;
        }
    }
    return true;
}

TEST(PartyInvitation, TheAddressBecomesASquareCodeWithItsThreeFinderPatterns) {
    const std::string url = invitationUrl("192.168.100.200", 65535);
    EXPECT_EQ(url, "http://192.168.100.200:65535/");
    EXPECT_EQ(invitationUrl("Festa-PC", 8080), "http://festa-pc:8080/");
    const std::vector<std::vector<bool>> rows = qrModules(url);
    const int width = static_cast<int>(rows.size());
    ASSERT_GE(width, 21);
    EXPECT_EQ((width - 17) % 4, 0) << "a QR code is 17 + 4 x version modules wide";
    for (const std::vector<bool>& row : rows) ASSERT_EQ(static_cast<int>(row.size()), width);
    EXPECT_TRUE(finderAt(rows, 0, 0));
    EXPECT_TRUE(finderAt(rows, width - 7, 0));
    EXPECT_TRUE(finderAt(rows, 0, width - 7));
    EXPECT_FALSE(finderAt(rows, width - 7, width - 7));
}

TEST(PartyInvitation, ARowsDarkModulesAreDrawnAsItsRuns) {
    EXPECT_TRUE(darkRuns({}).empty());
    EXPECT_TRUE(darkRuns({false, false}).empty());
    const std::vector<ModuleRun> runs = darkRuns({true, true, false, true, false, false, true});
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].first, 0);
    EXPECT_EQ(runs[0].length, 2);
    EXPECT_EQ(runs[1].first, 3);
    EXPECT_EQ(runs[1].length, 1);
    EXPECT_EQ(runs[2].first, 6);
    EXPECT_EQ(runs[2].length, 1);
    // Every dark module of a real code is in exactly one run.
    for (const std::vector<bool>& row : qrModules("http://10.0.0.1:8080/")) {
        std::vector<bool> drawn(row.size(), false);
        for (const ModuleRun& run : darkRuns(row)) {
            for (int x = run.first; x < run.first + run.length; ++x) drawn[x] = true;
        }
        EXPECT_EQ(drawn, row);
    }
}

TEST(PartyInvitation, ThePlacesShownAreTheNumbersHeldNow) {
    PlayerSlots slots(3, [] { return std::string(32, 'a'); });
    EXPECT_EQ(slots.heldPlaces(0), std::vector<bool>({false, false, false}));
    slots.joinWithSecret("phone", 0);
    const int second = slots.joinByAddress("laptop", 0).player;
    slots.noteFetch(second, 0);
    EXPECT_EQ(slots.heldPlaces(0), std::vector<bool>({true, true, false}));
    // The first never fetched: its number lapses and the screen shows it free again.
    slots.noteFetch(second, PlayerSlots::kFirstFetchWithinMs + 1);
    EXPECT_EQ(slots.heldPlaces(PlayerSlots::kFirstFetchWithinMs + 1),
              std::vector<bool>({false, true, false}));
}

}  // namespace
