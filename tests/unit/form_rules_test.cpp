#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/form_rules.h"
#include "model/program_defaults.h"

namespace fw {
namespace {

// One form, every line linked and prompted, laid out as `types`.
FormDef formOf(std::initializer_list<uint8_t> types, uint8_t font = 0) {
    FormDef f{};
    for (int i = 0; i < kLinesPerForm; ++i) resetLineForNew(f, i);
    f.font = font;
    int i = 0;
    for (uint8_t t : types) {
        f.dataType[i] = t;
        f.link[i] = 3;
        setFieldText(f.prompt[i], "Prompt:");
        ++i;
    }
    return f;
}

std::string prompt(const FormDef& f, int i) { return std::string(fieldText(f.prompt[i])); }

// The same form through the four normalisations: what each counts as an input
// line and which links it keeps are where they differ on purpose.
TEST(FormRules, TheFourNormalisingsSideBySide) {
    // text, lookup, pause, fixed data, alphanumeric
    const FormDef form = formOf({kTypeText, kTypeLookup, kTypePause, kTypeFixedData, kTypeAlphanumeric});

    struct Variant {
        const char* name;
        void (*normalise)(FormDef&);
        int inputLines;
        uint8_t lookupLink, alphanumericLink;
    };
    const Variant variants[] = {
        // Download: pause counts; every line from fixed data on loses its link.
        {"download", normaliseFormForDownload, 5, 3, 3},
        // The standalone downloader counts text..boolean only and unlinks
        // everything from fixed data on, alphanumeric included.
        {"loader", normaliseFormForLoader, 1, 3, 0},
        // Collect: a pause is no input line; lookup lines keep their links.
        {"collect", normaliseFormForCollect, 5, 3, 3},
    };
    for (const Variant& v : variants) {
        FormDef f = form;
        v.normalise(f);
        SCOPED_TRACE(v.name);
        EXPECT_EQ(f.inputLineCount, v.inputLines);
        EXPECT_EQ(f.link[0], 3);
        EXPECT_EQ(f.link[1], v.lookupLink);
        EXPECT_EQ(f.link[2], 0);   // pause
        EXPECT_EQ(f.link[3], 0);   // fixed data
        EXPECT_EQ(f.link[4], v.alphanumericLink);
    }
    // Collect counts up to the last entry line, not the pause.
    FormDef collect = formOf({kTypeText, kTypePause});
    normaliseFormForCollect(collect);
    EXPECT_EQ(collect.inputLineCount, 1);
    FormDef download = formOf({kTypeText, kTypePause});
    normaliseFormForDownload(download);
    EXPECT_EQ(download.inputLineCount, 2);

    // The editor's OK leaves the count alone and unlinks pause and fixed
    // data, keeping lookup and alphanumeric links.
    FormDef commit = form;
    normaliseFormOnCommit(commit);
    EXPECT_EQ(commit.link[1], 3);
    EXPECT_EQ(commit.link[2], 0);
    EXPECT_EQ(commit.link[4], 3);
}

TEST(FormRules, LengthsAndLargeFontRowsPerVariant) {
    FormDef form = formOf({kTypeText, kTypeText, kTypeText, kTypeText, kTypeText}, 1);
    form.maxLength[0] = 70;
    form.minLength[0] = 75;
    FormDef loader = form;
    normaliseFormForLoader(loader);
    EXPECT_EQ(loader.maxLength[0], 50);   // the downloader's terminals take 50
    EXPECT_EQ(loader.minLength[0], 50);
    EXPECT_EQ(loader.dataType[4], kTypeNil);
    FormDef commit = form;
    normaliseFormOnCommit(commit);
    EXPECT_EQ(commit.maxLength[0], 70);
    EXPECT_EQ(commit.minLength[0], 70);
    EXPECT_EQ(commit.dataType[4], kTypeNil);
    EXPECT_EQ(prompt(commit, 4), "");
    FormDef download = form;
    normaliseFormForDownload(download);
    EXPECT_EQ(download.dataType[4], kTypeText);   // the image carries what the model holds
}

// New's reset and the reset of an unused line at OK differ: New clears only
// the first byte of lineText and resets check digit and decimals; OK clears
// all of lineText and an extension line keeps what continues the line above.
TEST(FormRules, TheTwoLineResets) {
    FormDef f{};
    std::memset(&f, 0x5A, sizeof f);
    FormDef fresh = f;
    resetLineForNew(fresh, 0);
    EXPECT_EQ(fresh.dataType[0], kTypeNil);
    EXPECT_EQ(fresh.lineText[0][0], 0);
    EXPECT_EQ(fresh.lineText[0][1], 0x5A);
    EXPECT_EQ(fresh.checkDigit[0], 0);
    EXPECT_EQ(fresh.decimals[0], 0);
    EXPECT_EQ(fresh.maxLength[0], 80);
    EXPECT_EQ(fresh.partialMaxLength[0], 20);

    FormDef unused = f;
    unused.dataType[0] = kTypeExtension;
    resetUnusedLine(unused, 0);
    EXPECT_EQ(unused.lineText[0][1], 0);
    EXPECT_EQ(unused.checkDigit[0], 0x5A);
    EXPECT_EQ(unused.maxLength[0], 0x5A);   // continues the line above
    EXPECT_EQ(unused.inputMark[0], 0x5A);
    unused.dataType[1] = kTypeNil;
    resetUnusedLine(unused, 1);
    EXPECT_EQ(unused.maxLength[1], 80);
    EXPECT_EQ(unused.inputMark[1], 0);
}

TEST(FormRules, WidthsAndMenuItems) {
    EXPECT_EQ(textWidth(0), 16);
    EXPECT_EQ(textWidth(1), 12);
    MenuDef m{};
    setFieldText(m.itemName[0], "            X");   // X is the 13th character
    setFieldText(m.itemName[1], "\xE9");             // an ANSI letter counts
    setFieldText(m.itemName[2], "   ");
    EXPECT_EQ(countMenuItems(m, 16), 2);
    EXPECT_EQ(countMenuItems(m, 12), 1);
}

}  // namespace
}  // namespace fw
