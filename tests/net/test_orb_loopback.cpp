// The servants behind the real ORB on the loopback interface: activated on the root POA and called
// through object references, as the server thread publishes them.
#include <gtest/gtest.h>

#include "fake_runners.h"
#include "loopback_orb.h"
#include "net/controle_impl.h"
#include "net/fifo_server_impl.h"
#include "net/login_impl.h"
#include "net/orb_setup.h"
#include "stream/gravador_tela.h"

namespace {

TEST(OrbLoopback, LoginAnswersThroughTheOrb) {
    ContadorLogin counter(1);
    Login_impl servant(counter);
    Activated object(&servant);
    Login_var login = object.as<Login>();
    ASSERT_FALSE(CORBA::is_nil(login));
    EXPECT_EQ(1, login->logar());
    EXPECT_EQ(-1, login->logar());
}

TEST(OrbLoopback, FifoHandsBatchesThroughTheOrb) {
    GravadorTela recorder(2);
    FifoServer_impl servant{recorder};
    Activated object(&servant);
    FifoServer_var fifo = object.as<FifoServer>();
    recorder.addInstruction("load_bitmap aguardando Img/menu/pause.bmp");
    recorder.addInstruction("draw_sprite screen aguardando 0 0");
    recorder.flush();
    CORBA::String_var batch = fifo->getInstructions(2);
    EXPECT_STREQ("load_bitmap aguardando Img/menu/pause.bmp;draw_sprite screen aguardando 0 0;",
                 batch.in());
    CORBA::String_var none = fifo->getInstructions(65535);
    EXPECT_STREQ("", none.in());
}

TEST(OrbLoopback, ControleReachesTheRaceThroughTheOrb) {
    FakeRunnerFlip fakeFlip;
    FakeRunnerTable runners;
    EstadoControle state;
    ContadorLogin counter(2);
    Controle_impl servant(state, counter);
    Activated object(&servant);
    Controle_var controle = object.as<Controle>();
    openRemoteRace(state, runners.table);
    controle->alterarGravidade(-32768);
    controle->alterarGravidade(2);
    controle->pausar();
    EXPECT_EQ(1, runners.totalFlips());
    EXPECT_EQ(1, runners.flipsOf(2));
    EXPECT_TRUE(state.paused.load());
}

TEST(OrbLoopback, NarrowRefusesAnObjectOfAnotherInterface) {
    ContadorLogin counter(1);
    Login_impl servant(counter);
    Activated object(&servant);
    FifoServer_var fifo = object.as<FifoServer>();
    EXPECT_TRUE(CORBA::is_nil(fifo));
}

TEST(OrbLoopback, UnknownOperationIsBadOperation) {
    ContadorLogin counter(1);
    Login_impl servant(counter);
    Activated object(&servant);
    Login_var login = object.as<Login>();
    CORBA::Request_var request = login->_request("sair");
    request->set_return_type(CORBA::_tc_short);
    request->invoke();
    CORBA::Exception* failure = request->env()->exception();
    ASSERT_NE(nullptr, failure);
    const CORBA::BAD_OPERATION* badOperation = CORBA::BAD_OPERATION::_downcast(failure);
    ASSERT_NE(nullptr, badOperation) << failure->_name();
    EXPECT_EQ(CORBA::COMPLETED_NO, badOperation->completed());
    // The servant was not touched.
    EXPECT_EQ(0, counter.loggedIn.load());
}

}  // namespace
