// ZORB's entry point: --help and --version, or the game.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app.h"
#include "app/frames.h"
#include "app/online.h"
#include "app/settings_store.h"
#include "core/data_folder.h"
#include "core/desktop.h"
#include "net/http_client.h"
#include "net/server_address.h"
#include "quillon/quillon.h"
#include "runs/run_library.h"
#include "scores/high_scores.h"

#ifndef ZORB_VERSION
#define ZORB_VERSION "unknown"
#endif
#ifndef ZORB_COMMIT
#define ZORB_COMMIT ""
#endif

static const char* const kUsage =
    "usage: zorb [--help | --version | [--server URL] [--play FILE]]\n"
    "ZORB, a first-person arena survival shooter. Started without arguments, it plays.\n"
    "--help       this text, the data folder in use, the leaderboard's file, the settings' file\n"
    "             and the folder of recorded runs\n"
    "--version    the version\n"
    "--play FILE  plays a recorded run (.zrun), then goes on to the title: Space pauses, the\n"
    "             Right arrow held plays 4x, Escape stops\n"
    "--server URL the world board to send runs to (else ZORB_SERVER, else server.txt in the\n"
    "             player's folder; with none the game stays offline)\n";

static void PrintHelp() {
    std::fputs(kUsage, stdout);
    std::string why;
    if (!App_FindData(&why)) {
        std::printf("%s\n", why.c_str());
        return;
    }
    std::printf("data folder: %s\nleaderboard: %s\nsettings: %s\nrecorded runs: %s\n",
                DataFolder_Assets().c_str(), highScoresPath,
                SettingsStore_PathBeside(highScoresPath).c_str(), RunLibrary_Folder().c_str());
    std::string problem;
    std::string server = ServerAddress_Choose("", DataFolder_OwnFolder(), &problem);
    if (!problem.empty())
        std::printf("world board: none (%s)\n", problem.c_str());
    else
        std::printf("world board: %s\n", server.empty() ? "none (offline)" : server.c_str());
}

// The arguments a game started to play takes: --server URL and --play FILE, each at most once.
static bool PlayArguments(int argc, char** argv, std::string* server, const char** recording) {
    for (int k = 1; k < argc; k += 2) {
        bool isServer = std::strcmp(argv[k], "--server") == 0;
        if (k + 1 >= argc || (!isServer && std::strcmp(argv[k], "--play") != 0)) return false;
        if (isServer ? !server->empty() : *recording != nullptr) return false;
        if (isServer)
            *server = argv[k + 1];
        else
            *recording = argv[k + 1];
    }
    return server->empty() || Http_IsAddress(*server);
}

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        PrintHelp();
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zorb %s%s%s\n", ZORB_VERSION, *ZORB_COMMIT ? " " : "", ZORB_COMMIT);
        return 0;
    }
    const char* recording = nullptr;
    std::string server;
    if (!PlayArguments(argc, argv, &server, &recording)) {
        std::fprintf(stderr, "zorb: bad arguments\n%s", kUsage);
        return 2;
    }
    std::string why;
    if (!App_FindData(&why)) {
        Desktop_ReportFatal(why.c_str()); // a message box on Windows, where stderr goes unseen
        return 1;
    }
    App_Start();
    // The player's settings last from one start to the next.
    SettingsStore_Use(SettingsStore_PathBeside(highScoresPath));
    SettingsStore_Load();
    if (recording && !App_Watch(recording, ReplayOptions(), &why)) {
        Desktop_ReportFatal((std::string(recording) + ": " + why).c_str());
        return 1;
    }
    Online_Start(server);
    if (QL_Engine_Run() != 0) {
        Desktop_ReportFatal(QL_System_LastError());
        // The run is already finished and filed. A lost display connection leaves Xlib's lock
        // taken, and the system libraries' own finalizers would wait on it for ever: the
        // process ends here, without them.
        std::fflush(nullptr);
        std::_Exit(1);
    }
    Online_Stop();
    SettingsStore_Save(); // the window closed on the settings screen
    return 0;
}
