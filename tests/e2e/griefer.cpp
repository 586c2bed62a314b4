// griefer: a stranger that abuses a real server through the published interfaces alone, for the
// end-to-end tests of a server that strangers cannot wreck. It finds the server's objects in the
// naming service at ADDRESS:9001 and, for SECONDS, makes one kind of call every PERIOD ms:
//
//   griefer ADDRESS flip PLAYER PERIOD SECONDS    alterarGravidade(PLAYER)
//   griefer ADDRESS pause PERIOD SECONDS          pausar()
//   griefer ADDRESS cheat PERIOD SECONDS          usarCheat()
//   griefer ADDRESS steal PLAYER PERIOD SECONDS   getInstructions(PLAYER), takeFrames(PLAYER, 0),
//                                                 takePackedFrames(PLAYER, 0) and pop() with a
//                                                 random ticket, in turn
//   griefer ADDRESS logins PERIOD SECONDS         logar() and join(), keeping every number given
//                                                 and fetching none of them
//
// It ends with one line: "MODE: N aceitas, M recusadas, K falhas" (refused: the CORBA exception
// NO_PERMISSION or NO_RESOURCES, or a login answered -1; failures: any other exception, the first
// one named), and for steal the count of non-empty answers, for logins the numbers it was given.
#include <omniORB4/CORBA.h>
#include <omniORB4/omniORB.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>

#include "corrida.hh"

namespace {

struct Counts {
    long accepted = 0;
    long refused = 0;
    long failed = 0;
    long nonEmpty = 0;
    std::set<int> numbers;
    std::string firstFailure;
};

// `call` answers whether the server accepted it.
template <typename Call>
void attempt(Counts& counts, Call call) {
    try {
        ++(call() ? counts.accepted : counts.refused);
    } catch (const CORBA::NO_PERMISSION&) {
        ++counts.refused;
    } catch (const CORBA::NO_RESOURCES&) {
        ++counts.refused;
    } catch (const CORBA::Exception& failure) {
        if (counts.failed++ == 0) counts.firstFailure = failure._name();
    }
}

CORBA::Object_ptr lookUp(CosNaming::NamingContext_ptr names, const char* id) {
    CosNaming::Name name;
    name.length(1);
    name[0].id = CORBA::string_dup(id);
    name[0].kind = CORBA::string_dup("");
    return names->resolve(name);
}

int usage() {
    std::fprintf(stderr,
                 "uso: griefer ENDERECO (flip N | pause | cheat | steal N | logins) PERIODO_MS "
                 "SEGUNDOS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) return usage();
    const std::string mode = argv[2];
    const bool numbered = mode == "flip" || mode == "steal";
    if (argc != (numbered ? 6 : 5)) return usage();
    const int player = numbered ? std::atoi(argv[3]) : 0;
    const long periodMs = std::atol(argv[numbered ? 4 : 3]);
    const long seconds = std::atol(argv[numbered ? 5 : 4]);

    const std::string reference =
        std::string("NameService=corbaloc::") + argv[1] + ":9001/NameService";
    std::string slot = "griefer", option = "-ORBInitRef", value = reference;
    char* orbArgs[] = {slot.data(), option.data(), value.data(), nullptr};
    int orbArgc = 3;
    Counts counts;
    try {
        CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, orbArgs, "");
        omniORB::setClientCallTimeout(4000);
        CORBA::Object_var namesObject = orb->resolve_initial_references("NameService");
        CosNaming::NamingContext_var names = CosNaming::NamingContext::_narrow(namesObject);
        CORBA::Object_var object = lookUp(names, "controle");
        Controle_var controle = Controle::_narrow(object);
        object = lookUp(names, "fifo");
        FifoServer_var fifo = FifoServer::_narrow(object);
        object = lookUp(names, "login");
        Login_var login = Login::_narrow(object);

        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        bool turn = false;
        unsigned stealTurn = 0;
        std::mt19937_64 tickets(std::random_device{}());
        const auto guess = [&tickets] { return static_cast<CORBA::ULongLong>(tickets()); };
        while (std::chrono::steady_clock::now() < end) {
            turn = !turn;
            if (mode == "flip") {
                attempt(counts, [&] {
                    controle->alterarGravidade(static_cast<CORBA::Short>(player));
                    return true;
                });
            } else if (mode == "pause") {
                attempt(counts, [&] {
                    controle->pausar();
                    return true;
                });
            } else if (mode == "cheat") {
                attempt(counts, [&] {
                    controle->usarCheat();
                    return true;
                });
            } else if (mode == "steal") {
                attempt(counts, [&] {
                    const CORBA::UShort number = static_cast<CORBA::UShort>(player);
                    CORBA::ULongLong part = 0;
                    switch (stealTurn++ % 4) {
                        case 0: {
                            CORBA::String_var answer = fifo->getInstructions(number);
                            if (*answer.in() != '\0') ++counts.nonEmpty;
                            break;
                        }
                        case 1: {
                            CORBA::String_var answer = fifo->takeFrames(number, 0);
                            if (*answer.in() != '\0') ++counts.nonEmpty;
                            break;
                        }
                        case 2: {
                            Deflated_var answer = fifo->takePackedFrames(number, 0, part);
                            if (answer->length() > 0) ++counts.nonEmpty;
                            break;
                        }
                        default: {
                            Deflated_var answer;
                            part = fifo->pop(guess(), 0, answer.out());
                            if (answer->length() > 0) ++counts.nonEmpty;
                            break;
                        }
                    }
                    return true;
                });
            } else if (mode == "logins") {
                attempt(counts, [&] {
                    CORBA::Short number = -1;
                    if (turn) {
                        number = login->logar();
                    } else {
                        CORBA::String_var secret;
                        number = login->join(secret.out());
                    }
                    if (number > 0) counts.numbers.insert(number);
                    return number > 0;
                });
            } else {
                return usage();
            }
            usleep(static_cast<useconds_t>(periodMs) * 1000u);
        }
        orb->destroy();
    } catch (const CORBA::Exception& failure) {
        std::fprintf(stderr, "griefer: %s\n", failure._name());
        return 1;
    }
    std::printf("%s: %ld aceitas, %ld recusadas, %ld falhas", mode.c_str(), counts.accepted,
                counts.refused, counts.failed);
    if (counts.failed > 0) std::printf(" (a primeira: %s)", counts.firstFailure.c_str());
    if (mode == "steal") std::printf(", %ld respostas com desenho", counts.nonEmpty);
    if (mode == "logins") {
        std::printf(", numeros:");
        for (int number : counts.numbers) std::printf(" %d", number);
    }
    std::printf("\n");
    return 0;
}
