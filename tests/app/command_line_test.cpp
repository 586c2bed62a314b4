#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

CommandLine parse(std::vector<std::string> words) { return parseCommandLine(words); }

// States that `words` are refused with an error text that contains `complaint`.
void expectRefused(std::vector<std::string> words, const std::string& complaint) {
    std::string shown;
    for (const std::string& word : words) shown += "[" + word + "]";
    const CommandLine line = parse(words);
    EXPECT_EQ(line.action, CommandLineAction::Error) << shown;
    EXPECT_NE(line.error.find(complaint), std::string::npos) << shown << " -> " << line.error;
    EXPECT_EQ(line.error.find('\n'), std::string::npos) << shown;
}

TEST(CommandLine, NoWordsKeepTheConsoleDialogue) {
    EXPECT_EQ(parse({}).action, CommandLineAction::Dialogue);
}

TEST(CommandLine, HelpAndVersionWinWhereverTheyStand) {
    for (auto words : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"servidor", "9", "--help"}, {"--version", "-h"}}) {
        EXPECT_EQ(parse(words).action, CommandLineAction::Help);
    }
    EXPECT_EQ(parse({"--version"}).action, CommandLineAction::Version);
    EXPECT_EQ(parse({"cliente", "-V"}).action, CommandLineAction::Version);
}

TEST(CommandLine, EachModeWithItsParameters) {
    const CommandLine local = parse({"local"});
    EXPECT_EQ(local.action, CommandLineAction::Run);
    EXPECT_EQ(local.mode, Modo::Local);

    const CommandLine server = parse({"servidor", "3"});
    EXPECT_EQ(server.action, CommandLineAction::Run);
    EXPECT_EQ(server.mode, Modo::Servidor);
    EXPECT_EQ(server.params.numPlayers, 3);
    EXPECT_EQ(server.params.address, "127.0.0.1");

    const CommandLine elsewhere = parse({"servidor", "6", "nomes.lan"});
    EXPECT_EQ(elsewhere.params.numPlayers, 6);
    EXPECT_EQ(elsewhere.params.address, "nomes.lan");

    const CommandLine client = parse({"cliente", "192.168.0.10"});
    EXPECT_EQ(client.action, CommandLineAction::Run);
    EXPECT_EQ(client.mode, Modo::Cliente);
    EXPECT_EQ(client.params.address, "192.168.0.10");

    // "--" ends the options: what follows is read as words even when it starts with "-".
    EXPECT_EQ(parse({"--", "local"}).mode, Modo::Local);
}

TEST(CommandLine, PlayerCountIsOneToSixInPlainDigits) {
    EXPECT_EQ(parse({"servidor", "1"}).params.numPlayers, 1);
    EXPECT_EQ(parse({"servidor", "06"}).params.numPlayers, 6);
    for (const char* count : {"0", "7", "10", "3x", "+3", " 3", "", "999999999999"}) {
        expectRefused({"servidor", count}, "numero de jogadores invalido");
    }
}

TEST(CommandLine, BadWordsAreRefusedInOneLine) {
    expectRefused({"jogar"}, "modo desconhecido: jogar");
    expectRefused({"servidor"}, "falta o numero de jogadores");
    expectRefused({"cliente"}, "falta o endereco");
    expectRefused({"local", "extra"}, "argumento a mais: extra");
    expectRefused({"cliente", "host", "extra"}, "argumento a mais: extra");
    expectRefused({"servidor", "2", "host", "extra"}, "argumento a mais: extra");
    expectRefused({"--escuro"}, "opcao desconhecida: --escuro");
    expectRefused({"local", "-x"}, "opcao desconhecida: -x");
    expectRefused({"--help=sim"}, "--help nao recebe valor");
    // The address goes into a corbaloc reference: nothing that could change its meaning.
    for (const char* address : {"host:9001/x", "a b", "", "..", "host/NameService", "-host"}) {
        expectRefused({"cliente", "--", address}, "endereco invalido");
    }
    expectRefused({"servidor", "2", "a@b"}, "endereco invalido: a@b");
}

TEST(CommandLine, UsageNamesEveryModeAndOption) {
    const std::string usage = usageText("corrida");
    EXPECT_EQ(usage.rfind("uso: corrida ", 0), 0u);
    for (const char* word :
         {"local", "servidor N [ENDERECO]", "cliente ENDERECO", "--help", "--version", "9001"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(usage.back(), '\n');
}

}  // namespace

TEST(CommandLine, ScaleIsOneToFourAndGoesWithEveryModeAndTheDialogue) {
    EXPECT_EQ(parse({"local"}).scale, 0) << "not given: the largest that fits";
    const CommandLine dialogue = parse({"--escala", "2"});
    EXPECT_EQ(dialogue.action, CommandLineAction::Dialogue);
    EXPECT_EQ(dialogue.scale, 2);
    EXPECT_EQ(parse({"local", "--escala=4"}).scale, 4);
    const CommandLine client = parse({"--escala", "1", "cliente", "host"});
    EXPECT_EQ(client.mode, Modo::Cliente);
    EXPECT_EQ(client.scale, 1);
    EXPECT_EQ(parse({"servidor", "2", "--escala", "3"}).params.numPlayers, 2);
    for (const char* bad : {"0", "5", "2x", "", "-1", "22"}) {
        expectRefused({"local", std::string("--escala=") + bad}, "escala invalida");
    }
    expectRefused({"local", "--escala"}, "falta o valor de --escala");
    EXPECT_NE(usageText("corrida").find("--escala N"), std::string::npos);
}

TEST(CommandLine, FullScreenGoesWithEveryModeAndTheDialogue) {
    EXPECT_FALSE(parse({"local"}).fullScreen);
    const CommandLine dialogue = parse({"--tela-cheia"});
    EXPECT_EQ(dialogue.action, CommandLineAction::Dialogue);
    EXPECT_TRUE(dialogue.fullScreen);
    EXPECT_TRUE(parse({"cliente", "host", "--tela-cheia"}).fullScreen);
    EXPECT_TRUE(parse({"--tela-cheia", "--escala", "2", "local"}).fullScreen);
    expectRefused({"local", "--tela-cheia=sim"}, "--tela-cheia nao recebe valor");
    EXPECT_NE(usageText("corrida").find("--tela-cheia"), std::string::npos);
}

TEST(CommandLine, SpectatorsAreZeroToFiveHundredOnTheServer) {
    EXPECT_EQ(parse({"servidor", "2"}).params.spectators, Audience::kMaxSpectators);
    EXPECT_EQ(parse({"servidor", "2", "--espectadores", "0"}).params.spectators, 0);
    EXPECT_EQ(parse({"--espectadores=500", "servidor", "6"}).params.spectators, 500);
    for (const char* bad : {"501", "-1", "1000", "12x", "", "+3", "0500"}) {
        expectRefused({"servidor", "2", std::string("--espectadores=") + bad},
                      "numero de espectadores invalido");
    }
    EXPECT_NE(usageText("corrida").find("--espectadores N"), std::string::npos);
}

TEST(CommandLine, TheWebPortTakesAnOptionalPortAndLeavesTheAddressAlone) {
    EXPECT_EQ(parse({"servidor", "2"}).params.webPort, 0);
    EXPECT_EQ(parse({"servidor", "2", "--web"}).params.webPort, kDefaultWebPort);
    EXPECT_EQ(parse({"servidor", "2", "--web", "9090"}).params.webPort, 9090);
    EXPECT_EQ(parse({"--web=1", "servidor", "2"}).params.webPort, 1);
    // A word that is not a number is the server's address, not the port.
    const CommandLine withAddress = parse({"servidor", "2", "--web", "10.0.0.5"});
    EXPECT_EQ(withAddress.params.webPort, kDefaultWebPort);
    EXPECT_EQ(withAddress.params.address, "10.0.0.5");
    for (const char* bad : {"0", "65536", "123456", "80a", "-1"}) {
        expectRefused({"servidor", "2", std::string("--web=") + bad}, "porta web invalida");
    }
    expectRefused({"servidor", "2", "--web="}, "falta o valor de --web");
    EXPECT_NE(usageText("corrida").find("--web [PORTA]"), std::string::npos);
}

TEST(CommandLine, StagesAreChosenForTheLocalGameAndTheServerOnly) {
    const CommandLine local = parse({"local", "--fases", "3,7"});
    EXPECT_EQ(local.action, CommandLineAction::Run);
    EXPECT_EQ(local.params.stages.stages, (std::vector<std::string>{"3", "7"}));
    const CommandLine server = parse({"--fases=aleatorio:4", "servidor", "2"});
    EXPECT_EQ(server.action, CommandLineAction::Run);
    EXPECT_EQ(server.params.stages.randomCount, 4);
    EXPECT_TRUE(parse({"local"}).params.stages.empty()) << "nothing chosen: stage 1 and stage 2";

    expectRefused({"local", "--fases"}, "falta o valor de --fases");
    expectRefused({"local", "--fases", "3,,7"}, "fase vazia");
    expectRefused({"servidor", "2", "--fases", "aleatorio:0"}, "de 1 a 12");
    expectRefused({"cliente", "127.0.0.1", "--fases", "3"},
                  "--fases vale so para local, servidor e festa");
    expectRefused({"--fases", "3", "rever", "x.gz"},
                  "--fases vale so para local, servidor e festa");
    EXPECT_NE(usageText("corrida").find("--fases LISTA"), std::string::npos);
}

TEST(CommandLine, APartyIsAServerWithItsWebPortAndAnInvitationAddress) {
    const CommandLine party = parse({"festa", "3"});
    EXPECT_EQ(party.action, CommandLineAction::Run);
    EXPECT_EQ(party.mode, Modo::Festa);
    EXPECT_EQ(party.params.numPlayers, 3);
    EXPECT_EQ(party.params.address, kThisMachine);
    EXPECT_EQ(party.params.webPort, kDefaultWebPort);
    EXPECT_TRUE(party.params.invitationAddress.empty());
    const CommandLine pinned = parse({"festa", "6", "--web", "9090", "--web-endereco", "10.0.0.5"});
    EXPECT_EQ(pinned.params.webPort, 9090);
    EXPECT_EQ(pinned.params.invitationAddress, "10.0.0.5");
    expectRefused({"festa"}, "falta o numero de jogadores da festa");
    expectRefused({"festa", "7"}, "numero de jogadores invalido");
    expectRefused({"festa", "2", "10.0.0.5"}, "argumento a mais");
    expectRefused({"festa", "2", "--web-endereco", "http://x/"}, "endereco web invalido");
    expectRefused({"servidor", "2", "--web-endereco", "10.0.0.5"}, "vale apenas para a festa");
    const std::string usage = usageText("corrida");
    EXPECT_NE(usage.find("festa N"), std::string::npos);
    EXPECT_NE(usage.find("--web-endereco ENDERECO"), std::string::npos);
}
