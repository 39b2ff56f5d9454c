// A bad value inside a message: short, on one line, and never bytes a terminal would act on.
#include "calculator/runfile.h"
#include "common/quotedtext.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace relperm {
namespace {

TEST(QuotedText, ShowsAtMostFortyCharactersWithControlsAndStrayBytesEscaped) {
    EXPECT_EQ(quotedText("2O"), "\"2O\"");
    EXPECT_EQ(quotedText(std::string(40, 'a')), "\"" + std::string(40, 'a') + "\"");
    EXPECT_EQ(quotedText(std::string(41, 'a')), "\"" + std::string(40, 'a') + "...\"");
    EXPECT_EQ(quotedText(std::string("a\0b", 3)), "\"a\\x00b\"");
    EXPECT_EQ(quotedText("line\r\nnext\t\x1b[2J\x7f"), "\"line\\x0d\\x0anext\\x09\\x1b[2J\\x7f\"");
    EXPECT_EQ(quotedText("\xff\xfe ok \xc3"), "\"\\xff\\xfe ok \\xc3\"") << "invalid UTF-8";
    EXPECT_EQ(quotedText("\xc0\xaf \xed\xa0\x80"), "\"\\xc0\\xaf \\xed\\xa0\\x80\"")
        << "an overlong form and a surrogate are no UTF-8 either";
    // Well-formed UTF-8 stays as it is and counts one character per character.
    EXPECT_EQ(quotedText("Sw \xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x99\x82"),
              "\"Sw \xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x99\x82\"");
    std::string accents;
    for (int i = 0; i < 41; ++i)
        accents += "\xc3\xa9";
    EXPECT_EQ(quotedText(accents), "\"" + accents.substr(0, 80) + "...\"");
    EXPECT_EQ(quotedText(std::string(50, '\x01')).size(), 2 + 40 * 4 + 3u);
}

TEST(QuotedText, ATenMegabyteRunFileFieldGivesAShortMessage) {
    const std::string huge(10 * 1024 * 1024, 'x');
    for (const auto& [text, start] : {
             std::pair{"\"t\",0,1," + huge + ",1,18,20,25,10,5,.8,250\r\n",
                       std::string("field 4 (the wettability) must be a list position (-1 or "
                                   "more), not \"xxxx")},
             std::pair{"\"t\",0,1,1,1," + huge + ",20,25,10,5,.8,250\r\n",
                       std::string("field 6 (the porosity) must be a number or empty, not \"")},
             std::pair{"\"t\",0,1,1,1,1" + std::string(400, '0') + ",20,25,10,5,.8,250\r\n",
                       std::string("field 6 (the porosity) is too large to be a number: \"1")},
         }) {
        auto parsed = parseRunFile(text);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        const std::string& message = std::get<std::string>(parsed);
        EXPECT_EQ(message.rfind(start, 0), 0u) << message;
        EXPECT_LT(message.size(), 150u) << message;
        EXPECT_EQ(message.substr(message.size() - 5), "...\".");
    }
    auto control = parseRunFile("\"t\",0,1,1,1,\"a\x01\x02\",20,25,10,5,.8,250\r\n");
    EXPECT_EQ(std::get<std::string>(control),
              "field 6 (the porosity) must be a number or empty, not \"a\\x01\\x02\".");
}

// A file name is the user's way back to the file, so it is never cut; but a line break or
// a stray byte in it must not break the message either.
TEST(QuotedText, AFileNameIsQuotedWholeAndEscaped) {
    const std::string folder(60, 'd');
    EXPECT_EQ(quotedName(folder + "/run\n1\xff.txt"), "\"" + folder + "/run\\x0a1\\xff.txt\"");
    EXPECT_EQ(quotedName("caf\xc3\xa9.csv"), "\"caf\xc3\xa9.csv\"");
}

} // namespace
} // namespace relperm
