#include "server/client_address.h"

#include <gtest/gtest.h>

namespace {

ClientAddress Trusting(std::initializer_list<const char*> networks) {
    std::vector<Network> trusted;
    for (const char* text : networks) {
        Network n;
        EXPECT_TRUE(Network_Parse(text, &n)) << text;
        trusted.push_back(n);
    }
    return ClientAddress(trusted);
}

} // namespace

// Only a trusted proxy's X-Forwarded-For is believed, and only as far left as trusted hops go: a
// client cannot name itself someone else by writing the header itself.
TEST(ClientAddressTest, TheClientIsTheRightMostUntrustedHop) {
    ClientAddress none = Trusting({});
    ClientAddress proxies = Trusting({"10.0.0.0/8", "fd00::/8"});
    struct Case {
        const ClientAddress* by;
        const char *peer, *forwarded, *client;
    } cases[] = {
        {&none, "10.0.0.1", "1.2.3.4", "10.0.0.1"},
        {&proxies, "10.0.0.1", "1.2.3.4", "1.2.3.4"},
        {&proxies, "10.0.0.1", "6.6.6.6, 1.2.3.4", "1.2.3.4"},
        {&proxies, "10.0.0.1", "1.2.3.4,10.0.0.2", "1.2.3.4"},
        {&proxies, "10.0.0.1", "", "10.0.0.1"},
        {&proxies, "10.0.0.1", "1.2.3.4, not-an-address", "10.0.0.1"},
        {&proxies, "10.0.0.1", "10.0.0.3, 10.0.0.2", "10.0.0.3"},
        {&proxies, "11.0.0.1", "1.2.3.4", "11.0.0.1"},
        {&proxies, "fd00::1", " 2001:db8::5 ", "2001:db8::5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.by->Of(c.peer, c.forwarded), c.client) << c.peer << " / " << c.forwarded;
}

TEST(ClientAddressTest, AnIPv6SlashSixtyFourIsOneClient) {
    EXPECT_EQ(ClientAddress::LimitKey("2001:db8:1:2:3:4:5:6"),
              ClientAddress::LimitKey("2001:db8:1:2:ffff::1"));
    EXPECT_NE(ClientAddress::LimitKey("2001:db8:1:2::1"),
              ClientAddress::LimitKey("2001:db8:1:3::1"));
    EXPECT_EQ(ClientAddress::LimitKey("::ffff:1.2.3.4"), "1.2.3.4");
    EXPECT_EQ(ClientAddress::LimitKey("1.2.3.4"), "1.2.3.4");
}

TEST(ClientAddressTest, NetworksAreReadStrictly) {
    Network n;
    for (const char* bad :
         {"10.0.0.0/33", "fd00::/129", "nonsense", "1.2.3.4/", "1.2.3.4/-1", "1.2.3.4/8x", ""})
        EXPECT_FALSE(Network_Parse(bad, &n)) << bad;
    ASSERT_TRUE(Network_Parse("10.1.0.0/16", &n));
    ClientAddress within(std::vector<Network>{n});
    EXPECT_EQ(within.Of("10.1.200.3", "1.2.3.4"), "1.2.3.4");
    EXPECT_EQ(within.Of("10.2.0.1", "1.2.3.4"), "10.2.0.1");
}
