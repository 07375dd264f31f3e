// The records the simulated terminal collects, the "Collected data..."
// window's rules, key scripts and the scripted terminal.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "simulator/collected_data_view.h"
#include "simulator/key_script.h"
#include "simulator/script_run.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

class Collect : public test::NewProgramTest {
protected:
    FormDef& form(int k) { return model->forms[k - 1]; }

    void field(int k, int line, uint8_t type, const char* prompt = "", uint8_t maxLength = 80) {
        FormDef& f = form(k);
        f.dataType[line] = type;
        setFieldText(f.prompt[line], prompt);
        f.maxLength[line] = maxLength;
    }

    ScriptedTerminal& terminal() {
        if (!term) term = std::make_unique<ScriptedTerminal>(*model, *texts, LocalTime{2024, 1, 5, 14, 30, 0});
        return *term;
    }

    // Runs a script that must parse.
    void run(const std::string& script) {
        const ScriptParse p = parseKeyScript(script);
        ASSERT_TRUE(p.ok()) << p.error;
        for (const ScriptStep& s : p.steps) terminal().step(s);
    }

    const CollectedRecords& records() { return terminal().engine().records(); }

    // Three forms that between them use every data type, both fonts, prefix
    // and suffix codes, fixed lengths, extension lines, a counter, stamps
    // at the bottom and at the top, and three record actions.
    void designShop() {
        model->settings.delimiter1 = ',';
        model->settings.delimiter2 = 0;

        FormDef& f1 = form(1);   // small font, saved
        f1.recordAction = 0;
        f1.nextTarget = targetForm(2);
        field(1, 0, kTypeText, "NAME:", 20);
        f1.prefixOn[0] = 1;
        setFieldText(f1.prefixCode[0], "\x1B" "N");
        field(1, 1, kTypeExtension, "", 9);
        field(1, 2, kTypeInteger, "QTY:");
        f1.fixedLengthOn[2] = 1;
        f1.fixedLength[2] = 5;
        f1.alignment[2] = 3;   // right, filled with 0
        field(1, 3, kTypeReal, "PRICE:");
        f1.fixedLengthOn[3] = 1;
        f1.fixedLength[3] = 6;
        f1.alignment[3] = 1;   // right, filled with spaces
        field(1, 4, kTypeLetter, "L:");
        f1.suffixOn[4] = 1;
        setFieldText(f1.suffixCode[4], "\r");
        field(1, 5, kTypeAuto, "A:", 3);
        field(1, 6, kTypeBoolean, "OK:", 1);
        f1.stampPosition = 2;   // bottom
        f1.stampDateStyle = 2;  // day, month, year
        f1.stampYearDigits = 1;
        f1.stampYear = f1.stampMonth = f1.stampDay = 1;
        f1.stampDateSepOn = 1;
        setFieldText(f1.stampDateSep, "-");
        f1.stampSplit = 0;
        f1.stampHour = f1.stampMinute = f1.stampSecond = 1;
        f1.stampTimeSepOn = 0;

        FormDef& f2 = form(2);   // large font, passed down
        f2.font = 1;
        f2.recordAction = 3;
        f2.nextTarget = targetForm(3);
        field(2, 0, kTypeFixedData, "FX1");
        field(2, 1, kTypeCounter, "N:");
        field(2, 2, kTypeAlphanumeric, "ID:");
        field(2, 3, kTypeLookup, "LK:");
        f2.initialValueOn[3] = 1;   // "Save field data": saved, empty here
        f2.stampPosition = 1;       // top
        f2.stampYear = f2.stampMonth = f2.stampDay = 1;
        f2.stampDateSepOn = 1;
        setFieldText(f2.stampDateSep, "/");
        f2.stampSplit = 1;
        f2.stampHour = f2.stampMinute = 1;
        f2.stampSecond = 0;
        f2.stampTimeSepOn = 1;
        setFieldText(f2.stampTimeSep, ":");

        FormDef& f3 = form(3);   // saved and output
        f3.recordAction = 6;
        f3.nextTarget = kTargetMain;
        field(3, 0, kTypePassDown, "");
        field(3, 1, kTypePrompt, "HELLO");
        field(3, 2, kTypePause, "WAIT");
        field(3, 3, kTypeText, "T:");
    }

    std::unique_ptr<ScriptedTerminal> term;
};

TEST_F(Collect, RecordsOfEveryDataTypeAndBothFonts) {
    designShop();
    run("1 \"ABCDEFGHIJKLM\" ENT \"42\" ENT \"1.5\" ENT \"XY\" ENT \"7\" ENT \"Y\" ENT");
    // The counter line of form 2 already counts the first record.
    EXPECT_EQ(terminal().engine().current(), 2);
    EXPECT_EQ(terminal().engine().line(1), "N:0001");
    run("wait 75 \"B7\" ENT \"Z\" ENT");

    ASSERT_EQ(records().size(), 3u);
    const auto& r = records().all();
    // Worked out by hand: the prefix ESC "N", the value continued on its
    // extension line, 42 right-aligned in five zeros, 1.5 right-aligned in
    // six spaces, the CR suffix, then day-month-year and the time.
    EXPECT_EQ(r[0].text.view(), "\x1BNABCDEFGHIJKLM,00042,   1.5,XY\r,7,Y,05-01-24143000");
    // Stamp on top split by the delimiter; fixed data; no counter; the
    // empty saved lookup field still gets its delimiter.
    EXPECT_EQ(r[1].text.view(), "2024/01/05,14:31,FX1,B7,");
    EXPECT_EQ(r[2].text.view(), "Z");
    EXPECT_EQ(r[0].number, 1);
    EXPECT_EQ(r[2].number, 3);
    EXPECT_EQ(r[1].form, 2);

    EXPECT_TRUE(r[0].fate().saved);
    EXPECT_FALSE(r[1].fate().saved);
    EXPECT_TRUE(r[1].fate().passedDown);
    EXPECT_TRUE(r[2].fate().saved && r[2].fate().outputRecord);
    EXPECT_EQ(records().savedCount(), 2u);

    // What a data receive would write: the saved records, each with CR LF.
    EXPECT_EQ(uploadBytes(records()),
              "\x1BNABCDEFGHIJKLM,00042,   1.5,XY\r,7,Y,05-01-24143000\r\nZ\r\n");
    EXPECT_EQ(terminal().engine().mode(), EngineMode::Start);
}

TEST_F(Collect, DataFileOfEachForm) {
    designShop();
    run("1 \"A\" ENT ENT ENT ENT ENT \"Y\" ENT \"1\" ENT ENT");
    ASSERT_EQ(records().size(), 3u);
    EXPECT_EQ(records().all()[0].dataFile, "");   // the terminal's one data file

    // Separate files: the form's own name when it has one, else its number;
    // a name switched off or empty does not count.
    model->settings.separateDataFiles = 1;
    form(1).fileNameOn = 1;
    setFieldText(form(1).fileName, "SHOP.DAT");
    form(3).fileNameOn = 1;   // checked but empty
    EXPECT_EQ(dataFileOf(*model, 1), "SHOP.DAT");
    EXPECT_EQ(dataFileOf(*model, 3), "form 3");
    form(1).fileNameOn = 0;
    EXPECT_EQ(dataFileOf(*model, 1), "form 1");
    form(1).fileNameOn = 1;

    run("1 \"A\" ENT ENT ENT ENT ENT \"Y\" ENT \"1\" ENT ENT");
    const auto& r = records().all();
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[3].dataFile, "SHOP.DAT");
    EXPECT_EQ(r[4].dataFile, "");   // passed down, saved nowhere
    EXPECT_EQ(r[5].dataFile, "form 3");
    // A record keeps the file it went to when the names change later.
    setFieldText(form(1).fileName, "OTHER");
    EXPECT_EQ(records().all()[3].dataFile, "SHOP.DAT");

    // The list shows the file beside the record, or what stands for it.
    EXPECT_NE(collectedDataLine(r[0]).find(" data file "), std::string::npos);
    EXPECT_NE(collectedDataLine(r[3]).find(" SHOP.DAT "), std::string::npos);
    EXPECT_NE(collectedDataLine(r[4]).find(" pass down "), std::string::npos);
    EXPECT_NE(collectedDataLine(r[4]).find(" - "), std::string::npos);
}

TEST_F(Collect, MemoryIsBoundedAndClearStartsAgain) {
    field(1, 0, kTypeInteger, "N:");
    form(1).nextTarget = targetForm(1);
    SimulationEngine& e = terminal().engine();
    e.pressKey(1);
    const int total = static_cast<int>(kCollectedRecordsLimit) + 5;
    for (int i = 1; i <= total; ++i) {
        for (char c : std::to_string(i)) e.pressKey(c == '0' ? 11 : c - '0');
        e.pressKey(19);
    }
    EXPECT_EQ(e.records().size(), kCollectedRecordsLimit);
    EXPECT_EQ(e.records().dropped(), 5u);
    EXPECT_EQ(e.records().all().front().number, 6);
    EXPECT_EQ(e.records().all().front().text.view(), "6");
    EXPECT_EQ(e.records().all().back().text.view(), std::to_string(total));
    EXPECT_EQ(e.recordCount(), total);
    CollectedDataView view(e.records());
    EXPECT_NE(view.summaryState().text.find("the oldest 5"), std::string::npos);

    e.clearRecords();
    EXPECT_TRUE(e.records().empty());
    EXPECT_EQ(e.records().dropped(), 0u);
    EXPECT_EQ(e.recordCount(), 0);
    EXPECT_FALSE(view.clearState().enabled);
    EXPECT_FALSE(view.saveAsState().enabled);
}

TEST(CollectedDataView, ControlCodesAreVisibleAndColumnsLineUp) {
    std::string all;
    for (int c = 0; c < 32; ++c) all += static_cast<char>(c);
    EXPECT_EQ(visibleBytes(std::string_view(all.data(), all.size())),
              "<NUL><SOH><STX><ETX><EOT><ENQ><ACK><BEL><BS><TAB><LF><VT><FF><CR><SO><SI>"
              "<DLE><DC1><DC2><DC3><DC4><NAK><SYN><ETB><CAN><EM><SUB><ESC><FS><GS><RS><US>");
    EXPECT_EQ(visibleBytes("a b~\x7F\xE9"), "a b~<DEL><233>");

    CollectedRecord r;
    r.number = 12;
    r.form = 10;
    r.action = 7;
    r.dataFile = "COUNT.TXT";
    r.text.append("A\tB");
    const std::string line = collectedDataLine(r);
    const std::string heading = collectedDataHeading();
    EXPECT_EQ(line.substr(0, 6), "   12 ");
    EXPECT_EQ(line.find("form 10"), heading.find("Form"));
    EXPECT_EQ(line.find("save & output screen"), heading.find("Record action"));
    EXPECT_EQ(line.find("COUNT.TXT"), heading.find("Data file"));
    EXPECT_EQ(line.find("A<TAB>B"), heading.rfind("Record"));
    EXPECT_EQ(line.substr(line.size() - 7), "A<TAB>B");

    CollectedRecords records;
    CollectedDataView view(records);
    EXPECT_TRUE(view.changed());
    EXPECT_TRUE(view.takeLines().empty());
    EXPECT_FALSE(view.changed());
    r.action = 5;   // output screen: not saved
    records.add(r);
    EXPECT_TRUE(view.changed());
    EXPECT_EQ(view.takeLines().size(), 1u);
    EXPECT_EQ(view.summaryState().text, "1 record, 0 saved");
    EXPECT_FALSE(view.saveAsState().enabled);
    EXPECT_TRUE(view.clearState().enabled);
    EXPECT_EQ(uploadBytes(records), "");
}

TEST(KeyScript, WordsTextsAndWaits) {
    const ScriptParse good =
        parseKeyScript("1 ent Enter ESC bs BACK up Down alpha MENU 0 - . # a comment \"9\n\"A /*+$%#\" wait 3\n");
    ASSERT_TRUE(good.ok()) << good.error;
    const int keys[] = {1, 19, 19, 17, 18, 18, 14, 15, 10, 12, 11, 13, 16};
    ASSERT_EQ(good.steps.size(), std::size(keys) + 2);
    for (std::size_t i = 0; i < std::size(keys); ++i) EXPECT_EQ(good.steps[i].key, keys[i]) << i;
    EXPECT_EQ(good.steps[13].kind, ScriptStepKind::Text);
    EXPECT_EQ(good.steps[13].text, "A /*+$%#");
    EXPECT_EQ(good.steps[13].line, 2);
    EXPECT_EQ(good.steps[13].column, 1);
    EXPECT_EQ(good.steps[14].kind, ScriptStepKind::Wait);
    EXPECT_EQ(good.steps[14].seconds, 3);
}

TEST(KeyScript, ErrorsNameTheWordAndWhereItIs) {
    EXPECT_EQ(parseKeyScript("1 ENT\n  ENTR ESC").error, "line 2, column 3: unknown key 'ENTR'");
    EXPECT_EQ(parseKeyScript("12").error, "line 1, column 1: unknown key '12'");
    EXPECT_EQ(parseKeyScript("ENT \"AB").error, "line 1, column 5: text without its closing quote");
    EXPECT_EQ(parseKeyScript("\"Ab\"").error,
              "line 1, column 3: 'b' in '\"Ab' cannot be typed on the keypad (it types capital letters)");
    EXPECT_EQ(parseKeyScript("ENT wait").error, "line 1, column 5: 'wait' needs a number of seconds");
    EXPECT_EQ(parseKeyScript("wait\n  -5").error.substr(0, 60),
              "line 2, column 3: 'wait' needs a number of seconds up to 316");
    EXPECT_NE(parseKeyScript("wait 99999999999999").error.find("not '99999999999999'"), std::string::npos);
    EXPECT_EQ(parseKeyScript("ENT\x01").error, "line 1, column 1: unknown key 'ENT\\x01'");
    // A bad script runs nothing.
    EXPECT_TRUE(parseKeyScript("ENT ENT bad").steps.empty());
    EXPECT_TRUE(parseKeyScript("  # only a comment\n").ok());
    EXPECT_EQ(parseKeyScript("\"A\\\"").error, "line 1, column 3: '\\' in '\"A\\' cannot be typed on the keypad");
}

TEST(ScriptClock, TimesParseStrictlyAndMoveAcrossDates) {
    LocalTime t;
    EXPECT_TRUE(parseLocalTime("2024-02-29T23:59:59", t));
    EXPECT_EQ(t.day, 29);
    EXPECT_FALSE(parseLocalTime("2023-02-29T10:00:00", t));
    EXPECT_FALSE(parseLocalTime("2024-01-05T24:00:00", t));
    EXPECT_FALSE(parseLocalTime("2024-01-05 14:30:00", t));
    EXPECT_FALSE(parseLocalTime("2024-1-05T14:30:00", t));
    const LocalTime next = addSeconds(LocalTime{2024, 2, 29, 23, 59, 59}, 1);
    EXPECT_EQ(next.month, 3);
    EXPECT_EQ(next.day, 1);
    EXPECT_EQ(next.hour, 0);
    const LocalTime year = addSeconds(LocalTime{2023, 12, 31, 12, 0, 0}, 86400 + 3661);
    EXPECT_EQ(year.year, 2024);
    EXPECT_EQ(year.month, 1);
    EXPECT_EQ(year.day, 1);
    EXPECT_EQ(year.hour, 13);
    EXPECT_EQ(year.minute, 1);
    EXPECT_EQ(year.second, 1);
}

TEST_F(Collect, TextTypesLikeTheKeypad) {
    field(1, 0, kTypeText, "T:");
    run("1 \"CAB 0.-\"");
    // Three letters on one key need the pause between them; the digits need
    // alphabetic entry off again.
    EXPECT_EQ(terminal().engine().value(0), "CAB 0.-");
    EXPECT_EQ(terminal().engine().pendingLetter(), 0);
    EXPECT_FALSE(terminal().engine().alphaOn());
    run("\"SS\"");
    EXPECT_EQ(terminal().engine().value(0), "CAB 0.-SS");
    EXPECT_TRUE(terminal().engine().alphaOn());

    // The display as the tool prints it.
    const auto lines = terminal().displayLines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], " |T:CAB 0.-SS     |");
}

TEST_F(Collect, CollectWithNothingToRunIsReported) {
    run("DOWN");
    EXPECT_FALSE(terminal().nothingToRun());
    const auto lines = terminal().displayLines();
    ASSERT_EQ(lines.size(), 9u);   // and the clock line
    EXPECT_EQ(lines[1], ">|2.Upload    |");
    EXPECT_EQ(lines[8], "  JAN05 14:30 0000");
    run("UP 1");
    EXPECT_TRUE(terminal().nothingToRun());
}

}  // namespace
}  // namespace fw
