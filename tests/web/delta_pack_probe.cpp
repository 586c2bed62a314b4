// delta_pack_probe: the server's delta packing of a stream, for the page's unpacker to read back.
//
//   delta_pack_probe ANSWERS OUT [MESSAGES]
//       packs each answer of ANSWERS with one packer, in order, and writes the packed texts to OUT;
//       in both files each answer is ended by a zero byte (an answer may hold line feeds). With
//       MESSAGES, also writes there the web port's stream message of each packed text (its length
//       and the text deflated in one stream: web/stream_message.h), in hexadecimal, one a line.
#include <fstream>
#include <iostream>
#include <string>

#include "stream/delta_packing.h"
#include "web/stream_message.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: delta_pack_probe ANSWERS OUT [MESSAGES]" << std::endl;
        return 2;
    }
    std::ifstream answers(argv[1]);
    std::ofstream out(argv[2]);
    if (!answers || !out) {
        std::cerr << "cannot open " << argv[1] << " or " << argv[2] << std::endl;
        return 1;
    }
    std::ofstream messages;
    if (argc == 4) messages.open(argv[3]);
    DeltaPacker packer;
    Deflater deflater;
    std::string answer;
    while (std::getline(answers, answer, '\0')) {
        const std::string packed = packer.pack(answer);
        out << packed << '\0';
        if (!messages.is_open()) continue;
        static const char digits[] = "0123456789abcdef";
        for (const unsigned char byte : streamMessage(deflater, packed)) {
            messages << digits[byte >> 4] << digits[byte & 15];
        }
        messages << '\n';
    }
    return out.good() && (argc == 3 || messages.good()) ? 0 : 1;
}
