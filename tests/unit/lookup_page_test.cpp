// The Lookup page's rules, the delimited layout made at OK, and the
// calculator entry's number that follows the lookup files.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "editor/calculator_entry.h"
#include "editor/editor_sheet.h"
#include "editor/lookup_page.h"
#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

class LookupPageTest : public test::NewProgramTest {
protected:
    // A delimited definition of the first lookup file in the model.
    void delimitedFile(int count, std::initializer_list<uint8_t> lengths, uint8_t delimiter = ',') {
        LookupDef& d = model->lookups[0];
        d.delimiter = delimiter;
        d.fieldCount = static_cast<uint8_t>(count);
        int k = 0;
        for (uint8_t n : lengths) d.fieldLength[k++] = n;
    }

};

TEST_F(LookupPageTest, OkLaysOutDelimitedFieldsOneDelimiterApart) {
    delimitedFile(3, {10, 5, 8});
    model->lookups[0].fieldOffset[1] = 99;
    model->lookups[0].fieldOffset[5] = 77;         // beyond the fields: kept
    LookupPage p(*model);
    p.chooseLookup(1);                              // an empty delimited one
    p.chooseDelimited();
    p.commit(*model);
    const LookupDef& d = model->lookups[0];
    EXPECT_EQ(d.fieldOffset[0], 1);
    EXPECT_EQ(d.fieldOffset[1], 12);
    EXPECT_EQ(d.fieldOffset[2], 18);
    EXPECT_EQ(d.fieldOffset[5], 77);
    EXPECT_EQ(d.memberLength, 25);
    // Without fields the record length is 255 and the file stays undefined.
    EXPECT_EQ(model->lookups[1].memberLength, 255);
    EXPECT_EQ(model->lookups[1].fieldOffset[0], 1);
    EXPECT_FALSE(lookupDefined(model->lookups[1]));
}

TEST_F(LookupPageTest, FormatChoiceSetsHeadingAndWhichBoxesWork) {
    model->lookups[0].fieldCount = 2;
    LookupPage p(*model);
    EXPECT_EQ(p.lengthHeading(), LengthHeading::Length);
    EXPECT_TRUE(p.memberLengthState().enabled);
    EXPECT_FALSE(p.delimiterState().enabled);
    EXPECT_EQ(p.delimiterState().text, "0");
    EXPECT_TRUE(p.offsetState(1).enabled);
    EXPECT_FALSE(p.offsetState(2).enabled);

    // Choosing the delimited format must not leave a 0 behind, which would
    // silently mean fixed length again.
    EXPECT_EQ(p.chooseDelimited().warning, LookupWarning::None);
    EXPECT_TRUE(p.delimited());
    EXPECT_EQ(p.lookup().delimiter, ',');
    EXPECT_EQ(p.lengthHeading(), LengthHeading::MaxLength);
    EXPECT_FALSE(p.memberLengthState().enabled);
    EXPECT_FALSE(p.offsetState(0).enabled);
    EXPECT_TRUE(p.lengthState(1).enabled);

    p.typeDelimiter("59");
    p.chooseFixedLength();
    EXPECT_EQ(p.lookup().delimiter, 0);
    p.chooseDelimited();
    EXPECT_EQ(p.lookup().delimiter, 59);            // the user's own, again
}

TEST_F(LookupPageTest, DelimiterRefusesCodesThatCannotSeparateFieldsWhenTheBoxIsLeft) {
    delimitedFile(1, {4}, ';');
    LookupPage p(*model);
    for (const char* typed : {"13", "10", "0", ""}) {
        // Typing never warns: the code stays unstored in the box ...
        const LookupReply typing = p.typeDelimiter(typed);
        EXPECT_EQ(typing.warning, LookupWarning::None) << typed;
        EXPECT_EQ(p.lookup().delimiter, ';') << typed;
        EXPECT_TRUE(p.delimiterPending()) << typed;
        // ... until the box is left, which warns and shows the stored one.
        const LookupReply left = p.leaveDelimiter();
        EXPECT_EQ(left.warning, LookupWarning::InvalidDelimiter) << typed;
        EXPECT_TRUE(left.reply.putBack);
        EXPECT_EQ(left.reply.text, "59") << typed;
        EXPECT_FALSE(p.delimiterPending());
    }
    EXPECT_EQ(p.leaveDelimiter().warning, LookupWarning::None);   // once only
    LookupReply r = p.typeDelimiter("044");
    EXPECT_EQ(r.warning, LookupWarning::None);
    EXPECT_EQ(r.reply.text, "44");
    EXPECT_EQ(p.lookup().delimiter, ',');
    r = p.typeDelimiter("300");
    EXPECT_EQ(r.reply.text, "255");
    EXPECT_EQ(p.lookup().delimiter, 255);
    EXPECT_EQ(p.leaveDelimiter().warning, LookupWarning::None);
}

TEST_F(LookupPageTest, DelimiterCodesOneHundredToOneHundredNineCanBeTypedThroughTen) {
    delimitedFile(1, {4}, ';');
    LookupPage p(*model);
    for (const char* typed : {"1", "10", "105"}) EXPECT_EQ(p.typeDelimiter(typed).warning, LookupWarning::None);
    EXPECT_EQ(p.lookup().delimiter, 105);
    EXPECT_EQ(p.leaveDelimiter().warning, LookupWarning::None);

    // A refused code left in the box at OK never reaches the model; the
    // last code that could separate fields does.
    p.typeDelimiter("10");
    p.commit(*model);
    EXPECT_EQ(model->lookups[0].delimiter, 105);

    // Another file shown, or the fixed format: the box no longer holds it.
    p.typeDelimiter("13");
    p.chooseLookup(1);
    EXPECT_FALSE(p.delimiterPending());
    p.chooseLookup(0);
    EXPECT_EQ(p.leaveDelimiter().warning, LookupWarning::None);
}

TEST_F(LookupPageTest, NumberBoxesClampAndDropLeadingZeros) {
    LookupPage p(*model);
    EXPECT_EQ(p.memberLengthState().limit, 3);
    EXPECT_EQ(p.typeMemberLength("300").text, "255");
    EXPECT_EQ(p.lookup().memberLength, 255);
    EXPECT_EQ(p.typeOffset(3, "007").text, "7");
    EXPECT_EQ(p.lookup().fieldOffset[3], 7);
    EXPECT_EQ(p.typeLength(0, "x").reply.text, "0");
}

TEST_F(LookupPageTest, DelimitedRecordsThatWouldNotFitAByteAreRefusedWhereTyped) {
    delimitedFile(2, {200, 10});
    LookupPage p(*model);
    LookupReply r = p.typeLength(1, "60");          // 200 + 1 + 60 > 255
    EXPECT_EQ(r.warning, LookupWarning::RecordTooLong);
    EXPECT_EQ(r.reply.text, "10");
    EXPECT_EQ(p.lookup().fieldLength[1], 10);
    EXPECT_EQ(p.typeLength(1, "54").warning, LookupWarning::None);   // exactly 255

    // Rows beyond the fields count only when the count grows.
    p.typeLength(4, "200");
    EXPECT_EQ(p.chooseFieldCount(5).warning, LookupWarning::RecordTooLong);
    EXPECT_EQ(p.lookup().fieldCount, 2);
    EXPECT_EQ(p.fieldCountState().selection, 2);

    // The last offset alone can overflow when the last field is empty.
    LookupDef d{};
    d.fieldCount = 2;
    d.fieldLength[0] = 254;
    EXPECT_FALSE(delimitedLayout(d).fits);
    d.fieldLength[0] = 253;
    EXPECT_TRUE(delimitedLayout(d).fits);
    EXPECT_EQ(delimitedLayout(d).memberLength, 254);

    // Lengths typed for fixed fields may not go delimited if they overflow.
    p.chooseFixedLength();
    p.typeLength(1, "100");
    EXPECT_EQ(p.chooseDelimited().warning, LookupWarning::RecordTooLong);
    EXPECT_FALSE(p.delimited());
}

TEST_F(LookupPageTest, ADefinitionAlreadyTooLongTakesEditsThatDoNotLengthenIt) {
    // As a file may hold it: 200 + 1 + 100 = 301 characters.
    delimitedFile(3, {200, 100, 0});
    LookupPage p(*model);
    ASSERT_FALSE(delimitedLayout(p.lookup()).fits);
    EXPECT_EQ(p.typeLength(1, "90").warning, LookupWarning::None);    // shorter, still too long
    EXPECT_EQ(p.lookup().fieldLength[1], 90);
    EXPECT_EQ(p.typeLength(2, "0").warning, LookupWarning::None);     // the same length
    LookupReply r = p.typeLength(2, "5");                              // longer: refused
    EXPECT_EQ(r.warning, LookupWarning::RecordTooLong);
    EXPECT_EQ(r.reply.text, "0");
    EXPECT_EQ(p.chooseFieldCount(2).warning, LookupWarning::None);    // fewer fields
    EXPECT_EQ(p.lookup().fieldCount, 2);
    EXPECT_EQ(p.chooseFieldCount(3).warning, LookupWarning::RecordTooLong);
    EXPECT_EQ(p.typeLength(0, "20").warning, LookupWarning::None);    // fits again
    EXPECT_EQ(p.chooseFieldCount(3).warning, LookupWarning::None);
    p.commit(*model);
    EXPECT_EQ(model->lookups[0].memberLength, 20 + 1 + 90 + 1 + 0);
}

TEST_F(LookupPageTest, ReadOnceListHoldsTheInsertingActionsAndMapsTheRest) {
    LookupPage p(*model);
    p.chooseNoMatchAction(1);
    p.checkReadOnce(true);
    EXPECT_EQ(p.noMatchEntries().size(), 2u);
    EXPECT_EQ(p.noMatchEntries()[1], "Show warning message & Insert");
    EXPECT_EQ(p.lookup().noMatchAction, 3);
    EXPECT_EQ(p.noMatchState().selection, 1);
    p.chooseNoMatchAction(0);
    EXPECT_EQ(p.lookup().noMatchAction, 2);
    p.chooseNoMatchAction(1);
    EXPECT_EQ(p.lookup().noMatchAction, 3);

    // Off and on again keeps what the short list already held.
    p.checkReadOnce(false);
    EXPECT_EQ(p.lookup().noMatchAction, 1);
    EXPECT_EQ(p.noMatchEntries().size(), 6u);
    p.chooseNoMatchAction(3);
    p.checkReadOnce(true);
    EXPECT_EQ(p.lookup().noMatchAction, 3);

    p.checkReadOnce(false);
    p.chooseNoMatchAction(5);
    p.checkReadOnce(true);
    EXPECT_EQ(p.lookup().noMatchAction, 2);
    EXPECT_EQ(p.noMatchState().selection, 0);
}

TEST_F(LookupPageTest, FewerFieldsDisableRowsButKeepTheirValues) {
    model->lookups[0].fieldCount = 5;
    model->lookups[0].keyField = 4;
    for (int k = 0; k < 5; ++k) {
        model->lookups[0].fieldOffset[k] = static_cast<uint8_t>(10 * k + 1);
        model->lookups[0].fieldLength[k] = 9;
    }
    LookupPage p(*model);
    EXPECT_TRUE(p.keyFieldState(4).checked);
    p.chooseFieldCount(2);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(p.offsetState(k).enabled, k < 2) << k;
        EXPECT_EQ(p.lengthState(k).enabled, k < 2) << k;
        EXPECT_EQ(p.keyFieldState(k).enabled, k < 2) << k;
    }
    EXPECT_EQ(p.offsetState(4).text, "41");
    EXPECT_EQ(p.lengthState(4).text, "9");
    p.chooseKeyField(1);
    p.commit(*model);
    EXPECT_EQ(model->lookups[0].fieldOffset[4], 41);
    EXPECT_EQ(model->lookups[0].keyField, 1);
}

TEST_F(LookupPageTest, ResetRestoresAllThreeDefinitions) {
    for (LookupDef& d : model->lookups) {
        d.memberLength = d.fieldCount = 3;
        d.fieldOffset[2] = 9;
        d.delimiter = ';';
        d.uploadable = 0;
        d.noMatchAction = d.readOnce = 1;
        d.rest[0] = 0x33;
    }
    LookupPage p(*model);
    p.chooseLookup(2);
    p.reset();
    EXPECT_EQ(p.currentLookup(), 0);
    p.commit(*model);
    for (const LookupDef& d : model->lookups) {
        EXPECT_EQ(d.delimiter, 0);
        EXPECT_EQ(d.uploadable, 1);
        EXPECT_EQ(d.memberLength + d.fieldCount + d.noMatchAction + d.readOnce, 0);
        EXPECT_EQ(d.fieldOffset[2], 1);
        EXPECT_EQ(d.rest[0], 0x33);
    }
}

TEST_F(LookupPageTest, CalculatorEntryIsNumberedByTheLookupFilesAtOk) {
    EXPECT_EQ(std::string(texts->extraUtility[0]), "8.Calculator    ");
    texts->extraUtilityLarge[0][0] = 'C';            // a text without a number
    {
        EditorSheet sheet(*model, *texts);
        LookupPage& p = sheet.page<LookupPage>();
        p.chooseLookup(1);
        p.chooseFieldCount(3);
        p.typeMemberLength("20");
    }   // Cancel: nothing changes
    EXPECT_EQ(texts->extraUtility[0][0], '8');

    EditorSheet sheet(*model, *texts);
    LookupPage& p = sheet.page<LookupPage>();
    p.chooseLookup(1);
    p.chooseFieldCount(3);
    p.typeMemberLength("20");
    sheet.commit();
    EXPECT_EQ(calculatorDigit(*model), '9');
    EXPECT_EQ(std::string(texts->extraUtility[0]), "9.Calculator    ");
    EXPECT_EQ(texts->extraUtilityLarge[0][0], 'C');

    // The Startup page numbers its own copy with the same rule.
    uint8_t startupLine[21] = "8.Calc";
    renumberCalculatorEntry(startupLine, calculatorDigit(*model));
    EXPECT_EQ(startupLine[0], '9');

    EditorSheet again(*model, *texts);
    again.page<LookupPage>().reset();
    again.commit();
    EXPECT_EQ(texts->extraUtility[0][0], '8');
}

}  // namespace
}  // namespace fw
