#include <gtest/gtest.h>

#include "setup/setup_space.h"
#include "setup/temp_folder.h"

namespace kv {
namespace {

constexpr double MB = 1048576.0;

TEST(SetupSpace, FormatMBDecimalsFollowTheSize) {
    const struct {
        double bytes;
        const char* text;
    } cases[] = {
        {0, "0.000"},
        {-5 * MB, "0.000"},  // negative counts as 0
        {1, "0.000"},
        {0.5 * MB, "0.500"},
        {MB - 1, "1.000"},  // below 1 MB: 3 decimals, rounded
        {MB, "1.00"},       // exactly 1 is not below 1
        {5 * MB, "5.00"},
        {10 * MB, "10.00"},  // exactly 10 is not above 10
        {10 * MB + 1024 * 1024 / 10, "10.1"},
        {15 * MB, "15.0"},
        {123456789.0, "117.7"},
        {5000.0 * MB, "5000.0"},  // no thousands separator, no blanks
    };
    for (const auto& c : cases) EXPECT_EQ(FormatMB(c.bytes), c.text) << c.bytes;
}

TEST(SetupSpace, TempDriveIsTheUpperCasedFirstLetter) {
    EXPECT_EQ(TempDriveOf("c:\\Users\\a\\Temp\\SETUP_1"), "C:");
    EXPECT_EQ(TempDriveOf("D:\\TEMP_12345"), "D:");
    EXPECT_EQ(TempDriveOf(""), "");
}

TEST(SetupSpace, QuestionChoosesItsOpeningAndFillsTheSizes) {
    TempSpaceTexts t;
    t.askBeforeExtract = "ask <DRIVE>|";
    t.shortOfSpace = "short <DRIVE>|";
    t.spaceRequired = "req <SPACE_REQ>|";
    t.spaceAvailable = "free <SPACE_AVAIL>|";
    t.continueQuestion = "go? <DRIVE>";
    const struct {
        const char* what;
        bool ask;
        double required, available;
        const char* text;
    } cases[] = {
        {"room and no asking", false, 1 * MB, 2 * MB, ""},
        {"room but the package asks", true, 1 * MB, 20 * MB, "ask C:|req 1.00|free 20.0|go? C:"},
        {"equal is short", false, 3 * MB, 3 * MB, "short C:|req 3.00|free 3.00|go? C:"},
        {"short replaces ask", true, 30 * MB, 0.25 * MB, "short C:|req 30.0|free 0.250|go? C:"},
        {"free unknown (-1)", false, 0, -1, "short C:|req 0.000|free 0.000|go? C:"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TempSpaceQuestion(t, c.ask, "C:", c.required, c.available), c.text) << c.what;
}

TEST(SetupSpace, DefaultQuestionReadsAsTheEnglishText) {
    const std::string q = TempSpaceQuestion(DefaultTempSpaceTexts(), false, "E:", 15 * MB, 5 * MB);
    EXPECT_EQ(q,
              "Limited Free Space on your Temp Drive! (E:)<P>"
              "<P>Estimated space required on your Temp drive is: <T>  15.0 MB<P>"
              "Free space available on your Temp drive is: <T>  5.00 MB<P>"
              "<P>Continue with Setup?<P>");
    EXPECT_EQ(TempSpaceQuestion(DefaultTempSpaceTexts(), true, "E:", 0, 5 * MB).rfind("Kavrix will extract", 0), 0u);
}

TEST(SetupSpace, FolderNameTakesTheTimeHalfOfTheDosStamp) {
    // 14:35:10 packs to 14 << 11 | 35 << 5 | 10 / 2 = 29797.
    const uint32_t date = (46u << 9 | 3u << 5 | 1u) << 16;
    EXPECT_EQ(SetupTempFolderName("C:\\T", date | 29797u), "C:\\T\\SETUP_29797");
    EXPECT_EQ(SetupTempFolderName("C:\\T\\", date), "C:\\T\\SETUP_0");  // 00:00:00
    EXPECT_EQ(SetupTempFolderName("C:\\", 0xFFFFFFFFu), "C:\\SETUP_65535");
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(SetupSpace, BestTempDriveNeedsStrictlyMoreRoom) {
    const struct {
        char temp;
        double c, d, e;
        char best;
    } cases[] = {
        {'E', 5, 9, 1, 'D'},  // C and D both beat the temp drive E: the roomier wins
        {'E', 7, 7, 3, 'C'},  // a tie keeps the earlier letter
        {'c', 0, 0, 0, 'C'},  // no probe succeeded: the temp drive stays
        {'D', 0, 4, 0, 'D'},  // the temp drive is itself the best
        {'C', 2, 0, 8, 'E'},
    };
    for (const auto& c : cases) {
        const double free[3] = {c.c, c.d, c.e};
        EXPECT_EQ(BestTempDrive(c.temp, free), c.best) << c.temp << " " << c.c << " " << c.d << " " << c.e;
    }
}

}  // namespace
}  // namespace kv
