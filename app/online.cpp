// The world board, from the program's side.
#include "app/online.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "app/online_board.h"
#include "app/run_session.h"
#include "core/data_folder.h"
#include "net/board_client.h"
#include "net/http_client.h"
#include "net/player_identity.h"
#include "net/run_sender.h"
#include "net/server_address.h"
#include "runs/run_library.h"
#include "runs/run_recorder.h"
#include "scores/high_scores.h"
#include "ui/front_end_state.h"

namespace {

std::string server;
std::unique_ptr<RunSender> sender;
std::thread outboxThread;
// A run's session being opened before the run starts: today's run's or a run's from the title,
// asked on this screen, since then.
struct Opening {
    bool on = false, daily = false;
    int screen = 0;
    std::chrono::steady_clock::time_point since;
};
Opening opening;
// How long a run from the title waits for its session before it starts offline.
const int kSessionWaitSeconds = 2;
std::string pendingPath, pendingName; // the run just over, sent once its session is closed
std::future<BoardName> naming;        // a new name asked of the board
std::string namingName;               // the name asked for

std::string Outbox() {
    return RunLibrary_Folder() + "/outbox";
}

// The player on the board, made on the first send with the name given. False with why.
bool Player(const std::string& name, BoardPlayer* player, std::string* why) {
    std::string folder = DataFolder_OwnFolder();
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    return !folder.empty() && Identity_Load(folder, name, player, why);
}

// A leaderboard's tag as the board's first name for the player: printable, else PLAYER, with
// four random digits.
std::string TagName(const char* tag3) {
    std::string tag(tag3 ? tag3 : "", tag3 ? strnlen(tag3, 3) : 0);
    for (char c : tag)
        if (c < 33 || c > 126) return Identity_FirstName("");
    return Identity_FirstName(tag);
}

// Sends a recording in the background, under the player's name on the board (made with name on the
// first send).
void SendFile(const std::string& path, const std::string& name) {
    if (!sender || path.empty()) return;
    BoardPlayer player;
    std::string why;
    if (!Player(name, &player, &why)) {
        onlineView.sendStatus = "NOT SENT: " + why;
        return;
    }
    sender->Send(server, path, player, Outbox());
}

} // namespace

void Online_Start(const std::string& serverFromArguments) {
    std::string problem;
    server = ServerAddress_Choose(serverFromArguments, DataFolder_OwnFolder(), &problem);
    if (!problem.empty()) std::fprintf(stderr, "zorb: %s\n", problem.c_str());
    onlineView = OnlineView();
    onlineView.online = !server.empty();
    if (server.empty()) return;
    BoardPlayer kept;
    std::string why;
    if (Identity_Load(DataFolder_OwnFolder(), "", &kept, &why)) onlineView.playerName = kept.name;
    sender = std::make_unique<RunSender>();
    std::string address = server, outbox = Outbox();
    if (!std::filesystem::is_directory(outbox)) return;
    BoardPlayer player;
    if (!Player(Identity_FirstName(""), &player, &why)) return;
    outboxThread =
        std::thread([address, outbox, player] { RunSender_SendOutbox(address, outbox, player); });
}

const std::string& Online_Server() {
    return server;
}

void Online_SendPlace(int place) {
    if (place >= 0 && place < kHighScoreCount)
        SendFile(RunLibrary_ForPlace(place), TagName(HighScoreTable[place].tag));
}

void Online_SendLast(const std::string& path, const char* tag) {
    if (!sender || path.empty()) return;
    // Sent once its session is closed, so that the session goes with it.
    pendingPath = path;
    pendingName = TagName(tag);
    onlineView.sendStatus = "SENDING";
}

namespace {

// The player's key, when they take part online; empty when not.
std::string KeptKey() {
    BoardPlayer player;
    std::string why;
    return Identity_Load(DataFolder_OwnFolder(), "", &player, &why) ? player.key : "";
}

} // namespace

void Online_ReadBoard(BoardTab board, int page, bool aroundMe) {
    if (!server.empty()) OnlineBoard_Read(server, board, page, KeptKey(), aroundMe);
}

std::string Online_Watch(int row) {
    return server.empty() ? "" : OnlineBoard_Watch(server, row);
}

namespace {

// Keeps name as the player's own on the board.
void KeepName(const std::string& name) {
    BoardPlayer player;
    std::string why;
    if (!Player(name, &player, &why)) {
        onlineView.watchStatus = "NOT RENAMED: " + why;
        return;
    }
    player.name = name;
    if (!Identity_Save(DataFolder_OwnFolder(), player, &why))
        onlineView.watchStatus = "NOT RENAMED: " + why;
    else
        onlineView.playerName = name;
}

// Once the board has answered a new name: kept when the board gave it or could not be reached (a
// run sent later settles it), the old name kept when another player holds it.
void ShowNaming() {
    if (!naming.valid() || naming.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    BoardName answer = naming.get();
    onlineView.watchStatus = "";
    if (answer.taken)
        onlineView.watchStatus = "TAKEN: " + namingName + " IS ANOTHER PLAYER'S";
    else if (answer.answered && !answer.error.empty())
        onlineView.watchStatus = "NOT RENAMED: " + answer.error;
    else
        KeepName(namingName);
}

} // namespace

void Online_Rename(const std::string& name) {
    BoardPlayer player;
    std::string why;
    if (naming.valid()) return; // one name asked at a time
    if (server.empty()) return KeepName(name);
    if (!Player(name, &player, &why)) {
        onlineView.watchStatus = "NOT RENAMED: " + why;
        return;
    }
    player.name = name;
    namingName = name;
    onlineView.watchStatus = "ASKING THE BOARD FOR " + name;
    naming = std::async(std::launch::async,
                        [address = server, player] { return Board_ClaimName(address, player); });
}

void Online_ShowSending() {
    if (!sender) return;
    if (!pendingPath.empty() && !RunSession_Closing()) {
        SendFile(pendingPath, pendingName);
        pendingPath.clear();
    }
    if (!pendingPath.empty()) return;
    std::string text = RunSender_Text(sender->Status());
    if (!text.empty()) onlineView.sendStatus = text;
}

namespace {

// Once the run's session is open (or cannot be): the run may start, with the session's seed.
// Today's run is played only on the day's seed; a run from the title starts offline on a seed of
// its own.
OnlineAsk SessionOpened(OnlineAsk ask) {
    std::string why;
    ask.seeded = RunSession_Ready(&ask.seed, &why);
    bool late = !opening.daily && std::chrono::steady_clock::now() - opening.since >
                                      std::chrono::seconds(kSessionWaitSeconds + 1);
    if (!ask.seeded && why.empty() && !late) return ask; // still opening
    opening.on = false;
    if (!ask.seeded) RunSession_GiveUp();
    if (opening.daily) onlineView.watchStatus = ask.seeded ? "" : "NO DAILY RUN: " + why;
    // The run starts where it was asked for, and today's run only on the day's seed.
    ask.start = frontEnd.menuScreen == opening.screen && (ask.seeded || !opening.daily);
    if (ask.seeded)
        onlineView.runFor = opening.daily ? "FOR TODAY'S BOARD" : "FOR THE RANKED BOARD";
    return ask;
}

} // namespace

OnlineAsk Online_Frame() {
    static int lastScreen = -1;
    Online_ShowSending();
    ShowNaming();
    // The online screen reads its board afresh each time it opens.
    if (frontEnd.menuScreen == kScreenOnline && lastScreen != kScreenOnline)
        Online_ReadBoard(onlineView.board, onlineView.page, onlineView.aroundMe);
    lastScreen = frontEnd.menuScreen;
    OnlineAsk ask;
    ask.watch = OnlineBoard_Frame();
    if (opening.on) ask = SessionOpened(ask);
    return ask;
}

bool Online_AskRun(bool daily) {
    if (opening.on) return true; // asked again while its session opens: the same run
    std::string key = KeptKey();
    onlineView.runFor = server.empty() ? "" : "FOR THE OPEN BOARD: PLAYED OFFLINE";
    if (server.empty()) return false;
    // A player who has not joined the board plays offline (the first send makes their key);
    // today's run is played only on the board's terms, so it asks for a name first.
    if (key.empty()) {
        if (daily) onlineView.watchStatus = "FIRST CHOOSE YOUR NAME ON THE BOARD: [R]";
        return false;
    }
    RunSession_Open(server, daily, key, daily ? 15 : kSessionWaitSeconds);
    opening = Opening{true, daily, frontEnd.menuScreen, std::chrono::steady_clock::now()};
    onlineView.watchStatus = daily ? "OPENING TODAY'S RUN" : "";
    return true;
}

void Online_RunFrame() {
    if (!server.empty()) RunSession_Frame(server, Recorder_EndDigest(), Recorder_Path());
}

void Online_Stop() {
    // Every transfer and wait ends at once; runs not sent stay in the outbox for the next start.
    Http_CancelAll();
    if (outboxThread.joinable()) outboxThread.join();
    if (naming.valid()) naming.wait();
    naming = std::future<BoardName>();
    RunSession_Stop();
    OnlineBoard_Stop();
    sender.reset();
    Http_Resume(); // the background work is over: a game that goes online again may send
}
