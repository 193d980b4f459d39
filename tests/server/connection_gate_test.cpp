#include "server/connection_gate.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

// One address cannot hold more than its share, nor everyone more than the whole; a connection that
// leaves makes room at once, and a trusted proxy's connections count only in the whole.
TEST(ConnectionGateTest, CountsByAddressAndInAll) {
    ConnectionGate gate(2, 4);
    int ids[8] = {};
    gate.Enter(&ids[0], "a", -1, 1e9);
    gate.Enter(&ids[1], "a", -1, 1e9);
    EXPECT_FALSE(gate.MayEnter("a"));
    EXPECT_TRUE(gate.MayEnter("b"));
    EXPECT_TRUE(gate.MayEnter(""));
    gate.Enter(&ids[1], "a", -1, 1e9); // counted once, however often it is said
    gate.Leave(&ids[0]);
    EXPECT_TRUE(gate.MayEnter("a"));
    gate.Leave(&ids[7]); // never in: nothing changes
    gate.Enter(&ids[2], "", -1, 1e9);
    gate.Enter(&ids[3], "", -1, 1e9);
    gate.Enter(&ids[4], "b", -1, 1e9);
    EXPECT_EQ(gate.Count(), 4);
    EXPECT_FALSE(gate.MayEnter("c"));
    EXPECT_FALSE(gate.MayEnter(""));
}

// A connection past its deadline has its socket shut once (its peer reads the end); one whose
// deadline moved on, or that has left, is never touched.
TEST(ConnectionGateTest, CutsOnlyWhatIsOverdue) {
    int late[2], moved[2], gone[2];
    for (int* pair : {late, moved, gone})
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    ConnectionGate gate(16, 16);
    int ids[3] = {};
    gate.Enter(&ids[0], "a", late[0], 10.0);
    gate.Enter(&ids[1], "a", moved[0], 10.0);
    gate.Enter(&ids[2], "a", gone[0], 10.0);
    gate.Move(&ids[1], 30.0);
    gate.Leave(&ids[2]);
    EXPECT_EQ(gate.CutOverdue(9.0), 0);
    EXPECT_EQ(gate.CutOverdue(20.0), 1);
    EXPECT_EQ(gate.CutOverdue(21.0), 0);
    char byte;
    EXPECT_EQ(recv(late[1], &byte, 1, MSG_DONTWAIT), 0);
    for (int* open : {moved, gone})
        EXPECT_EQ(recv(open[1], &byte, 1, MSG_DONTWAIT), -1) << "a socket was shut early";
    EXPECT_EQ(gate.Count(), 2); // cut, but counted until the server has closed it
    for (int* pair : {late, moved, gone}) {
        close(pair[0]);
        close(pair[1]);
    }
}
