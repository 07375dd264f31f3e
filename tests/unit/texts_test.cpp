#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>

#include "model/message_tables.h"
#include "texts/texts.h"

namespace fw {
namespace {

std::string builtIn(unsigned id) {
    const char* text = builtInText(id);
    return text ? text : "<missing>";
}

TEST(Texts, KnownTextsByNumber) {
    EXPECT_EQ(builtIn(1131), "Save current program ?");
    EXPECT_EQ(builtIn(1174), "Don't have any COM port device!");
    EXPECT_EQ(builtIn(1166), "Failed to download, would you like to retry?");
    // The port lines whose numbers other screens rely on.
    EXPECT_EQ(builtIn(805), "3. Modem        ");
    EXPECT_EQ(builtIn(806), "4. Acoustic Co. ");
    EXPECT_EQ(builtIn(807), "3. Bluetooth SPP");
    EXPECT_EQ(builtIn(814), "3. Modem    ");
    EXPECT_EQ(builtIn(815), "4. A/C      ");
    EXPECT_EQ(builtIn(816), "3. BT SPP   ");
    EXPECT_EQ(builtIn(846), "3. Modem        ");
    EXPECT_EQ(builtIn(847), "3. Bluetooth SPP");
    EXPECT_EQ(builtIn(854), "3. Modem    ");
    EXPECT_EQ(builtIn(855), "3. BT SPP   ");
    // Settings page labels that fall back to the table.
    EXPECT_EQ(builtIn(605), "2.  Download Port");
    EXPECT_EQ(builtIn(636), "Security ...");
}

TEST(Texts, UnknownIdsHaveNoText) {
    // 724 is the main menu's fourth line, which has no string; 1218 is a
    // caption that only language files supply.
    for (unsigned id : {0u, 1u, 724u, 1218u, 1799u, 65535u, 65536u + 1131u, UINT_MAX}) {
        EXPECT_EQ(builtInText(id), nullptr) << id;
        char buffer[8];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(loadText(id, buffer, sizeof buffer), 0) << id;
        EXPECT_EQ(buffer[0], '\0') << id;
        EXPECT_EQ(loadText(id), "") << id;
    }
}

TEST(Texts, LoadTextRespectsCapacity) {
    const std::string full = "Save current program ?";
    char buffer[64];

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(loadText(1131, buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'x');  // capacity 0 writes nothing

    EXPECT_EQ(loadText(1131, buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(loadText(1131, buffer, 6), 5);
    EXPECT_STREQ(buffer, "Save ");
    EXPECT_EQ(buffer[6], 'x');  // nothing written past the capacity

    EXPECT_EQ(loadText(1131, buffer, full.size()), static_cast<int>(full.size() - 1));
    EXPECT_EQ(std::string(buffer), full.substr(0, full.size() - 1));

    EXPECT_EQ(loadText(1131, buffer, full.size() + 1), static_cast<int>(full.size()));
    EXPECT_EQ(std::string(buffer), full);

    EXPECT_EQ(loadText(1131, nullptr, 10), 0);
    EXPECT_EQ(loadText(1131), full);
}

// Every line of every screen table, its twin and the extra lines must have a
// text of exactly the width the terminal shows: a missing or mistyped entry
// in the string table would leave a screen line blank or ragged.
TEST(Texts, EveryDefaultScreenLineHasAFullWidthText) {
    std::set<unsigned> ids;
    auto expectLine = [&](unsigned id, std::size_t chars, const char* where) {
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " used twice (" << where << ")";
        const char* text = builtInText(id);
        ASSERT_NE(text, nullptr) << where << " id " << id;
        EXPECT_EQ(std::strlen(text), chars) << where << " id " << id << " \"" << text << "\"";
    };
    for (int t = 0; t < kMessageTableCount; ++t) {
        const MessageTableInfo& info = kMessageTables[t];
        const std::size_t chars = info.width == 21 ? 16 : 12;
        for (unsigned n = 1; n <= info.lines; ++n) {
            if (t == kMsgMainMenu && n == 4) continue;  // deliberately no string
            expectLine(info.textBase + n, chars, info.name);
        }
        for (unsigned n = 1; n <= info.twinLines; ++n) expectLine(info.twinBase + n, 12, info.name);
    }
    for (unsigned n = 1; n <= kExtraUtilityLineCount; ++n) {
        expectLine(kExtraUtilityTextBase + n, 16, "extraUtilityLines");
        expectLine(kExtraUtilityTwinBase + n, 12, "extraUtilityLines");
    }
    expectLine(kTextUploadBluetooth16, 16, "upload Bluetooth");
    expectLine(kTextUploadBluetooth12, 12, "upload Bluetooth");
    expectLine(kTextDownloadBluetooth16, 16, "download Bluetooth");
    expectLine(kTextDownloadBluetooth12, 12, "download Bluetooth");
    EXPECT_EQ(builtInText(kMessageTables[kMsgMainMenu].textBase + 4u), nullptr);
}

TEST(Texts, ListsAreCompleteAndInOrder) {
    struct Range {
        unsigned first, last;
        const char* firstText;
        const char* lastText;
    };
    const Range ranges[] = {
        {1461, 1469, "Auto Off", "Aiming"},
        {1481, 1484, "None", "Three times"},
        {1491, 1495, "Cradle-IR", "Bluetooth SPP"},
        {1501, 1505, "115200 bps", "9600 bps"},
        {1511, 1512, "Turn off", "Turn on"},
        {1521, 1522, "Manual", "Automatic"},
        {1531, 1533, "No prompt", "Show record"},
        {1541, 1543, "None", "Even"},
        {1551, 1553, "None", "2 characters"},
        {1561, 1562, "form 1", "menu 1"},
        {1571, 1572, " 1 ", " 2 "},
        {1581, 1606, "Main menu ", "Misc - continuous "},
        {1621, 1640, "Nil", "Calculator"},
        {1701, 1703, "One beep", "Three beeps"},
    };
    for (const Range& r : ranges) {
        for (unsigned id = r.first; id <= r.last; ++id) EXPECT_NE(builtInText(id), nullptr) << id;
        EXPECT_EQ(builtIn(r.first), r.firstText);
        EXPECT_EQ(builtIn(r.last), r.lastText);
    }
    EXPECT_EQ(builtIn(1211), "nil");
    EXPECT_EQ(builtIn(1587), "Settings ");  // screen 7 of the Startup list
    EXPECT_EQ(builtIn(1222), "Tone");
}

}  // namespace
}  // namespace fw
