// delta_pack_probe: the server's delta packing of a stream, for the page's unpacker to read back.
//
//   delta_pack_probe ANSWERS OUT    packs each answer of ANSWERS with one packer, in order, and
//                                   writes the packed texts to OUT; in both files each answer is
//                                   ended by a zero byte (an answer may hold line feeds)
#include <fstream>
#include <iostream>
#include <string>

#include "stream/delta_packing.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: delta_pack_probe ANSWERS OUT" << std::endl;
        return 2;
    }
    std::ifstream answers(argv[1]);
    std::ofstream out(argv[2]);
    if (!answers || !out) {
        std::cerr << "cannot open " << argv[1] << " or " << argv[2] << std::endl;
        return 1;
    }
    DeltaPacker packer;
    std::string answer;
    while (std::getline(answers, answer, '\0')) out << packer.pack(answer) << '\0';
    return out.good() ? 0 : 1;
}
