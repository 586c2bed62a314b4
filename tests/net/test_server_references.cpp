// Whether the objects a client found belong to one server: the host and port in their references.
#include <gtest/gtest.h>

#include "loopback_orb.h"
#include "net/login_impl.h"
#include "net/server_context.h"
#include "net/server_references.h"

namespace {

const CallerHost kCaller = [] { return std::string("10.0.0.1"); };

TEST(ServerReferences, ThreeObjectsOfOneServerAreOneServer) {
    ServerContext server(2);
    Login_impl a(server, kCaller), b(server, kCaller), c(server, kCaller);
    Activated first(&a), second(&b), third(&c);
    CORBA::Object_var one = first.as<CORBA::Object>();
    CORBA::Object_var two = second.as<CORBA::Object>();
    CORBA::Object_var three = third.as<CORBA::Object>();
    const std::optional<std::string> place = servedAt(loopbackOrb(), one);
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(0u, place->rfind("127.0.0.1:", 0)) << *place;
    std::string places = "unchanged";
    EXPECT_TRUE(sameServer(loopbackOrb(), {one, two, three}, places));
    EXPECT_EQ("", places);
}

TEST(ServerReferences, AnObjectOfAnotherServerIsRefusedWithWhereEachLeads) {
    ServerContext server(2);
    Login_impl a(server, kCaller), c(server, kCaller);
    Activated first(&a), third(&c);
    CORBA::Object_var one = first.as<CORBA::Object>();
    CORBA::Object_var three = third.as<CORBA::Object>();
    // Another server's object: same interface, another port (nothing needs to answer there).
    CORBA::Object_var stranger = loopbackOrb()->string_to_object("corbaloc::127.0.0.1:1/login");
    const std::string here = *servedAt(loopbackOrb(), one);
    std::string places;
    EXPECT_FALSE(sameServer(loopbackOrb(), {one, stranger, three}, places));
    EXPECT_EQ(here + ", 127.0.0.1:1, " + here, places);
    CORBA::Object_var otherHost = loopbackOrb()->string_to_object(
        ("corbaloc::127.0.0.2:" + here.substr(here.rfind(':') + 1) + "/login").c_str());
    EXPECT_FALSE(sameServer(loopbackOrb(), {one, otherHost, three}, places));
}

TEST(ServerReferences, ANilReferenceLeadsNowhere) {
    ServerContext server(2);
    Login_impl a(server, kCaller);
    Activated first(&a);
    CORBA::Object_var one = first.as<CORBA::Object>();
    EXPECT_FALSE(servedAt(loopbackOrb(), CORBA::Object::_nil()).has_value());
    std::string places;
    EXPECT_FALSE(sameServer(loopbackOrb(), {one, CORBA::Object::_nil()}, places));
    EXPECT_NE(std::string::npos, places.find(", ?"));
}

}  // namespace
