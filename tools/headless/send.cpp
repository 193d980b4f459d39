// Sending a recording from the command line.
#include "tools/headless/send.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "core/data_folder.h"
#include "net/board_client.h"
#include "net/player_identity.h"
#include "net/run_sender.h"
#include "runs/run_file.h"

namespace {

const int kVerdictSeconds = 120;

int Say(const char* format, const std::string& text) {
    std::printf(format, text.c_str());
    std::fflush(stdout);
    return 1;
}

// The name the board first shows: the recording's tag, else PLAYER, with four random digits.
std::string FirstName(const RunHeader& header) {
    return Identity_FirstName(header.tag);
}

} // namespace

int Headless_Send(const HeadlessConfig& config) {
    std::vector<unsigned char> bytes;
    if (QL_File_Read(config.send.c_str(), 4u << 20, &bytes) != QL_FILE_OK)
        return Say("not sent: %s cannot be read as a recording\n", config.send);
    RunReader reader;
    std::string why;
    if (!RunReader_OpenBytes(&reader, std::vector<uint8_t>(bytes.begin(), bytes.end()), &why))
        return Say("not sent: %s\n", why);
    std::string folder = DataFolder_OwnFolder();
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    BoardPlayer player;
    if (folder.empty() || !Identity_Load(folder, FirstName(reader.header), &player, &why))
        return Say("not sent: no identity for the board (%s)\n", why);
    BoardVerdict v = Board_SendAndWait(config.server, std::string(bytes.begin(), bytes.end()),
                                       player, kVerdictSeconds, RunSender_SessionOf(config.send));
    // Every text here is the checked reader's: printable, and cut to a line.
    if (v.answered && v.status == "waiting") return Say("sent, not verified yet: %s\n", v.error);
    if (!v.error.empty()) return Say("not sent: %s\n", v.error);
    if (v.status == "rejected") return Say("rejected: %s\n", v.reason);
    if (v.status != "verified") return Say("not verified: the board says %s\n", v.status);
    // The place on the board it went to: the world's (ranked), the open board or the bots'.
    const char* board = v.board == "open"   ? "open board"
                        : v.board == "bots" ? "bots' board"
                                            : "world";
    std::printf("verified: %s #%lld, score %lld\n", board, (long long)v.worldRank,
                (long long)v.score);
    return 0;
}
