#include "net/party_invitation.h"

#include <allegro.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "net/invitation_layout.h"
#include "net/qr_modules.h"
#include "net/server_screens.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"

namespace {

constexpr const char* kPanelName = "festa_convite";
constexpr const char* kDarkName = "festa_escuro";
constexpr const char* kGlyphsName = "festa_letras";
constexpr const char* kBadgeName = "festa_lugar";
constexpr const char* kCountName = "aguardando_n";
// Modules of quiet zone the code needs around it, at least.
constexpr int kQuietModules = 2;

void drawCode(const std::string& url) {
    const std::vector<std::vector<bool>> rows = qrModules(url);
    if (rows.empty()) return;
    const int width = static_cast<int>(rows.size());
    const int module = std::min(kInvitationDarkHeight, kQrSide / (width + 2 * kQuietModules));
    if (module < 1) return;
    const int left = kQrLeft + (kQrSide - width * module) / 2;
    const int top = kQrTop + (kQrSide - width * module) / 2;
    BitmapHandle dark = recordedLoadBitmap(kDarkName, kInvitationDarkPath);
    for (int y = 0; y < width; ++y) {
        for (const ModuleRun& run : darkRuns(rows[y])) {
            recordedBlit(dark.get(), kDarkName, screen, kScreenName, 0, 0,
                         left + run.first * module, top + y * module, run.length * module, module);
        }
    }
    recordedDestroyBitmap(kDarkName, std::move(dark));
}

void drawAddress(const std::string& url) {
    const std::string shown = url.substr(0, kAddressMostGlyphs);
    BitmapHandle glyphs = recordedLoadBitmap(kGlyphsName, kInvitationGlyphsPath);
    int x = kAddressCentreX - static_cast<int>(shown.size()) * kGlyphWidth / 2;
    for (const char c : shown) {
        const char* cell = std::strchr(kInvitationGlyphs, c);
        if (c != '\0' && cell) {
            const int column = static_cast<int>(cell - kInvitationGlyphs);
            recordedBlit(glyphs.get(), kGlyphsName, screen, kScreenName, column * kGlyphWidth, 0, x,
                         kAddressTop, kGlyphWidth, kGlyphHeight);
        }
        x += kGlyphWidth;
    }
    recordedDestroyBitmap(kGlyphsName, std::move(glyphs));
}

void drawPlaces(const std::vector<bool>& taken) {
    const int expected = static_cast<int>(taken.size());
    const int joined = static_cast<int>(std::count(taken.begin(), taken.end(), true));
    BitmapHandle count = recordedLoadBitmap(kCountName, waitingCountPath(joined, expected));
    recordedDrawSprite(screen, kScreenName, count.get(), kCountName, kInvitationCountX,
                       kInvitationCountY);
    recordedDestroyBitmap(kCountName, std::move(count));
    for (int player = 1; player <= expected; ++player) {
        BitmapHandle badge =
            recordedLoadBitmap(kBadgeName, placeBadgePath(player, taken[player - 1]));
        recordedDrawSprite(screen, kScreenName, badge.get(), kBadgeName,
                           kPlaceLeft + (player - 1) * kPlaceStep, kPlaceTop);
        recordedDestroyBitmap(kBadgeName, std::move(badge));
    }
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::string invitationUrl(const std::string& address, int port) {
    return "http://" + lowerCase(address) + ":" + std::to_string(port) + "/";
}

void showInvitation(const std::string& url, const std::vector<bool>& taken) {
    BitmapHandle panel = recordedLoadBitmap(kPanelName, kInvitationPanelPath);
    recordedDrawSprite(screen, kScreenName, panel.get(), kPanelName, 0, 0);
    recordedDestroyBitmap(kPanelName, std::move(panel));
    drawCode(url);
    drawAddress(url);
    drawPlaces(taken);
    flushRecording();
}
