// The story's tables and charts on the pages.
#include "server/story_pages.h"

#include <cstdio>

#include "game/enemy_kinds.h"
#include "server/charts.h"
#include "server/pages.h"
#include "server/story_view.h"

namespace {

const char* const kWeaponNames[3] = {"AUTO", "SPREAD", "BOMB"};
const char* const kPickupNames[4] = {"coins", "AUTO", "SPREAD", "BOMB"};

std::string Percent(int64_t hits, int64_t shots) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f %%", StoryView_Percent(hits, shots));
    return text;
}

std::string Cell(const std::string& text, bool number = true) {
    return std::string(number ? "<td class=\"n\">" : "<td>") + text + "</td>";
}

std::string Cell(int64_t v) {
    return Cell(std::to_string(v));
}

std::string Table(const std::string& caption, const std::string& head, const std::string& rows) {
    return "<div class=\"scroll\"><table><caption>" + caption + "</caption><tr>" + head +
           "</tr>\n" + rows + "</table></div>\n";
}

// "1 run", "3 runs".
std::string Runs(int64_t n) {
    return std::to_string(n) + (n == 1 ? " run" : " runs");
}

std::string WeaponName(int w) {
    return "<span class=\"w" + std::to_string(w) + "\">" + kWeaponNames[w] + "</span>";
}

std::string KindName(int k) {
    return Html_Escape(Enemy_Kind(k).role);
}

// Shots, hits, accuracy, and (for a run) damage and kills, a weapon a row.
std::string WeaponTable(const int64_t shots[3], const int64_t hits[3], const StoryView* run) {
    std::string rows;
    for (int w = 0; w < 3; w++) {
        rows += "<tr>" + Cell(WeaponName(w), false) + Cell(shots[w]) + Cell(hits[w]) +
                Cell(Percent(hits[w], shots[w]));
        if (run) rows += Cell(run->weapons[w].damage) + Cell(run->weapons[w].kills);
        rows += "</tr>\n";
    }
    return Table(
        "By weapon: a shot is one pull of the trigger (a SPREAD volley, a bomb with its "
        "fragments), and hits when any of it hurts an enemy",
        "<th>weapon</th><th class=\"n\">shots</th><th class=\"n\">hits</th><th "
        "class=\"n\">accuracy</th>" +
            std::string(run ? "<th class=\"n\">damage</th><th class=\"n\">kills</th>" : ""),
        rows);
}

std::string KindTable(const int64_t kills[8], int64_t crossfire) {
    std::string rows;
    for (int k = 0; k < 8; k++)
        rows += "<tr>" + Cell(std::to_string(k + 1)) + Cell(KindName(k), false) + Cell(kills[k]) +
                "</tr>\n";
    if (crossfire > 0)
        rows += "<tr><td></td><td>killed by other enemies' fire</td>" + Cell(crossfire) + "</tr>\n";
    return Table("By enemy kind",
                 "<th class=\"n\">kind</th><th>enemy</th><th class=\"n\">killed</th>", rows);
}

// The chart in words: the score at each minute and at the end, the stages and the lives lost.
std::string ScoreWords(const StoryView& s) {
    std::string rows;
    size_t n = s.scoreBySecond.size();
    for (size_t t = 0; t < n; t += 60)
        rows += "<tr>" + Cell(Html_Length((double)t)) + Cell(s.scoreBySecond[t]) + "</tr>\n";
    rows += "<tr>" + Cell(Html_Length(s.seconds)) + Cell(s.score) + "</tr>\n";
    std::string stages;
    for (size_t k = 0; k < s.stages.size(); k++)
        stages += (k ? ", " : "") + std::to_string(k + 1) + " at " + Html_Length(s.stages[k]);
    return "<p>Stages: " + stages + ".</p>" +
           Table("The score by the minute", "<th class=\"n\">time</th><th class=\"n\">score</th>",
                 rows);
}

std::string LivesTable(const StoryView& s) {
    std::string rows;
    for (size_t k = 0; k < s.lives.size(); k++) {
        const StoryLife& l = s.lives[k];
        char where[48];
        std::snprintf(where, sizeof where, "%.1f, %.1f", l.x, l.y);
        rows += "<tr>" + Cell((int64_t)k + 1) + Cell(Html_Length(l.seconds)) + Cell(l.stage) +
                Cell(where) + Cell(Html_Escape(StoryView_HurtWords(l.by, l.which)), false) +
                "</tr>\n";
    }
    if (rows.empty()) rows = "<tr><td colspan=\"5\">No life was lost.</td></tr>\n";
    return Table("Lives lost",
                 "<th class=\"n\">#</th><th class=\"n\">time</th><th class=\"n\">stage</th><th "
                 "class=\"n\">where</th><th>by</th>",
                 rows);
}

std::string Pickups(const StoryView& s) {
    std::string line;
    for (int k = 0; k < 4; k++)
        line += (k ? ", " : "") + std::to_string(s.pickups[k]) + " " + kPickupNames[k];
    return "<p>Picked up: " + line + ".</p>";
}

std::string BestTable(const PlayerRecord& p) {
    std::string rows;
    for (const PlayerBest& b : p.best) {
        std::string id = std::to_string(b.run.id);
        rows += "<tr>" + Cell(b.board, false) + "<td class=\"n score\">" +
                std::to_string(b.run.score) + "</td>" + Cell(b.run.stage) +
                Cell(Html_Length(b.run.gameSeconds)) + "<td><a href=\"/runs/" + id + "\">run " +
                id + "</a></td></tr>\n";
    }
    if (rows.empty()) rows = "<tr><td colspan=\"5\">No place on a board yet.</td></tr>\n";
    return Table("Best on each board",
                 "<th>board</th><th class=\"n\">score</th><th class=\"n\">stage</th><th "
                 "class=\"n\">length</th><th>run</th>",
                 rows);
}

std::string RunsTable(const PlayerRecord& p) {
    std::string rows;
    for (const RunRow& r : p.runs) {
        std::string id = std::to_string(r.id);
        rows += "<tr><td class=\"n score\">" + std::to_string(r.score) + "</td>" + Cell(r.stage) +
                Cell(Html_Length(r.gameSeconds)) + "<td class=\"wide\">" + Html_Date(r.recordedAt) +
                "</td>" + Cell(Html_Escape(r.board), false) + "<td><a href=\"/runs/" + id +
                "\">run " + id + "</a></td></tr>\n";
    }
    std::string link = "/players/" + Html_UrlPart(p.name) + "?offset=";
    std::string pages;
    if (p.offset > 0)
        pages += "<a href=\"" + link +
                 std::to_string(std::max<int64_t>(0, p.offset - kPlayerRunsAPage)) +
                 "\">&larr; later</a> ";
    if (p.more)
        pages += "<a href=\"" + link + std::to_string(p.offset + kPlayerRunsAPage) +
                 "\">earlier &rarr;</a>";
    return Table("Verified: " + Runs(p.runCount) + ", the latest first",
                 "<th class=\"n\">score</th><th class=\"n\">stage</th><th "
                 "class=\"n\">length</th><th class=\"wide\">played</th>"
                 "<th>board</th><th>run</th>",
                 rows) +
           "<p>" + pages + "</p>";
}

std::string DaysPart(const PlayerRecord& p) {
    std::string rows;
    for (auto d = p.days.rbegin(); d != p.days.rend() && rows.size() < 40000; ++d)
        rows += "<tr>" + Cell(Html_Date(d->day * 86400).substr(0, 10), false) + Cell(d->runs) +
                Cell(d->best) + "</tr>\n";
    return "<figure>" + Chart_ByDay(p.days) + "<figcaption>" +
           Table("The best score of each day, the latest first",
                 "<th>day</th><th class=\"n\">runs</th><th class=\"n\">best</th>", rows) +
           "</figcaption></figure>\n";
}

std::string PlacesTable(const PlayerRecord& p) {
    std::string rows;
    for (const PlayerDayPlace& d : p.places) {
        std::string id = std::to_string(d.runId);
        rows += "<tr>" + Cell(Html_Escape(d.day), false) + Cell(d.place) +
                "<td class=\"n score\">" + std::to_string(d.score) + "</td><td><a href=\"/runs/" +
                id + "\">run " + id + "</a></td></tr>\n";
    }
    if (rows.empty()) rows = "<tr><td colspan=\"4\">No daily run yet.</td></tr>\n";
    return Table("Places on each day's board",
                 "<th>day</th><th class=\"n\">place</th><th class=\"n\">score</th><th>run</th>",
                 rows);
}

} // namespace

std::string Html_RunStory(const RunRow& run, Lookup told, const std::string& storyJson) {
    StoryView s;
    if (told == Lookup::Found && storyJson.empty())
        return "<p>Played again, this run no longer tells its story.</p>";
    if (told != Lookup::Found && run.dropped)
        return "<p>This run was verified before the board kept stories, and its recording is no "
               "longer kept: its story cannot be told.</p>";
    if (told != Lookup::Found)
        return "<p>The story of this run is still being told: the board plays it again when no "
               "other run waits.</p>";
    if (!StoryView_Read(storyJson, &s)) return "";
    int64_t shots[3], hits[3];
    for (int w = 0; w < 3; w++) {
        shots[w] = s.weapons[w].shots;
        hits[w] = s.weapons[w].hits;
    }
    return "<h3>The run's story</h3><figure>" + Chart_Score(s) + "<figcaption>" + ScoreWords(s) +
           "</figcaption></figure>\n" + WeaponTable(shots, hits, &s) +
           KindTable(s.kills, s.crossfire) + LivesTable(s) + Pickups(s);
}

std::string Html_Player(const PlayerRecord& p) {
    const PlayerTotals& t = p.totals;
    std::string body = "<h2>" + Html_Escape(p.name) + "</h2>" + BestTable(p) + DaysPart(p) +
                       RunsTable(p) + PlacesTable(p) + "<h3>Totals over " + Runs(t.told) +
                       " told</h3>" + WeaponTable(t.shots, t.hits, nullptr) + KindTable(t.kills, 0);
    return Html_Page("ZORB - " + p.name, body);
}
