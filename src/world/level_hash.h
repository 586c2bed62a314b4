// The hash of a level file's text: 64-bit FNV-1a over its bytes. It names the pictures and verdicts
// the game keeps for a player's own stage (so both change when the level changes), and a server
// gives it with a level it sends, which the client checks before using the text.
//
// Not a cryptographic hash: it catches a level cut short or changed on the way, and tells one level
// from another; the server that gives the text also gives the hash, so a secure hash would not
// protect against the server itself.
#pragma once

#include <cstdint>
#include <string>

uint64_t levelHash(const std::string& text);
// The hash as 16 lower-case hexadecimal digits.
std::string levelHashText(uint64_t hash);
