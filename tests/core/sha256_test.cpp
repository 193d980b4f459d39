// The digest that binds a recording to its run session: the standard's own examples, the padding's
// edges, and a digest taken piece by piece as a recording is written.
#include "core/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Sha256, GivesTheStandardsDigests) {
    struct Case {
        std::string message, digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the last block, and padding takes another.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sha256_Of(c.message.data(), c.message.size()), c.digest) << c.message.size();
}

TEST(Sha256, PiecesGiveTheDigestOfTheWholeAndItCanBeReadOnTheWay) {
    std::string bytes;
    for (int i = 0; i < 200; i++)
        bytes += (char)(i * 37 + 11);
    for (size_t length = 0; length <= bytes.size(); length += 7) {
        Sha256 s;
        Sha256_Start(&s);
        for (size_t k = 0; k < length; k++) {
            Sha256_Add(&s, &bytes[k], 1);
            if (k == length / 2) Sha256_Hex(s); // read midway, as a session's close does
        }
        EXPECT_EQ(Sha256_Hex(s), Sha256_Of(bytes.data(), length)) << length;
    }
}

} // namespace
