// The two ends of one viewer's compressed picture stream (zlib): the server deflates each answer
// of the viewer's frames fetch into one deflate stream, flushed at the end of each answer (a sync
// flush), and the client inflates the answers in the same order with one inflate stream. Pictures
// repeat much of the picture before them, so one stream compresses far better than each answer on
// its own.
//
// A deflater keeps a small window (kWindowBits), so that a server with many viewers holds little
// memory for each: about 48 KB.
#pragma once

#include <zlib.h>

#include <optional>
#include <string>

class Deflater {
  public:
    static constexpr int kWindowBits = 13;
    Deflater();
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // `text` compressed, continuing the stream; an inflater that inflated every earlier answer
    // gives `text` back whole.
    std::string deflate(const std::string& text);

  private:
    z_stream stream{};
};

class Inflater {
  public:
    // The most text one answer may inflate to.
    static constexpr size_t kMaxAnswerBytes = 8u << 20;
    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // The text of the next answer; nothing when the bytes are not the stream's continuation or
    // inflate past kMaxAnswerBytes (the stream is then of no further use).
    std::optional<std::string> inflate(const std::string& bytes);
    // A fresh stream begins with the next answer.
    void reset();

  private:
    z_stream stream{};
    bool broken = false;
};
