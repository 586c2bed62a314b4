// The party's waiting screen (`corrida festa N`): over the still stage, the address the phones open
// and its QR code, the count line of the plain waiting screen and a badge for each place, taken or
// free. Every piece is a recorded blit of a shipped picture (invitation_layout.h), so every viewer
// (the TV, a browser, a native client) sees the same picture.
#pragma once

#include <string>
#include <vector>

// "http://ADDRESS:PORT/": what the phones open.
std::string invitationUrl(const std::string& address, int port);

// Records and flushes the picture for `url`, with `taken[i]` telling whether player i + 1's place
// is held (taken.size() players expected).
void showInvitation(const std::string& url, const std::vector<bool>& taken);
