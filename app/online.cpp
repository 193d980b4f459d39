// The world board, from the program's side.
#include "app/online.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/online_board.h"
#include "core/data_folder.h"
#include "net/player_identity.h"
#include "net/run_sender.h"
#include "net/server_address.h"
#include "runs/run_library.h"
#include "scores/high_scores.h"
#include "ui/front_end_state.h"

namespace {

std::string server;
std::unique_ptr<RunSender> sender;
std::thread outboxThread;

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

// A leaderboard's tag as the board's first name for the player: printable, else PLAYER.
std::string TagName(const char* tag3) {
    std::string tag(tag3 ? tag3 : "", tag3 ? strnlen(tag3, 3) : 0);
    for (char c : tag)
        if (c < 33 || c > 126) return "PLAYER";
    return tag.empty() ? "PLAYER" : tag;
}

} // namespace

void Online_Start(const std::string& serverFromArguments) {
    server = ServerAddress_Choose(serverFromArguments, DataFolder_OwnFolder());
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
    if (!Player("PLAYER", &player, &why)) return;
    outboxThread =
        std::thread([address, outbox, player] { RunSender_SendOutbox(address, outbox, player); });
}

const std::string& Online_Server() {
    return server;
}

void Online_SendPlace(int place) {
    std::string path = place >= 0 && place < kHighScoreCount ? RunLibrary_ForPlace(place) : "";
    if (!sender || path.empty()) return;
    BoardPlayer player;
    std::string why;
    if (!Player(TagName(HighScoreTable[place].tag), &player, &why)) {
        onlineView.sendStatus = "NOT SENT: " + why;
        return;
    }
    sender->Send(server, path, player, Outbox());
}

void Online_SendLast(const std::string& path, const char* tag) {
    if (!sender || path.empty()) return;
    BoardPlayer player;
    std::string why;
    if (!Player(TagName(tag), &player, &why)) {
        onlineView.sendStatus = "NOT SENT: " + why;
        return;
    }
    sender->Send(server, path, player, Outbox());
}

void Online_ReadBoard(bool today, int page) {
    if (server.empty()) return;
    BoardPlayer player;
    std::string why;
    std::string key = Identity_Load(DataFolder_OwnFolder(), "", &player, &why) ? player.key : "";
    OnlineBoard_Read(server, today, page, key);
}

std::string Online_Watch(int row) {
    return server.empty() ? "" : OnlineBoard_Watch(server, row);
}

void Online_Rename(const std::string& name) {
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

void Online_ShowSending() {
    if (!sender) return;
    std::string text = RunSender_Text(sender->Status());
    if (!text.empty()) onlineView.sendStatus = text;
}

std::string Online_Frame() {
    static int lastScreen = -1;
    Online_ShowSending();
    // The online screen reads its board afresh each time it opens.
    if (frontEnd.menuScreen == kScreenOnline && lastScreen != kScreenOnline)
        Online_ReadBoard(onlineView.today, onlineView.page);
    lastScreen = frontEnd.menuScreen;
    return OnlineBoard_Frame();
}

void Online_Stop() {
    if (outboxThread.joinable()) outboxThread.join();
    OnlineBoard_Stop();
    sender.reset();
}
