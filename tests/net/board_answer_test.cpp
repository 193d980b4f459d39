// The checked reader of the board's answers: what a hostile or broken server may send comes back
// as a board's answer or a plain refusal, never an exception, garbage on screen or a lost run.
#include <gtest/gtest.h>

#include "net/board_answer.h"

namespace {

HttpAnswer Json(int status, const std::string& body, const std::string& type = "application/json") {
    HttpAnswer a;
    a.ok = true;
    a.status = status;
    a.body = body;
    a.contentType = type;
    return a;
}

const char* const kRow =
    R"({"rank": 1, "id": 7, "score": 230, "stage": 2, "player": "ACE", "length_seconds": 61.5)";

TEST(BoardAnswer, AFieldOfTheWrongTypeOrAnImpossibleValueIsNoBoard) {
    struct Case {
        std::string body;
        bool board;
    } cases[] = {
        {"{\"runs\": [" + std::string(kRow) + "}]}", true},
        {"{\"runs\": [" + std::string(kRow) + ", \"yours\": 1}]}", true},
        // A field of the wrong type is a missing field; the rank and the id must be there.
        {R"({"runs": [{"rank": 1, "id": 7, "score": 1, "stage": 1, "length_seconds": "long"}]})",
         true},
        {R"({"runs": [{"rank": 1, "id": 7, "score": 1, "stage": 1, "length_seconds": null}]})",
         true},
        {R"({"runs": [{"rank": "1", "id": 7}]})", false},
        {R"({"runs": [{"rank": 1, "id": 7, "score": "9", "player": 5}]})", true},
        {R"({"runs": [{"rank": 1e300, "id": 7, "score": 1, "stage": 1, "length_seconds": 1}]})",
         false},
        {R"({"runs": [{"rank": -3, "id": 7, "score": 1, "stage": 1, "length_seconds": 1}]})",
         false},
        {R"({"runs": [{"rank": 1, "id": 7, "score": 1, "stage": 18446744073709551615,
             "length_seconds": 1}]})",
         false},
        {R"({"runs": [{"rank": 1, "id": 7, "score": 1, "stage": 1, "length_seconds": 1e308}]})",
         false},
        {R"({"runs": [{"rank": 1, "id": 7, "score": 2.5}]})", false},
        {R"({"runs": [17]})", false},
        {R"({"runs": {"rank": 1}})", false},
        {R"({"board": "all"})", false},
    };
    for (const Case& c : cases) {
        BoardPage page = BoardAnswer_Page(Json(200, c.body));
        EXPECT_EQ(page.answered, c.board) << c.body;
        if (!c.board) {
            EXPECT_EQ(page.error, "the server's answer is not a board") << c.body;
        }
    }
    BoardPage yours = BoardAnswer_Page(
        Json(200, "{\"runs\": [" + std::string(kRow) + ", \"yours\": true}], \"day\": 5}"));
    ASSERT_EQ(yours.rows.size(), 1u);
    EXPECT_TRUE(yours.rows[0].mine);
    EXPECT_EQ(yours.rows[0].seconds, 61.5);
    EXPECT_EQ(yours.day, "");
}

TEST(BoardAnswer, RefusalsAndVerdictsAreSaidInPrintableWordsOfASaneLength) {
    std::string hostile = "\\u001b]0;pwned\\u0007\\u001b[2J" + std::string(3000, 'x');
    struct Case {
        HttpAnswer answer;
        const char* error; // the start of what is said
    } cases[] = {
        {Json(503, R"({"error": 5})"), "the server refused (503)"},
        {Json(503, R"({"error": {"deep": [1]}})"), "the server refused (503)"},
        {Json(422, "{\"error\": \"" + hostile + "\"}"), "]0;pwned[2Jxxx"},
        {Json(200, R"({"id": 4, "status": "\u001b[31mweird"})"), "the server's answer has no run"},
        {Json(200, R"({"id": "4", "status": "waiting"})"), "the server's answer has no run"},
        {Json(200, R"({"id": 4, "status": "waiting"})", "text/html"), "the server answered text/h"},
    };
    for (const Case& c : cases) {
        BoardVerdict v = BoardAnswer_Verdict(c.answer);
        EXPECT_FALSE(v.answered) << c.answer.body;
        EXPECT_EQ(v.error.rfind(c.error, 0), 0u) << v.error;
        EXPECT_LE(v.error.size(), 160u);
        for (char ch : v.error)
            EXPECT_TRUE(ch >= 32 && ch < 127) << v.error;
    }
    // Media types are not case-sensitive.
    HttpAnswer loud = Json(202, R"({"id": 4, "status": "waiting"})", "application/json");
    loud.contentType = Http_MediaType(" Application/JSON ; charset=UTF-8");
    EXPECT_TRUE(BoardAnswer_Verdict(loud).answered);
}

TEST(BoardAnswer, OnlyTheBoardsOwnRefusalOfTheRunIsForGood) {
    struct Case {
        int status;
        const char* type;
        bool refused;
    } cases[] = {
        {422, "application/json", true},  {409, "application/json", true},
        {413, "application/json", true},  {415, "application/json", true},
        {404, "application/json", false}, {400, "application/json", false},
        {411, "application/json", false}, {429, "application/json", false},
        {408, "application/json", false}, {503, "application/json", false},
        {422, "text/html", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BoardAnswer_Verdict(Json(c.status, R"({"error": "no"})", c.type)).refused,
                  c.refused)
            << c.status << " " << c.type;
    // A name another player holds refuses the name, not the run: it is sent again once renamed.
    BoardVerdict named = BoardAnswer_Verdict(
        Json(409, R"({"error": "the name ACE is taken", "taken": "name"})", "application/json"));
    EXPECT_FALSE(named.refused);
    EXPECT_EQ(named.error,
              "the name ACE is taken; choose another name with [R] on the online screen");
}

TEST(BoardAnswer, AMovedBoardIsSaidWithWhereItWent) {
    HttpAnswer moved = Json(302, "", "");
    moved.location = "http://127.0.0.2:18081/\x1b[2Japi";
    BoardPage page = BoardAnswer_Page(moved);
    EXPECT_FALSE(page.answered);
    EXPECT_EQ(page.error, "the board has moved to http://127.0.0.2:18081/[2Japi");
}

TEST(BoardAnswer, ASessionIsWholeOrNone) {
    // Every session gives the seed to play: one without it cannot be played on the board's terms.
    struct Case {
        const char* body;
        bool whole;
    } cases[] = {
        {R"({"token": "ab.cd", "seed": 12, "day": "2026-12-09"})", true},
        {R"({"token": "ab.cd", "seed": 4294967295})", true},
        {R"({"token": "ab.cd"})", false},
        {R"({"token": "ab.cd", "seed": "12"})", false},
        {R"({"token": "ab.cd", "seed": -1})", false},
        {R"({"token": "../../x", "seed": 1})", false},
        {R"({"token": 5, "seed": 1})", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BoardAnswer_Session(Json(200, c.body)).answered, c.whole) << c.body;
}

} // namespace
