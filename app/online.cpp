// The world board, from the program's side.
#include "app/online.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

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
std::string NameOf(int place) {
    std::string tag(HighScoreTable[place].tag, strnlen(HighScoreTable[place].tag, 3));
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
    sender = std::make_unique<RunSender>();
    std::string address = server, outbox = Outbox();
    if (!std::filesystem::is_directory(outbox)) return;
    BoardPlayer player;
    std::string why;
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
    if (!Player(NameOf(place), &player, &why)) {
        onlineView.sendStatus = "NOT SENT: " + why;
        return;
    }
    sender->Send(server, path, player, Outbox());
}

void Online_Frame() {
    if (sender) {
        std::string text = RunSender_Text(sender->Status());
        if (!text.empty()) onlineView.sendStatus = text;
    }
}

void Online_Stop() {
    if (outboxThread.joinable()) outboxThread.join();
    sender.reset();
}
