// The servants behind the real ORB on the loopback interface: activated on the root POA and called
// through object references, as the server thread publishes them.
#include <gtest/gtest.h>

#include "fake_runners.h"
#include "loopback_orb.h"
#include "net/controle_impl.h"
#include "net/fifo_server_impl.h"
#include "net/login_impl.h"
#include "net/orb_setup.h"
#include "net/server_context.h"

namespace {

// In-process calls pass no interceptor: the servants are told who calls.
const CallerHost kCaller = [] { return std::string("10.0.0.1"); };

TEST(OrbLoopback, LoginAnswersThroughTheOrb) {
    ServerContext context(1);
    Login_impl servant(context, kCaller);
    Activated object(&servant);
    Login_var login = object.as<Login>();
    ASSERT_FALSE(CORBA::is_nil(login));
    EXPECT_EQ(1, login->logar());
    EXPECT_EQ(-1, login->logar());
}

TEST(OrbLoopback, FifoHandsBatchesThroughTheOrb) {
    ServerContext context(2);
    FifoServer_impl servant(context, kCaller);
    Activated object(&servant);
    FifoServer_var fifo = object.as<FifoServer>();
    Login_impl login(context, kCaller);
    ASSERT_EQ(1, login.logar());
    context.recorder.addInstruction("load_bitmap aguardando Img/menu/pause.bmp");
    context.recorder.addInstruction("draw_sprite screen aguardando 0 0");
    context.recorder.flush();
    CORBA::String_var batch = fifo->getInstructions(1);
    EXPECT_STREQ("load_bitmap aguardando Img/menu/pause.bmp;draw_sprite screen aguardando 0 0;",
                 batch.in());
    // A refusal reaches the caller as the system exception.
    EXPECT_THROW(fifo->getInstructions(65535), CORBA::NO_PERMISSION);
}

TEST(OrbLoopback, ControleReachesTheRaceThroughTheOrb) {
    FakeRunnerTable runners;
    ServerContext context(2);
    context.control.flipRunner = flipFakeRunner;
    Controle_impl servant(context, kCaller);
    Activated object(&servant);
    Controle_var controle = object.as<Controle>();
    Login_impl login(context, kCaller);
    CORBA::String_var secret;
    ASSERT_EQ(1, login.join(secret.out()));
    openRemoteRace(context.control, runners.table);
    controle->flip(secret.in());
    controle->pause(secret.in());
    EXPECT_EQ(1, runners.flipsOf(1));
    EXPECT_TRUE(context.control.paused.load());
}

TEST(OrbLoopback, NarrowRefusesAnObjectOfAnotherInterface) {
    ServerContext context(1);
    Login_impl servant(context, kCaller);
    Activated object(&servant);
    FifoServer_var fifo = object.as<FifoServer>();
    EXPECT_TRUE(CORBA::is_nil(fifo));
}

TEST(OrbLoopback, UnknownOperationIsBadOperation) {
    ServerContext context(1);
    Login_impl servant(context, kCaller);
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
    EXPECT_EQ(0, context.slots.joined(0));
}

}  // namespace
