// The game's client of the world board: a run sent by zorb-headless --send to a real server, and
// a server that answers what no board would, each refusal said plainly.
#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/stat.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

#include "net/board_client.h"
#include "net/http_client.h"
#include "net/player_identity.h"
#include "net/run_sender.h"
#include "net/server_address.h"
#include "tests/server/server_process.h"

namespace {

// A server that answers as the path's first part says: /big with 2 MB, /text with a page,
// /garbled with broken JSON, /loop by sending the client to itself, /waiting never giving a
// verdict, /held holding an upload.
class BadServer {
  public:
    BadServer() {
        http_.Get(R"(/big/.*)", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("{\"runs\": [\"" + std::string(2 << 20, 'x') + "\"]}",
                          "application/json");
        });
        http_.Get(R"(/text/.*)", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("<html>a portal's page</html>", "text/html");
        });
        http_.Get(R"(/garbled/.*)", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("{\"runs\": [", "application/json");
        });
        http_.Get(R"(/loop/.*)",
                  [](const httplib::Request& q, httplib::Response& r) { r.set_redirect(q.path); });
        // Takes every upload, and never has a verdict for it.
        http_.Post(R"(/waiting/.*)", [](const httplib::Request&, httplib::Response& r) {
            r.status = 202;
            r.set_content("{\"id\": 1, \"status\": \"waiting\"}", "application/json");
        });
        http_.Get(R"(/waiting/.*)", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("{\"id\": 1, \"status\": \"waiting\"}", "application/json");
        });
        // Holds an upload until the test lets it go, then says it is busy.
        http_.Post(R"(/held/.*)", [this](const httplib::Request&, httplib::Response& r) {
            std::unique_lock<std::mutex> hold(mutex_);
            wake_.wait(hold, [this] { return released_; });
            r.status = 503;
            r.set_content("{\"error\": \"busy\"}", "application/json");
        });
        port_ = http_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { http_.listen_after_bind(); });
    }
    ~BadServer() {
        Release();
        http_.stop();
        thread_.join();
    }
    void Release() {
        std::lock_guard<std::mutex> hold(mutex_);
        released_ = true;
        wake_.notify_all();
    }
    std::string Base(const std::string& kind) const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + kind;
    }

  private:
    httplib::Server http_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool released_ = false;
};

// The sender's status once it has settled (bounded: a send's timeouts end it).
SendStatus Settled(const RunSender& sender) {
    for (int k = 0; k < 1200; k++) {
        SendStatus s = sender.Status();
        if (s.state != SendState::Sending && s.state != SendState::Verifying) return s;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return sender.Status();
}

const char* const kAutoplay = ZORB_SOURCE_DIR "/tests/runs/autoplay.zrun";
const BoardPlayer kPlayer{"SENDER", "00112233445566778899aabbccddeeff"};

TEST(BoardClient, AnswersNoBoardWouldGiveAreRefusedWithAReason) {
    BadServer bad;
    struct Case {
        const char* kind;
        const char* says;
    } cases[] = {
        {"big", "larger than 1048576 bytes"},
        {"text", "text/html, not JSON"},
        {"garbled", "not JSON"},
        {"loop", "the board has moved to http://127.0.0.1:"}, // followed by no request
    };
    for (const Case& c : cases) {
        BoardPage page = Board_Fetch(bad.Base(c.kind), BoardQuery());
        EXPECT_FALSE(page.answered) << c.kind;
        EXPECT_NE(page.error.find(c.says), std::string::npos) << c.kind << ": " << page.error;
        BoardVerdict status = Board_Status(bad.Base(c.kind), 1);
        EXPECT_FALSE(status.answered) << c.kind;
    }
    BoardFile page = Board_Download(bad.Base("text"), 1);
    EXPECT_FALSE(page.answered);
    EXPECT_NE(page.error.find("not a recording"), std::string::npos) << page.error;
    BoardPage nobody = Board_Fetch("http://127.0.0.1:1", BoardQuery());
    EXPECT_NE(nobody.error.find("cannot be reached"), std::string::npos) << nobody.error;
    EXPECT_NE(Board_Fetch("ftp://example.org", BoardQuery()).error.find("http://"),
              std::string::npos);
}

// New players of one tag (or of none) get first names of their own: the board refuses a name
// another key holds.
TEST(BoardClient, NewPlayersOfOneTagGetNamesOfTheirOwn) {
    std::set<std::string> names;
    for (int k = 0; k < 20; k++) {
        std::string name = Identity_FirstName("ACE");
        EXPECT_TRUE(std::regex_match(name, std::regex("ACE-[0-9A-F]{4}"))) << name;
        names.insert(name);
    }
    EXPECT_GT(names.size(), 15u);
    EXPECT_EQ(Identity_FirstName("").rfind("PLAYER-", 0), 0u);
}

TEST(BoardClient, AKeptIdentityIsTheOwnersAloneAndNeverReplaced) {
    std::string folder = FreshFolder("identity");
    BoardPlayer first, again;
    std::string why;
    ASSERT_TRUE(Identity_Load(folder, "ACE", &first, &why)) << why;
    EXPECT_EQ(first.key.size(), 32u);
    EXPECT_EQ(first.name, "ACE");
    struct stat st {};
    ASSERT_EQ(stat((folder + "/online.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_TRUE(Identity_Load(folder, "OTHER", &again, &why)) << why;
    EXPECT_EQ(again.key, first.key);
    EXPECT_EQ(again.name, "ACE");
    EXPECT_NE(Identity_NewKey(), first.key);
    // A damaged file is left for the player to look at, not overwritten by a new key.
    std::ofstream(folder + "/online.txt") << "key nothex\n";
    EXPECT_FALSE(Identity_Load(folder, "ACE", &again, &why));
    std::ifstream kept(folder + "/online.txt");
    std::string line;
    std::getline(kept, line);
    EXPECT_EQ(line, "key nothex");
}

// Two first sends at once (two games started together) must end with one key that both use.
TEST(BoardClient, TwoFirstSendsAtOnceShareOneKey) {
    for (int round = 0; round < 20; round++) {
        std::string folder = FreshFolder("identity-race-" + std::to_string(round));
        BoardPlayer got[2];
        std::atomic<int> ready{0};
        auto make = [&](int k) {
            std::string why;
            ready++;
            while (ready < 2) {
            }
            EXPECT_TRUE(Identity_Load(folder, "P" + std::to_string(k), &got[k], &why)) << why;
        };
        std::thread a(make, 0), b(make, 1);
        a.join();
        b.join();
        BoardPlayer kept;
        std::string why;
        ASSERT_TRUE(Identity_Load(folder, "", &kept, &why)) << why;
        ASSERT_EQ(got[0].key, kept.key) << "round " << round;
        ASSERT_EQ(got[1].key, kept.key) << "round " << round;
    }
}

// The variable and the file are checked as --server is: a bad address keeps the game offline,
// said once with where it came from.
TEST(BoardClient, ABadAddressFromTheVariableOrTheFileKeepsTheGameOffline) {
    std::string folder = FreshFolder("server-address");
    struct Case {
        const char* variable; // or null
        const char* file;     // server.txt's text, or null
        const char* chosen;
        const char* source; // named in the problem, or "" for none
    } cases[] = {
        {"http://127.0.0.1:8080", "http://elsewhere", "http://127.0.0.1:8080", ""},
        {"file:///etc/passwd", "http://elsewhere", "", "ZORB_SERVER"},
        {"javascript:alert(1)", nullptr, "", "ZORB_SERVER"},
        {nullptr, " https://board.example \r\nsecond", "https://board.example", ""},
        {nullptr, "http://\x1b]0;x\x07host", "", "server.txt's first line"},
        {nullptr, "http:///etc", "", "server.txt's first line"},
        // In clear only to this machine: the key is the player's only credential.
        {"http://board.example", nullptr, "", "ZORB_SERVER"},
        {"http://localhost:8080/", nullptr, "http://localhost:8080/", ""},
        {"http://[::1]:8080", nullptr, "http://[::1]:8080", ""},
        {"http://127.5.5.5", nullptr, "http://127.5.5.5", ""},
        {"http://127.0.0.1.example.com", nullptr, "", "ZORB_SERVER"},
        {"http://localhost@board.example", nullptr, "", "ZORB_SERVER"},
        {"http://localhost.example.com", nullptr, "", "ZORB_SERVER"},
        {"http://12.0.0.1", nullptr, "", "ZORB_SERVER"},
        {nullptr, "http://board.example", "", "server.txt's first line"},
    };
    for (const Case& c : cases) {
        if (c.variable)
            setenv("ZORB_SERVER", c.variable, 1);
        else
            unsetenv("ZORB_SERVER");
        std::filesystem::remove(folder + "/server.txt");
        if (c.file) std::ofstream(folder + "/server.txt", std::ios::binary) << c.file;
        std::string problem;
        EXPECT_EQ(ServerAddress_Choose("", folder, &problem), c.chosen);
        if (*c.source) {
            EXPECT_NE(problem.find(c.source), std::string::npos) << problem;
        } else {
            EXPECT_EQ(problem, "");
        }
    }
    unsetenv("ZORB_SERVER");
    EXPECT_EQ(ServerAddress_Choose("https://given", folder), "https://given");
    std::string problem;
    EXPECT_EQ(ServerAddress_Choose("http://given", folder, &problem), "");
    EXPECT_NE(problem.find("--server"), std::string::npos) << problem;
}

TEST(BoardClient, ZorbHeadlessSendsARunAndPrintsItsPlace) {
    ResetTestDatabase();
    std::string data = FreshFolder("send");
    ServerProcess server({"--workers", "1"}, data);
    ASSERT_GT(server.port(), 0);
    std::string url = "http://127.0.0.1:" + std::to_string(server.port()), out;
    setenv("XDG_DATA_HOME", (data + "/home").c_str(), 1);
    int status = RunProgram(
        {"./zorb-headless", "--server", url, "--send", ZORB_SOURCE_DIR "/tests/runs/autoplay.zrun"},
        &out);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "verified: open board #1, score 230\n");
    out.clear();
    std::string cut = data + "/cut.zrun";
    {
        std::ifstream in(ZORB_SOURCE_DIR "/tests/runs/autoplay.zrun", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    }
    EXPECT_EQ(RunProgram({"./zorb-headless", "--server", url, "--send", cut}, &out), 1);
    EXPECT_NE(out.find("cut short"), std::string::npos) << out;
    unsetenv("XDG_DATA_HOME");
}

TEST(RunSender, ARunTheBoardCannotTakeNowWaitsInTheOutboxAndIsSentAtTheNextStart) {
    ResetTestDatabase();
    std::string data = FreshFolder("outbox"), outbox = data + "/Runs/outbox";
    // The run kept its session's token, which goes with it to the outbox; the board never opened
    // that session, so the run is ranked without one.
    std::string run = data + "/autoplay.zrun";
    std::filesystem::copy_file(kAutoplay, run);
    ASSERT_TRUE(RunSender_KeepSession(run, std::string(32, '0') + "." + std::string(64, 'f')));
    {
        RunSender sender;
        sender.Send("http://127.0.0.1:1", run, kPlayer, outbox);
        SendStatus down = Settled(sender);
        EXPECT_EQ(down.state, SendState::NotSent);
        EXPECT_EQ(RunSender_Text(down), "NOT SENT: the server cannot be reached");
    }
    ASSERT_TRUE(std::filesystem::exists(outbox + "/autoplay.zrun"));
    EXPECT_EQ(RunSender_SessionOf(outbox + "/autoplay.zrun"), RunSender_SessionOf(run));
    ServerProcess server({"--workers", "1"}, data);
    std::string url = "http://127.0.0.1:" + std::to_string(server.port());
    EXPECT_EQ(RunSender_SendOutbox(url, outbox, kPlayer), 1);
    EXPECT_FALSE(std::filesystem::exists(outbox + "/autoplay.zrun"));
    EXPECT_FALSE(std::filesystem::exists(outbox + "/autoplay.zrun.session"));
    RunSender again;
    again.Send(url, kAutoplay, kPlayer, outbox);
    SendStatus verified = Settled(again);
    EXPECT_EQ(RunSender_Text(verified), "VERIFIED - OPEN BOARD #1");
    EXPECT_EQ(verified.score, 230);
    // A recording the board refuses for good is said, and not kept to be sent again.
    std::string cut = data + "/cut.zrun";
    std::ofstream(cut, std::ios::binary) << "ZORB? not a run";
    RunSender refused;
    refused.Send(url, cut, kPlayer, outbox);
    SendStatus no = Settled(refused);
    EXPECT_EQ(no.state, SendState::Rejected) << RunSender_Text(no);
    EXPECT_FALSE(std::filesystem::exists(outbox + "/cut.zrun"));
}

TEST(RunSender, TheFrameNeverWaitsOnTheNetwork) {
    BadServer bad;
    RunSender sender;
    // The server holds the upload; the caller has its answer at once, and it says SENDING.
    sender.Send(bad.Base("held"), kAutoplay, kPlayer, FreshFolder("held"));
    EXPECT_EQ(sender.Status().state, SendState::Sending);
    EXPECT_EQ(RunSender_Text(sender.Status()), "SENDING");
    bad.Release();
    SendStatus after = Settled(sender);
    EXPECT_EQ(after.state, SendState::NotSent) << RunSender_Text(after);
    // A 404 page from whatever answers at a wrong address is no refusal by the board: the run is
    // kept to be sent again.
    std::string outbox = FreshFolder("wrong-address");
    sender.Send(bad.Base("nowhere"), kAutoplay, kPlayer, outbox);
    EXPECT_EQ(Settled(sender).state, SendState::NotSent);
    EXPECT_TRUE(std::filesystem::exists(outbox + "/autoplay.zrun"));
}

TEST(RunSender, AVerdictThatNeverComesIsLeftToTheBoardAndTheNextSendGoes) {
    BadServer bad;
    RunSender sender(1);
    sender.Send(bad.Base("waiting"), kAutoplay, kPlayer, FreshFolder("unconfirmed"));
    SendStatus left = Settled(sender);
    EXPECT_EQ(RunSender_Text(left), "NOT VERIFIED YET: SEE THE BOARD");
    sender.Send(bad.Base("nowhere"), kAutoplay, kPlayer, FreshFolder("unconfirmed-next"));
    EXPECT_EQ(Settled(sender).state, SendState::NotSent);
}

// At the game's end every transfer and wait is cut off at once, and what was not sent stays in
// the outbox for the next start.
TEST(RunSender, ClosingCutsOffSendsAndKeepsTheRunsForLater) {
    BadServer bad;
    std::string outbox = FreshFolder("closing");
    {
        RunSender sender;
        sender.Send(bad.Base("held"), kAutoplay, kPlayer, outbox);
        Http_CancelAll();
        SendStatus cut = Settled(sender);
        EXPECT_EQ(RunSender_Text(cut), "NOT SENT: the game is closing");
    }
    EXPECT_TRUE(std::filesystem::exists(outbox + "/autoplay.zrun"));
    EXPECT_EQ(RunSender_SendOutbox(bad.Base("waiting"), outbox, kPlayer), 0);
    EXPECT_TRUE(std::filesystem::exists(outbox + "/autoplay.zrun"));
    BoardVerdict v = Board_SendAndWait(bad.Base("waiting"), "run", kPlayer, 100);
    EXPECT_FALSE(v.answered);
    EXPECT_EQ(v.error, "the game is closing");
    Http_Resume();
    RunSender_SendOutbox(bad.Base("waiting"), outbox, kPlayer);
    EXPECT_FALSE(std::filesystem::exists(outbox + "/autoplay.zrun"));
}

} // namespace
