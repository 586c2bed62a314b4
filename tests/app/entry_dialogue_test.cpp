#include "app/entry_dialogue.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Answer {
    std::optional<Modo> mode;
    ParametrosRede params;
    std::string shown;
    std::string unread;
};

// Runs the dialogue on `input` and states what it chose, printed and left unread.
Answer dialogue(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    Answer answer;
    answer.mode = runEntryDialogue(in, out, answer.params);
    answer.shown = out.str();
    in.clear();
    std::getline(in, answer.unread, '\0');
    return answer;
}

const std::string kMenu =
    "Menu:\n\n1. RODAR SERVIDOR\n2. RODAR CLIENTE\n3. JOGO LOCAL\n\nDigite a opcao desejada: ";

TEST(EntryDialogue, LocalGameAsksNothingMore) {
    const Answer answer = dialogue("3\n");
    EXPECT_EQ(answer.mode, Modo::Local);
    EXPECT_EQ(answer.shown, kMenu);
    EXPECT_EQ(answer.params.address, "");
}

TEST(EntryDialogue, AnyOtherChoiceIsTheLocalGame) {
    for (const char* input : {"7\n", "0\n", "-1\n", "x\n", "abc 1 host 4\n"}) {
        const Answer answer = dialogue(input);
        EXPECT_EQ(answer.mode, Modo::Local) << input;
        EXPECT_EQ(answer.shown, kMenu) << input;
    }
}

TEST(EntryDialogue, ServerAnswersMayShareOneLine) {
    const Answer answer = dialogue("1 host 4\n");
    EXPECT_EQ(answer.mode, Modo::Servidor);
    EXPECT_EQ(answer.params.address, "host");
    EXPECT_EQ(answer.params.numPlayers, 4);
    EXPECT_EQ(answer.shown, kMenu +
                                "Digite o endereco do servidor de nomes: "
                                "Digite o numero de Jogadores: ");
}

TEST(EntryDialogue, PlayerCountOutsideOneToSixIsAskedAgain) {
    const Answer answer = dialogue("1 host 9\n0\n-3\nmuitos\n6\n");
    EXPECT_EQ(answer.mode, Modo::Servidor);
    EXPECT_EQ(answer.params.numPlayers, 6);
    const std::string prompt = "Digite o numero de Jogadores: ";
    const std::string complaint = "Numero de jogadores invalido: digite um numero de 1 a 6.\n";
    EXPECT_EQ(answer.shown,
              kMenu + "Digite o endereco do servidor de nomes: " + (prompt + complaint) +
                  (prompt + complaint) + (prompt + complaint) + (prompt + complaint) + prompt);
}

TEST(EntryDialogue, ClientTakesTheFirstWordAndAsksNoPlayerCount) {
    const Answer answer = dialogue("2\n10.0.0.7 extra\n");
    EXPECT_EQ(answer.mode, Modo::Cliente);
    EXPECT_EQ(answer.params.address, "10.0.0.7");
    EXPECT_EQ(answer.unread, " extra\n");
    EXPECT_EQ(answer.shown.find("Jogadores"), std::string::npos);
}

TEST(EntryDialogue, EndOfInputAtAnyPromptEndsTheDialogue) {
    for (const char* input : {"", "1", "1 host", "2", "1 host 9", "1 host 9 40"}) {
        EXPECT_FALSE(dialogue(input).mode.has_value()) << '"' << input << '"';
    }
}

TEST(EntryDialogue, ClosingPromptReturnsAtEndOfInputAndWaitsForANewLine) {
    std::istringstream closed("");
    std::ostringstream out;
    waitForEnter(closed, out);
    EXPECT_EQ(out.str(), "Pressione Enter para sair...\n");

    std::istringstream in("3\nnext line\nafter\n");
    int choice;
    in >> choice;
    waitForEnter(in, out);
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, "after") << "the rest of the answered line is not the Enter awaited";
}

}  // namespace
