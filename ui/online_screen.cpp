// The online screen, over the flying backdrop. Keys act on release with a blip, as on the other
// screens; while the player types a new name, the keys type.
#include "ui/online_screen.h"

#include <cctype>
#include <cstdio>

#include "core/constants.h"
#include "quillon/quillon.h"
#include "ui/front_end_state.h"
#include "ui/menu_assets.h"
#include "ui/menu_text.h"

namespace {

const size_t kMostNameLength = 16;

bool renaming = false;
std::string draft; // the new name being typed

// A typed character a name may hold, from this frame's keys: letters, digits, space, - and .;
// 0 when none.
char Typed() {
    for (int c = 'A'; c <= 'Z'; c++)
        if (QL_Input_KeyTriggered(c)) return (char)c;
    for (int c = '0'; c <= '9'; c++)
        if (QL_Input_KeyTriggered(c)) return (char)c;
    for (char c : {' ', '-', '.'})
        if (QL_Input_KeyTriggered(c)) return c;
    return 0;
}

// The keys while a name is typed: Enter keeps it (when the board would take it), Escape drops it.
ScreenRequest RenameKeys() {
    char c = Typed();
    if (c && draft.size() < kMostNameLength) draft += c;
    if (QL_Input_KeyTriggered('\b') && !draft.empty()) draft.pop_back();
    if (QL_Input_KeyTriggered(QL_KEY_ESCAPE)) renaming = false;
    if (!QL_Input_KeyTriggered('\r') || !OnlineScreen_GoodName(draft)) return ScreenRequest::None;
    MenuText_Blip();
    renaming = false;
    ScreenRequest r(ScreenRequest::Rename);
    r.text = draft;
    return r;
}

const QL_Color kMine = {255, 255, 0, 255};   // the player's own row
const QL_Color kRival = {255, 140, 40, 255}; // the row just above it: the run to beat

// The row just above the player's own on the page: the rival to watch; -1 when the player's row
// is not on the page, or is its first.
int RivalRow() {
    for (int k = 1; k < (int)onlineView.rows.size() && k < 8; k++)
        if (onlineView.rows[k].mine) return k - 1;
    return -1;
}

// The row whose key was let go, when the page has it; -1 when none.
int RowKey() {
    for (int k = 0; k < (int)onlineView.rows.size() && k < 8; k++)
        if (MenuText_KeyReleased('1' + k)) return k;
    return -1;
}

// [T] goes round the boards: all time, today, open.
BoardTab NextBoard(BoardTab board) {
    if (board == BoardTab::AllTime) return BoardTab::Today;
    return board == BoardTab::Today ? BoardTab::Open : BoardTab::AllTime;
}

std::string BoardName(BoardTab board) {
    if (board == BoardTab::Today) return "TODAY";
    return board == BoardTab::Open ? "OPEN (NOT RANKED)" : "ALL TIME";
}

bool PreviousPage() {
    return MenuText_KeyReleased('P') || QL_Input_KeyReleased(QL_KEY_LEFT) ||
           QL_Pad_Triggered(QL_PAD_LEFTSHOULDER);
}
bool NextPage() {
    return MenuText_KeyReleased('N') || QL_Input_KeyReleased(QL_KEY_RIGHT) ||
           QL_Pad_Triggered(QL_PAD_RIGHTSHOULDER);
}

ScreenRequest Keys() {
    if (renaming) return RenameKeys();
    if (MenuText_KeyReleased('O')) return ScreenRequest::OpenScreen(kScreenTitle);
    BoardTab board = onlineView.board;
    if (MenuText_KeyReleased('T')) return ScreenRequest::Board(NextBoard(board), 0);
    if (MenuText_KeyReleased('D')) return ScreenRequest::DailyRun;
    // M goes to the rows around the player's own place, and back to the top.
    if (MenuText_KeyReleased('M'))
        return onlineView.aroundMe ? ScreenRequest::Board(board, 0)
                                   : ScreenRequest::AroundMe(board);
    if (MenuText_KeyReleased('V') && RivalRow() >= 0) {
        ScreenRequest r(ScreenRequest::WatchOnline);
        r.place = RivalRow();
        return r;
    }
    if (PreviousPage() && onlineView.page > 0)
        return ScreenRequest::Board(board, onlineView.page - 1);
    if (NextPage() && !onlineView.lastPage) return ScreenRequest::Board(board, onlineView.page + 1);
    if (MenuText_KeyReleased('R')) {
        renaming = true;
        draft = onlineView.playerName;
        return ScreenRequest::None;
    }
    int row = RowKey();
    if (row < 0) return ScreenRequest::None;
    ScreenRequest r(ScreenRequest::WatchOnline);
    r.place = row;
    return r;
}

// Under the rows: what is under way or wrong, else an empty board said as such.
std::string StatusText() {
    if (!onlineView.watchStatus.empty()) return onlineView.watchStatus;
    if (onlineView.loading) return "LOADING";
    if (!onlineView.problem.empty()) return onlineView.problem;
    if (onlineView.rows.empty()) return "NO RUNS ON THIS BOARD YET";
    if (onlineView.aroundMe && !onlineView.placed) return "YOU HAVE NO PLACE ON THIS BOARD YET";
    // The last run sent, and the board it is for.
    return onlineView.sendStatus;
}

// The board shown, and the one [T] goes to.
std::string BoardLine() {
    std::string day = onlineView.day.empty() ? "" : " (" + onlineView.day + ")";
    std::string shown = onlineView.board == BoardTab::Today ? "TODAY" + MenuText_Escaped(day, 16)
                                                            : BoardName(onlineView.board);
    return shown + "    [T] " + BoardName(NextBoard(onlineView.board)) + "    [D] DAILY RUN";
}

// The paging keys, the way to the rows around the player's place and back, and the rival's run
// when the page shows it.
std::string PageLine() {
    std::string line = onlineView.page > 0 ? "[P] PREVIOUS    " : "";
    line += onlineView.aroundMe ? "AROUND YOU" : "PAGE " + std::to_string(onlineView.page + 1);
    if (!onlineView.lastPage) line += "    [N] NEXT";
    line += onlineView.aroundMe ? "    [M] TOP" : "    [M] AROUND ME";
    return RivalRow() >= 0 ? line + "    [V] WATCH RIVAL" : line;
}

std::string NameLine() {
    if (renaming)
        return "NEW NAME: " + MenuText_Escaped(draft, kMostNameLength) + "_    ENTER / ESC";
    if (onlineView.playerName.empty()) return "[R] CHOOSE YOUR NAME ON THE BOARD";
    return "YOUR NAME: " + MenuText_Escaped(onlineView.playerName, kMostNameLength) +
           "    [R] RENAME";
}

void Draw() {
    std::string rows[8], board = BoardLine(), status = MenuText_Escaped(StatusText(), 80);
    std::string page = PageLine(), name = NameLine();
    MenuLine lines[14];
    int n = 0;
    lines[n++] = {0.075f, 1.0f / 20.0f, "THE WORLD'S BEST", "THE WORLD'S BEST", kWhite};
    lines[n++] = {0.15f, 1.0f / 40.0f, board.c_str(), board.c_str(), kWhite};
    for (int k = 0; k < (int)onlineView.rows.size() && k < 8; k++) {
        const BoardRow& r = onlineView.rows[k];
        rows[k] = OnlineScreen_RowText(k, r);
        QL_Color color = r.mine ? kMine : k == RivalRow() ? kRival : kWhite;
        lines[n++] = {0.23f + 0.07f * (float)k, 1.0f / 35.0f, rows[k].c_str(), rows[k].c_str(),
                      color};
    }
    lines[n++] = {0.79f, 1.0f / 40.0f, status.c_str(), status.c_str(), kWhite};
    lines[n++] = {0.84f, 1.0f / 40.0f, page.c_str(), page.c_str(), kWhite};
    lines[n++] = {0.89f, 1.0f / 40.0f, name.c_str(), name.c_str(), renaming ? kRed : kWhite};
    lines[n++] = {0.95f, 1.0f / 25.0f, "RETURN = [O]", "RETURN = [O]", kRed};
    MenuText_DrawLines(lines, n);
}

} // namespace

std::string OnlineScreen_RowText(int row, const BoardRow& r) {
    std::string name = MenuText_Escaped(r.player, kMostNameLength);
    // A '%' doubled draws as one: the column is padded for what shows.
    size_t shown = r.player.size() < kMostNameLength ? r.player.size() : kMostNameLength;
    name += std::string(kMostNameLength - shown, ' ');
    long long seconds = r.seconds > 0 ? (long long)r.seconds : 0;
    char length[48];
    std::snprintf(length, sizeof length, "%3lld:%02lld", seconds / 60, seconds % 60);
    // An open board's row says why the run is not ranked where the others give its length.
    std::string why;
    for (char c : r.unranked)
        why += (char)std::toupper((unsigned char)c);
    std::string last = why.empty() ? length : MenuText_Escaped(why, 24);
    char text[kMenuLineSize];
    std::snprintf(text, sizeof text, "[%d]  #%-6lld %s  %10lld  STAGE %lld  %s", row + 1,
                  (long long)r.rank, name.c_str(), (long long)r.score, (long long)r.stage,
                  last.c_str());
    return text;
}

bool OnlineScreen_GoodName(const std::string& name) {
    if (name.empty() || name.size() > kMostNameLength || name.find_first_not_of(' ') == name.npos)
        return false;
    for (char c : name) {
        bool fits = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == ' ' || c == '-' || c == '.' || c == '_';
        if (!fits) return false;
    }
    return true;
}

ScreenRequest OnlineScreen_Step() {
    ScreenRequest request = Keys();
    Draw();
    return request;
}
