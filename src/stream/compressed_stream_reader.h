// The client's end of a viewer's compressed stream (deflated_frames.h): each answer inflated in
// part order and, for the packed fetch, unpacked (delta_packing.h), to the text the server took for
// that part, "part N" first.
#pragma once

#include <optional>
#include <string>

#include "stream/deflate_stream.h"
#include "stream/delta_packing.h"

// How the frames fetch's answers come: as text, deflated, or delta-packed and deflated.
enum class Compression { None, Deflated, Packed };

class CompressedStreamReader {
  public:
    explicit CompressedStreamReader(Compression compression) : compression(compression) {}

    // The text of the next answer's `bytes`; `opensStream` when the server started the stream
    // afresh with it. Nothing when the bytes are no continuation of the stream, or the text would
    // pass Inflater::kMaxAnswerBytes; the stream is then of no further use until it opens again.
    std::optional<std::string> read(const std::string& bytes, bool opensStream);

  private:
    const Compression compression;
    Inflater inflater;
    DeltaUnpacker unpacker;
};
