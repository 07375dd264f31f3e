#include <gtest/gtest.h>

#include <random>

#include "check/checker.h"
#include "check/display_image.h"
#include "check/flow_diagram.h"
#include "check/html.h"
#include "check/png.h"
#include "check/report.h"
#include "model/fixed_text.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

// PNG's own check values: the CRC of an IEND chunk and the Adler-32 of
// "Wikipedia" are published constants.
TEST(Png, ChecksumsAndChunkLayout) {
    EXPECT_EQ(crc32("IEND"), 0xAE426082u);
    EXPECT_EQ(adler32("Wikipedia"), 0x11E60398u);

    // Rows of 30000 pixels: more than one stored block of 65535 bytes.
    RgbImage image(30000, 3, 0x102030);
    image.set(29999, 2, 0xFFFFFF);
    const std::string png = encodePng(image);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::size_t at = 8;
    std::vector<std::string> chunks;
    std::string idat;
    while (at + 12 <= png.size()) {
        const auto u32 = [&](std::size_t i) {
            return std::uint32_t(std::uint8_t(png[i])) << 24 | std::uint32_t(std::uint8_t(png[i + 1])) << 16 |
                   std::uint32_t(std::uint8_t(png[i + 2])) << 8 | std::uint8_t(png[i + 3]);
        };
        const std::uint32_t length = u32(at);
        const std::string type = png.substr(at + 4, 4);
        EXPECT_EQ(u32(at + 8 + length), crc32(std::string_view(png).substr(at + 4, 4 + length))) << type;
        if (type == "IDAT") idat = png.substr(at + 8, length);
        chunks.push_back(type);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    EXPECT_EQ(chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

    // The stored blocks hold the filtered rows, and the Adler-32 covers them.
    std::string raw;
    std::size_t p = 2;
    bool last = false;
    while (!last) {
        last = idat[p] & 1;
        const std::size_t n = std::uint8_t(idat[p + 1]) | std::uint8_t(idat[p + 2]) << 8;
        const std::size_t nn = std::uint8_t(idat[p + 3]) | std::uint8_t(idat[p + 4]) << 8;
        ASSERT_EQ(n ^ 0xFFFF, nn);
        raw += idat.substr(p + 5, n);
        p += 5 + n;
    }
    ASSERT_EQ(raw.size(), 3u * (1 + 30000 * 3));
    EXPECT_EQ(raw.substr(raw.size() - 3), "\xFF\xFF\xFF");
    const std::uint32_t adler = std::uint32_t(std::uint8_t(idat[p])) << 24 | std::uint8_t(idat[p + 1]) << 16 |
                                std::uint8_t(idat[p + 2]) << 8 | std::uint8_t(idat[p + 3]);
    EXPECT_EQ(adler, adler32(raw));
}

class ProgramReport : public test::NewProgramTest {
protected:
    // Menu 1 offers forms 1 and 2; form 2 goes on to form 3; form 4 is
    // reached from nowhere.
    void SetUp() override {
        ProgramModel& m = *model;
        m.settings.startFrom = 1;
        setFieldText(m.menus[0].caption, "STOCK <&>");
        m.menus[0].captionOn = 1;
        setFieldText(m.menus[0].itemName[0], "Count");
        setFieldText(m.menus[0].itemName[1], "Move");
        m.menus[0].itemNext[0] = targetForm(1);
        m.menus[0].itemNext[1] = targetForm(2);
        for (int f = 0; f < 4; ++f) {
            m.forms[f].dataType[0] = kTypeText;
            setFieldText(m.forms[f].prompt[0], "Code:");
            m.forms[f].maxLength[0] = 6;
            m.forms[f].escTarget = targetMenu(1);
        }
        m.forms[1].dataType[1] = kTypeLetter;
        m.forms[1].maxLength[1] = 3;
        m.forms[1].nextTarget = targetForm(3);
    }
};

TEST_F(ProgramReport, FlowHasEveryPageInUseInLayersAndEveryTarget) {
    const FlowDiagram d = layoutFlow(*model);
    ASSERT_EQ(d.boxes.size(), 6u);   // main menu, menu 1, forms 1-4
    auto layerOf = [&](int t) { return d.box(t) ? d.box(t)->layer : -1; };
    EXPECT_EQ(layerOf(kTargetMain), 0);
    EXPECT_EQ(layerOf(targetMenu(1)), 1);
    EXPECT_EQ(layerOf(targetForm(1)), 2);
    EXPECT_EQ(layerOf(targetForm(2)), 2);
    EXPECT_EQ(layerOf(targetForm(3)), 3);
    EXPECT_EQ(layerOf(targetForm(4)), 4);
    EXPECT_FALSE(d.box(targetForm(4))->reached);

    auto label = [&](int from, int to) -> std::string {
        for (const FlowArrow& a : d.arrows)
            if (a.from == from && a.to == to) return a.label;
        return "(none)";
    };
    EXPECT_EQ(label(kTargetMain, targetMenu(1)), "Collect");
    EXPECT_EQ(label(targetMenu(1), targetForm(2)), "#2 Move");
    EXPECT_EQ(label(targetForm(2), targetForm(3)), "Next");
    EXPECT_EQ(label(targetForm(1), targetForm(1)), "Next");
    EXPECT_EQ(label(targetForm(1), targetMenu(1)), "ESC");
    EXPECT_EQ(label(targetMenu(1), kTargetMain), "ESC");

    // No two boxes overlap, and all lie inside the drawing.
    for (const FlowBox& a : d.boxes) {
        EXPECT_GE(a.x, 0);
        EXPECT_LE(a.x + kFlowBoxWidth, d.width);
        EXPECT_LE(a.y + kFlowBoxHeight, d.height);
        for (const FlowBox& b : d.boxes)
            if (&a != &b) {
                EXPECT_TRUE(a.x + kFlowBoxWidth <= b.x || b.x + kFlowBoxWidth <= a.x ||
                            a.y + kFlowBoxHeight <= b.y || b.y + kFlowBoxHeight <= a.y)
                    << a.title << " / " << b.title;
            }
    }
}

std::size_t count(const std::string& s, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
}

TEST_F(ProgramReport, PageHoldsDiagramPicturesRecordsAndFindings) {
    const std::string page = buildReport(*model, *texts, "SHOP <1>.FWX");
    EXPECT_NE(page.find("<title>SHOP &lt;1&gt;.FWX"), std::string::npos);
    EXPECT_EQ(count(page, "<g class=\"box\""), 6u);
    EXPECT_EQ(count(page, "<g class=\"arrow\""), layoutFlow(*model).arrows.size());
    EXPECT_EQ(count(page, "<img class=\"display\""), 5u);   // forms 1-4 and menu 1
    EXPECT_EQ(count(page, "src=\"data:image/png;base64,"), 5u);
    EXPECT_NE(page.find("STOCK &lt;&amp;&gt;"), std::string::npos);
    // Form 4 is reached from nowhere: the finding is on the page.
    EXPECT_NE(page.find("Form 4 is reached from no menu, target or start."), std::string::npos);
    EXPECT_EQ(count(page, "<tr class=\"finding\">"), checkProgram(*model).size());
    // Nothing the page needs comes from elsewhere.
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("http://"), page.find("http://www.w3.org/2000/svg"));
    EXPECT_NE(page.find("@media print"), std::string::npos);
    // Form 2's sample: six X, three letters, the delimiter between.
    EXPECT_NE(page.find("<code class=\"record\">XXXXXX,XXX</code>"), std::string::npos);
}

TEST_F(ProgramReport, SampleEntryFillsEachLineWithWhatItsTypeTakes) {
    FormDef& f = model->forms[4];
    const int types[] = {kTypeInteger, kTypeReal, kTypeBoolean, kTypeAlphanumeric, kTypeText, kTypeExtension};
    for (int i = 0; i < 6; ++i) {
        f.dataType[i] = static_cast<uint8_t>(types[i]);
        f.maxLength[i] = 4;
    }
    f.maxLength[2] = 1;    // as the editor keeps a boolean
    f.maxLength[4] = 20;   // runs on into the extension line
    f.prefixOn[0] = 1;
    setFieldText(f.prefixCode[0], "\x1b" "P");
    const SampleEntry s = sampleEntry(*model, *texts, 4);
    ASSERT_TRUE(s.recorded);
    EXPECT_EQ(s.values[0], "9999");
    EXPECT_EQ(s.values[1], "9999");
    EXPECT_EQ(s.values[2], "Y");
    EXPECT_EQ(s.values[3], "XXXX");
    EXPECT_EQ(s.text, "\x1bP9999,9999,Y,XXXX," + s.values[4] + s.values[5]);
    // The text line runs on into the extension line at the edge of the screen.
    EXPECT_EQ(s.values[4], "XXXXXXXXXXXXXXXX");
    EXPECT_EQ(s.values[5], "XXXX");

    // A minimum above the maximum: the form never completes a record.
    model->forms[5] = f;
    model->forms[5].minLength[0] = 9;
    EXPECT_FALSE(sampleEntry(*model, *texts, 5).recorded);
}

TEST_F(ProgramReport, DisplayPictureShowsTheOpenedPage) {
    const RgbImage menu = pageImage(*model, *texts, targetMenu(1), 1);
    const RgbImage empty = pageImage(*model, *texts, targetMenu(5), 1);
    ASSERT_EQ(menu.width, empty.width);
    // The caption and the highlight bar of item 1 put ink where an empty
    // menu has none.
    int differ = 0;
    for (int y = 0; y < menu.height; ++y)
        for (int x = 0; x < menu.width; ++x) differ += menu.at(x, y) != empty.at(x, y);
    EXPECT_GT(differ, 500);
    const RgbImage big = pageImage(*model, *texts, targetMenu(1), 2);
    EXPECT_EQ(big.width, 2 * menu.width);
    EXPECT_EQ(big.at(41, 61), menu.at(20, 30));
}

// Programs of arbitrary bytes, as a damaged or foreign file gives them:
// checked and reported without a fault (the sanitizers watch).
TEST_F(ProgramReport, ArbitraryProgramsAreCheckedAndReported) {
    std::mt19937 rng(27);
    for (int n = 0; n < 2; ++n) {   // one mostly zeros and small values, one of any bytes
        const bool sparse = n == 0;
        uint8_t* body = modelBody(*model);
        for (std::size_t i = 0; i < kModelBodySize; ++i) {
            const uint32_t r = rng();
            body[i] = static_cast<uint8_t>(sparse ? (r % 4 == 0 ? (r >> 8) % 24 : 0) : r & 0xFF);
        }
        const std::string page = buildReport(*model, *texts, "arbitrary");
        EXPECT_NE(page.find("</html>"), std::string::npos);
    }
}

TEST(ReportPath, BesideTheProgram) {
    EXPECT_EQ(reportPathFor("C:\\shop\\SHOP.FWX"), "C:\\shop\\SHOP.html");
    EXPECT_EQ(reportPathFor("/a.b/SHOP"), "/a.b/SHOP.html");
}

}  // namespace
}  // namespace fw
